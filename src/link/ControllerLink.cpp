#include "link/ControllerLink.h"

ControllerLink::ControllerLink() = default;
ControllerLink::~ControllerLink() = default;

bool ControllerLink::configure(int port, int, int, int chunkSize)
{
    m_port = port;
    m_chunkSize = chunkSize;
    setError(0, {});
    return false;
}

void ControllerLink::setKeepOpen(bool) {}

bool ControllerLink::exchange(uint8_t, const QByteArray &)
{
    setError(2, QStringLiteral("指定的串口不存在。"));
    return false;
}

void ControllerLink::setError(int code, const QString &text)
{
    m_errorCode = code;
    m_errorText = text.left(255);
}
