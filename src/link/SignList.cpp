#include "link/SignList.h"
#include "base/Language.h"

#include "link/ByteChannel.h"
#include "link/TcpChannel.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("signs");
const QString kName = QStringLiteral("name");
const QString kPort = QStringLiteral("port");
const QString kGroups = QStringLiteral("groups");
} // namespace

QString SignList::defaultPath()
{
    if (qEnvironmentVariableIsSet("BRIVANE_SIGNS"))
        return qEnvironmentVariable("BRIVANE_SIGNS");
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("brivane"),
                             QStringLiteral("signs"));
    return settings.fileName();
}

SignList::SignList(const QString &path) : m_path(path)
{
}

QString SignList::checkName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return trEn("SignList", "a sign needs a name");
    if (name != name.trimmed() || name.size() > MaxNameLength)
        return trEn("SignList", "a sign's name has at most %1 characters, without leading or "
                              "trailing spaces")
            .arg(MaxNameLength);
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control || c == u'/' || c == u'\\' || c == u',' ||
            c == u'=')
            return trEn("SignList", "a sign's name must not contain / \\ , = or control characters");
    bool isNumber = false;
    name.toInt(&isNumber);
    const bool comName = name.size() > 3 &&
                         name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) &&
                         name.mid(3).toInt() > 0;
    if (isNumber || comName || ByteChannel::isNetworkName(name))
        return trEn("SignList", "a sign's name must not look like a port (%1)").arg(name);
    return {};
}

QString SignList::checkPort(const QString &port)
{
    const QString value = port.trimmed();
    if (value.isEmpty())
        return trEn("SignList", "a sign needs a port");
    if (ByteChannel::isNetworkName(value))
        return TcpChannel::parseName(value)
                   ? QString()
                   : trEn("SignList", "invalid network port '%1': expected tcp://HOST:PORT")
                         .arg(value);
    bool isNumber = false;
    value.toInt(&isNumber);
    if (isNumber)
        return trEn("SignList", "a sign's port is a device path or tcp://HOST:PORT, not a number");
    if (value.size() > 4096 || value.contains(QChar(0)))
        return trEn("SignList", "invalid port '%1'").arg(value.left(64));
    return {};
}

bool SignList::load()
{
    m_signs.clear();
    m_problems.clear();
    const QFileInfo info(m_path);
    if (m_path.isEmpty() || !info.exists()) {
        m_status = Status::Missing;
        return true;
    }
    if (!info.isFile() || !info.isReadable()) {
        m_status = Status::Unreadable;
        return false;
    }
    if (info.size() > MaxFileBytes) {
        m_status = Status::Unreadable;
        m_problems << trEn("SignList", "%1: the sign list is larger than %2 bytes and is not read")
                          .arg(m_path)
                          .arg(MaxFileBytes);
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        m_status = Status::Unreadable;
        return false;
    }
    m_status = Status::Ok;
    const int size = settings.beginReadArray(kGroup);
    for (int i = 0; i < std::min(size, MaxSigns); ++i) {
        settings.setArrayIndex(i);
        const QString name = settings.value(kName).toString();
        const QString port = settings.value(kPort).toString().trimmed();
        QStringList groups;
        for (const QString &group : settings.value(kGroups).toStringList())
            if (!group.trimmed().isEmpty() && !groups.contains(group.trimmed()))
                groups << group.trimmed();
        QString problem = checkName(name);
        if (problem.isEmpty())
            problem = checkPort(port);
        for (const QString &group : groups)
            if (problem.isEmpty())
                problem = checkGroup(group);
        if (problem.isEmpty() && find(name))
            problem = trEn("SignList", "the name '%1' is used twice").arg(name);
        if (!problem.isEmpty()) {
            m_problems
                << trEn("SignList", "%1: entry %2 skipped: %3").arg(m_path).arg(i + 1).arg(problem);
            continue;
        }
        m_signs.push_back({name, port, groups});
    }
    settings.endArray();
    if (size > MaxSigns)
        m_problems
            << trEn("SignList", "%1: only the first %2 signs are read").arg(m_path).arg(MaxSigns);
    return true;
}

bool SignList::save(QString *error) const
{
    auto failed = [&](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (m_path.isEmpty())
        return failed(trEn("SignList", "no sign list file (BRIVANE_SIGNS is empty)"));
    if (m_status == Status::Unreadable)
        return failed(
            trEn("SignList", "cannot read the sign list %1; it is left as it is").arg(m_path));
    QSettings settings(m_path, QSettings::IniFormat);
    settings.remove(kGroup);
    settings.beginWriteArray(kGroup, int(m_signs.size()));
    for (int i = 0; i < int(m_signs.size()); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(kName, m_signs[size_t(i)].name);
        settings.setValue(kPort, m_signs[size_t(i)].port);
        if (!m_signs[size_t(i)].groups.isEmpty())
            settings.setValue(kGroups, m_signs[size_t(i)].groups);
    }
    settings.endArray();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return failed(trEn("SignList", "cannot write the sign list %1").arg(m_path));
    return true;
}

const SignList::Sign *SignList::find(const QString &name) const
{
    for (const Sign &sign : m_signs)
        if (sign.name.compare(name, Qt::CaseInsensitive) == 0)
            return &sign;
    return nullptr;
}

QString SignList::add(const QString &name, const QString &port, const QStringList &groups)
{
    QString problem = checkName(name);
    if (problem.isEmpty())
        problem = checkPort(port);
    for (const QString &group : groups)
        if (problem.isEmpty())
            problem = checkGroup(group);
    if (problem.isEmpty() && m_signs.size() >= size_t(MaxSigns) && !find(name))
        problem = trEn("SignList", "the sign list is full (%1 signs)").arg(MaxSigns);
    if (!problem.isEmpty())
        return problem;
    for (Sign &sign : m_signs) {
        if (sign.name.compare(name, Qt::CaseInsensitive) == 0) {
            sign.port = port.trimmed();
            if (!groups.isEmpty())
                sign.groups = groups;
            sign.groups.removeDuplicates();
            return {};
        }
    }
    QStringList unique = groups;
    unique.removeDuplicates();
    m_signs.push_back({name, port.trimmed(), unique});
    return {};
}

QString SignList::checkGroup(const QString &group)
{
    if (group.contains(u'+') || group.contains(u'#'))
        return trEn("SignList", "a group's name must not contain + or #");
    const QString problem = checkName(group);
    return problem.isEmpty() ? QString()
                             : trEn("SignList", "group '%1': %2").arg(group.left(64), problem);
}

QStringList SignList::groups() const
{
    QStringList all;
    for (const Sign &sign : m_signs)
        all << sign.groups;
    all.removeDuplicates();
    all.sort();
    return all;
}

std::vector<SignList::Sign> SignList::signsInGroup(const QString &group) const
{
    std::vector<Sign> found;
    for (const Sign &sign : m_signs)
        if (sign.groups.contains(group))
            found.push_back(sign);
    return found;
}

bool SignList::remove(const QString &name)
{
    for (auto it = m_signs.begin(); it != m_signs.end(); ++it) {
        if (it->name.compare(name, Qt::CaseInsensitive) == 0) {
            m_signs.erase(it);
            return true;
        }
    }
    return false;
}
