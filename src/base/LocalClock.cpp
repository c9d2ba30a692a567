#include "base/LocalClock.h"

#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

namespace {
std::function<QDateTime()> g_source;

constexpr double kMaxSpeed = 100000.0;

// The test clock of the environment, read once.
struct TestClock {
    bool active = false;
    QDateTime start;
    double speed = 1.0;
    QElapsedTimer elapsed;

    TestClock()
    {
        const QByteArray value = qgetenv("BRIVANE_TEST_CLOCK");
        if (value.isEmpty())
            return;
        active = parseTestClock(QString::fromUtf8(value), &start, &speed);
        if (!active)
            std::fprintf(stderr,
                         "BRIVANE_TEST_CLOCK=%s is not START[,SPEED]; the real clock is used\n",
                         value.constData());
        elapsed.start();
    }

    QDateTime now() const { return start.addMSecs(qint64(double(elapsed.elapsed()) * speed)); }
};

const TestClock &testClock()
{
    static const TestClock clock;
    return clock;
}
} // namespace

bool parseTestClock(const QString &text, QDateTime *start, double *speed)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > 2)
        return false;
    const QDateTime t = QDateTime::fromString(parts.at(0).trimmed(), Qt::ISODate);
    if (!t.isValid() || t.timeSpec() != Qt::LocalTime)
        return false;
    double s = 1.0;
    if (parts.size() == 2) {
        bool ok = false;
        s = parts.at(1).trimmed().toDouble(&ok);
        if (!ok || !(s > 0) || s > kMaxSpeed)
            return false;
    }
    *start = t;
    *speed = s;
    return true;
}

QDateTime localNow()
{
    if (g_source)
        return g_source();
    const TestClock &test = testClock();
    return test.active ? test.now() : QDateTime::currentDateTime();
}

void setLocalNowSource(std::function<QDateTime()> source)
{
    g_source = std::move(source);
}
