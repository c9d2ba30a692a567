#include "link/ByteChannel.h"

#include "link/SerialPort.h"
#include "link/TcpChannel.h"
#ifdef Q_OS_WIN
#include "link/WinSerialPort.h"
#endif

bool ByteChannel::isNetworkName(const QString &name)
{
    return name.trimmed().startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
}

std::unique_ptr<ByteChannel> ByteChannel::forName(const QString &name, int baud, LinkError &error)
{
    if (isNetworkName(name))
        return std::make_unique<TcpChannel>(error, name.trimmed());
#ifdef Q_OS_WIN
    // QSerialPort's overlapped reads never complete under Wine; see
    // WinSerialPort.h.
    return std::make_unique<WinSerialPort>(error, name, baud);
#else
    return std::make_unique<SerialPort>(error, name, baud);
#endif
}
