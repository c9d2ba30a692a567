#include "link/ByteChannel.h"

#include "link/SerialPort.h"
#include "link/TcpChannel.h"

bool ByteChannel::isNetworkName(const QString &name)
{
    return name.trimmed().startsWith(QLatin1String("tcp://"), Qt::CaseInsensitive);
}

std::unique_ptr<ByteChannel> ByteChannel::forName(const QString &name, int baud, LinkError &error)
{
    if (isNetworkName(name))
        return std::make_unique<TcpChannel>(error, name.trimmed());
    return std::make_unique<SerialPort>(error, name, baud);
}
