// Finding the card on ports 1 to 20, identifying it with the model query
// 0x35, and the checks that follow a search and precede a send.

#include "model/Project.h"

#include "link/ControllerLink.h"

#include <QThread>

namespace {
constexpr int kFirstPort = 1;
constexpr int kBarEnd = 200;
constexpr int kBarStep = 10;
} // namespace

bool Project::identify(int port, QString *modelText)
{
    if (!connect(port, false))
        return false;
    if (!m_link->queryControllerInfo(m_info))
        return false;
    if (modelText)
        *modelText = m_info.formatModel();
    return true;
}

bool Project::identifyForSend()
{
    // The port is opened with its errors composed, so that the result box
    // names the real reason (a missing device, a port in use) instead of
    // whatever an earlier command left behind.
    if (!connect(m_rememberedPort, true))
        return false;
    if (!m_link->queryControllerInfo(m_info)) {
        m_lastErrorText = m_link->errorText();
        return false;
    }
    return true;
}

Project::CardCheck Project::checkBeforeSend()
{
    bool ok = identifyForSend();
    if (!ok) {
        QThread::msleep(50);
        ok = identifyForSend();
    }
    if (!ok)
        return CardCheck::NoAnswer;
    return m_info.isSupportedModel() ? CardCheck::Ready : CardCheck::Unsupported;
}

void Project::findController(ProgressHost &host)
{
    host.setButtons(false, true);
    m_deniedPorts = {};
    int position = kBarStep;
    int port = kFirstPort;
    for (;;) {
        host.setStatus(position, QStringLiteral("正在查找..."));
        QString modelText;
        const bool found = identify(port, &modelText);
        // The link's code for a port the user may not open.
        constexpr int kAccessDenied = 5;
        if (!found && m_link->errorCode() == kAccessDenied) {
            if (m_deniedPorts.ports.isEmpty())
                m_deniedPorts.text = m_link->errorText();
            m_deniedPorts.ports.append(port);
        }
        if (found) {
            host.sleep(50);
            m_rememberedPort = port;
            host.sleep(50);
            if (!readScreenParams()) {
                host.waitPumping(50);
                readScreenParams();
            }
            host.setStatus(
                kBarEnd,
                QStringLiteral("在COM%1找到控制卡：%2。").arg(QString::number(port), modelText));
            host.pumpMessages();
            break;
        }
        host.waitPumping(20);
        position += kBarStep;
        ++port;
        if (position > kBarEnd) {
            host.setStatus(kBarEnd,
                           QStringLiteral("没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。"));
            m_rememberedPort = 0;
            connect(0, false);
            break;
        }
    }
    host.setButtons(true, false);
}

bool Project::acceptFoundController()
{
    if (m_info.modelCode != 0 && !m_info.isSupportedModel()) {
        m_rememberedPort = 0;
        connect(0, false);
        return false;
    }
    rebuildAllPages();
    return true;
}
