#include "sim/TcpBridge.h"
#include "base/Language.h"

#include "link/TcpChannel.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <deque>

class TcpBridge::Worker : public QObject {
public:
    Worker(std::atomic<bool> &dropped, std::atomic<int> &connections, int latencyMs)
        : m_dropped(dropped), m_connections(connections), m_latencyMs(latencyMs)
    {
        m_release.setSingleShot(true);
        m_release.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_release, &QTimer::timeout, this, [this] { release(); });
        m_clock.start();
    }

    // Runs on the bridge's thread; the port listened on, or 0 with *error.
    quint16 open(const QString &device, quint16 port, QString *error)
    {
        if (!openLine(device, error))
            return 0;
        QObject::connect(&m_line, &QIODevice::readyRead, this, [this] { fromCard(); });
        if (!m_server.listen(QHostAddress::LocalHost, port)) {
            *error = trEn("Cardsim", "cannot listen on 127.0.0.1:%1: %2")
                         .arg(port)
                         .arg(m_server.errorString());
            m_line.close();
            return 0;
        }
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] { takeNext(); });
        return m_server.serverPort();
    }

    void shut()
    {
        m_server.close();
        dropClient();
        m_line.disconnect(this); // a stop, not the line going away
        m_line.close();
    }

private:
    // Opens the card's line and watches it for going away.
    bool openLine(const QString &device, QString *error)
    {
#ifdef Q_OS_WIN
        // The card's line is its TCP listener (CardLine), held connected.
        const auto address = TcpChannel::parseName(device);
        if (address)
            m_line.connectToHost(address->host, address->port);
        if (!address || !m_line.waitForConnected(5000)) {
            *error = trEn("Cardsim", "cannot open %1: %2").arg(device, m_line.errorString());
            return false;
        }
        m_line.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(&m_line, &QTcpSocket::disconnected, this, [this] { lineGone(); });
#else
        m_line.setPortName(device);
        if (!m_line.open(QIODevice::ReadWrite)) {
            *error = trEn("Cardsim", "cannot open %1: %2").arg(device, m_line.errorString());
            return false;
        }
        QObject::connect(&m_line, &QSerialPort::errorOccurred, this,
                         [this](QSerialPort::SerialPortError e) {
                             if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError)
                                 lineGone();
                         });
#endif
        return true;
    }

    struct Held {
        qint64 dueMs;
        QByteArray bytes;
    };

    void takeNext()
    {
        if (m_client || !m_server.hasPendingConnections())
            return;
        m_client = m_server.nextPendingConnection();
        ++m_connections;
        m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(m_client, &QTcpSocket::readyRead, this, [this] {
            if (m_client)
                m_line.write(m_client->readAll());
        });
        QObject::connect(m_client, &QTcpSocket::disconnected, this, [this] {
            dropClient();
            takeNext();
        });
        // Whatever the card said to nobody is not for this connection.
        m_line.readAll();
        m_held.clear();
    }

    void dropClient()
    {
        m_held.clear();
        if (!m_client)
            return;
        QTcpSocket *client = m_client;
        m_client = nullptr;
        client->disconnect(this);
        client->abort();
        client->deleteLater();
    }

    void fromCard()
    {
        const QByteArray bytes = m_line.readAll();
        if (!m_client || bytes.isEmpty())
            return;
        if (m_latencyMs <= 0) {
            m_client->write(bytes);
            return;
        }
        m_held.push_back({m_clock.elapsed() + m_latencyMs, bytes});
        if (!m_release.isActive())
            m_release.start(m_latencyMs);
    }

    void release()
    {
        const qint64 now = m_clock.elapsed();
        while (!m_held.empty() && m_held.front().dueMs <= now) {
            if (m_client)
                m_client->write(m_held.front().bytes);
            m_held.pop_front();
        }
        if (!m_held.empty())
            m_release.start(int(m_held.front().dueMs - now));
    }

    void lineGone()
    {
        if (m_dropped.exchange(true))
            return;
        m_server.close();
        dropClient();
        m_line.close();
    }

    std::atomic<bool> &m_dropped;
    std::atomic<int> &m_connections;
    const int m_latencyMs;
    // Children, so that moveToThread takes them along.
#ifdef Q_OS_WIN
    QTcpSocket m_line{this};
#else
    QSerialPort m_line{this};
#endif
    QTcpServer m_server{this};
    QPointer<QTcpSocket> m_client;
    std::deque<Held> m_held;
    QTimer m_release{this};
    QElapsedTimer m_clock;
};

TcpBridge::TcpBridge() = default;

TcpBridge::~TcpBridge()
{
    stop();
}

QString TcpBridge::address() const
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(m_port);
}

bool TcpBridge::start(const QString &device, quint16 port)
{
    stop();
    m_dropped = false;
    m_connections = 0;
    m_thread = std::make_unique<QThread>();
    m_worker = new Worker(m_dropped, m_connections, m_latencyMs);
    m_worker->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
    quint16 listening = 0;
    QString error;
    QMetaObject::invokeMethod(
        m_worker, [&] { listening = m_worker->open(device, port, &error); },
        Qt::BlockingQueuedConnection);
    if (listening == 0) {
        m_error = error;
        stop();
        return false;
    }
    m_port = listening;
    m_error.clear();
    return true;
}

void TcpBridge::stop()
{
    if (!m_thread)
        return;
    if (m_worker)
        QMetaObject::invokeMethod(
            m_worker, [this] { m_worker->shut(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    m_worker = nullptr; // deleted by the thread's finished signal
    m_port = 0;
}
