// The Project's controller commands: connecting on the remembered port and
// the commands the user runs from the tool dialogs, each leaving the reason
// of a failure in the last-error text.
#include "base/LocalClock.h"
#include "link/ControllerLink.h"
#include "model/Project.h"

namespace {
using Protocol::LinkBaudRate, Protocol::LinkChunkSize, Protocol::LinkTimeoutMs;
} // namespace

bool Project::connect(int port, bool showErrors)
{
    if (port == 0) {
        m_lastErrorText = QStringLiteral("无法建立连接，请先查找屏。");
        m_link->configure(0, LinkTimeoutMs, LinkBaudRate, LinkChunkSize);
        return false;
    }
    if (m_link->configure(port, LinkTimeoutMs, LinkBaudRate, LinkChunkSize)) {
        m_link->setKeepOpen(false);
        return true;
    }
    if (!showErrors)
        return false;
    QString text = QStringLiteral("打开串口时发生错误，") + m_link->errorText();
    if (m_link->errorCode() == Protocol::ErrorCode::DeviceNotFound)
        text += QStringLiteral("\n\n您可通过‘查屏’功能查找串口号。注意，如果您使用的是USB->"
                               "RS232的转换器，\n请确定转换器已经插入电脑的USB口，并且已经正确"
                               "的安装了驱动程序。");
    else if (m_link->errorCode() == Protocol::ErrorCode::AccessDenied)
        text += QStringLiteral("\n\n请先关闭其他占用该串口的程序。");
    m_lastErrorText = text;
    return false;
}

namespace {
// connect on the remembered port, then the command; a command failure
// leaves the link's text in the Project.
template <typename Command> bool connectAndRun(Project &project, Command command)
{
    if (!project.connect(project.rememberedPort(), true))
        return false;
    if (command(project.link()))
        return true;
    project.setLastErrorText(project.link().errorText());
    return false;
}
} // namespace

bool Project::clearScreen()
{
    return connectAndRun(*this, [](ControllerLink &link) { return link.clearScreen(); });
}

bool Project::restoreFactorySettings()
{
    return connectAndRun(*this, [](ControllerLink &link) { return link.restoreFactorySettings(); });
}

bool Project::setClock()
{
    return connectAndRun(*this, [](ControllerLink &link) { return link.setClock(localNow()); });
}

bool Project::writeScreenParams()
{
    return connectAndRun(*this,
                         [this](ControllerLink &link) { return link.writeScreenParams(m_params); });
}

bool Project::setScreenPower(bool on)
{
    if (m_link->setScreenPower(on))
        return true;
    m_lastErrorText = m_link->errorText();
    return false;
}

bool Project::setBrightness(int level)
{
    return m_link->setBrightness(level);
}

int Project::readBrightness()
{
    int level = 0;
    return m_link->readBrightness(level) ? level : -1;
}

bool Project::readScreenParams()
{
    ScreenParams params = m_params;
    if (!m_link->readScreenParams(params))
        return false;
    m_params = params;
    return true;
}
