// The card session: reaching the card (open, identify, the model check, the
// search over ports 1 to 20) and the controller commands the user runs from
// the tool dialogs, the command line and the service.
#include "model/CardSession.h"

#include "base/LocalClock.h"
#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "model/PlayList.h"

#include <QCoreApplication>
#include <QThread>

namespace {
using Protocol::LinkBaudRate, Protocol::LinkChunkSize, Protocol::LinkTimeoutMs;

constexpr int kFirstPort = 1;
constexpr int kBarEnd = 200;
constexpr int kBarStep = 10;
// The card needs a moment after clearing before it takes new parameters.
constexpr unsigned long kAfterClearMs = 200;

// The search's rule: a card that answered with a model code of 0 is taken
// as it is; any other code must be in the acceptance table.
bool acceptedAfterSearch(const ControllerInfo &info)
{
    return info.modelCode == 0 || info.isSupportedModel();
}
} // namespace

CardSession::CardSession() : m_link(std::make_unique<ControllerLink>()) {}

CardSession::~CardSession() = default;

void CardSession::shareRecordsWith(PlayList &list)
{
    m_params = &list.screenParams();
    m_info = &list.controllerInfo();
    m_sharedList = &list;
    m_colourTypeKnown = list.colourTypeKnown();
}

void CardSession::setColourTypeKnown()
{
    m_colourTypeKnown = true;
    if (m_sharedList)
        m_sharedList->setColourTypeKnown(true);
}

Outcome CardSession::linkOutcome() const
{
    return Outcome::fromLink(m_link->error());
}

Outcome CardSession::open(int port)
{
    if (port == 0) {
        m_link->configure(0, LinkTimeoutMs, LinkBaudRate, LinkChunkSize);
        return Outcome::failure(OutcomeCode::NoPort,
                                QCoreApplication::translate("CardSession", "无法建立连接，请先查找屏。"));
    }
    if (m_link->configure(port, LinkTimeoutMs, LinkBaudRate, LinkChunkSize)) {
        m_link->setKeepOpen(false);
        return {};
    }
    const Outcome failed = linkOutcome();
    QString text = QCoreApplication::translate("CardSession", "打开串口时发生错误，") + failed.text();
    if (failed.code() == OutcomeCode::PortNotFound)
        text += QCoreApplication::translate("CardSession", "\n\n您可通过‘查屏’功能查找串口号。注意，如果您使用的是USB->"
                               "RS232的转换器，\n请确定转换器已经插入电脑的USB口，并且已经正确"
                               "的安装了驱动程序。");
    else if (failed.code() == OutcomeCode::PortAccessDenied)
        text += QCoreApplication::translate("CardSession", "\n\n请先关闭其他占用该串口的程序。");
    return Outcome::failure(failed.code(), text, failed.detail());
}

Outcome CardSession::identify(int port)
{
    if (port == 0 || !m_link->configure(port, LinkTimeoutMs, LinkBaudRate, LinkChunkSize))
        return port == 0 ? open(0) : linkOutcome();
    m_link->setKeepOpen(false);
    if (!m_link->queryControllerInfo(*m_info))
        return linkOutcome();
    return {};
}

Outcome CardSession::attach(int port)
{
    m_port = port;
    if (const Outcome opened = open(port); !opened)
        return opened;
    if (const Outcome identified = identify(port); !identified)
        return identified;
    return acceptedAfterSearch(*m_info) ? Outcome() : Outcome::unsupportedCard();
}

Outcome CardSession::attach(const QString &portName)
{
    bool isNumber = false;
    int port = portName.toInt(&isNumber);
    if (!isNumber)
        port = PortNaming::comNumber(portName);
    if (port <= 0)
        port = PortNaming::portForDevice(portName);
    if (port <= 0)
        return Outcome::failure(OutcomeCode::NoPort,
                                QCoreApplication::translate("CardSession", "无法建立连接，请先查找屏。"));
    return attach(port);
}

QString CardSession::portText(int port)
{
    const QString device = PortNaming::deviceForPort(port);
    if (device.isEmpty())
        return QStringLiteral("port %1").arg(port);
    // The stable name survives replugging; shown when the device has one.
    const QString stable = PortNaming::stableName(device);
    return stable.isEmpty() || stable == device
               ? QStringLiteral("port %1 (%2)").arg(port).arg(device)
               : QStringLiteral("port %1 (%2, %3)").arg(port).arg(device, stable);
}

Outcome CardSession::search(ProgressHost &host)
{
    host.setRange(kBarEnd);
    host.setButtons(false, true);
    m_deniedPorts.clear();
    QString deniedText;
    int position = kBarStep;
    int port = kFirstPort;
    Outcome outcome;
    for (;;) {
        host.setStatus(position, QCoreApplication::translate("CardSession", "正在查找..."));
        const Outcome found = identify(port);
        if (found.code() == OutcomeCode::PortAccessDenied) {
            if (m_deniedPorts.isEmpty())
                deniedText = found.text();
            m_deniedPorts.append(port);
        }
        if (found) {
            host.sleep(50);
            m_port = port;
            host.sleep(50);
            if (!readScreenParams()) {
                host.waitPumping(50);
                readScreenParams();
            }
            host.setStatus(kBarEnd, QCoreApplication::translate("CardSession", "在COM%1找到控制卡：%2。")
                                        .arg(QString::number(port), m_info->formatModel()));
            host.pumpMessages();
            if (!acceptedAfterSearch(*m_info))
                outcome = Outcome::unsupportedCard();
            break;
        }
        host.waitPumping(20);
        position += kBarStep;
        ++port;
        if (position > kBarEnd) {
            QString text = QCoreApplication::translate("CardSession", "没有找到控制卡，请检查硬件连接后单击‘查屏’按钮。");
            host.setStatus(kBarEnd, text);
            // Why some ports could not be searched, once, with the link's
            // text for the first (it carries the hint about the user's groups).
            if (!m_deniedPorts.isEmpty()) {
                QStringList names;
                for (int p : std::as_const(m_deniedPorts))
                    names << portText(p);
                text += QCoreApplication::translate("CardSession", "\n无法打开 %1：").arg(names.join(QStringLiteral(", "))) +
                        deniedText;
            }
            outcome = Outcome::failure(OutcomeCode::NoCardFound, text);
            m_port = 0;
            open(0);
            break;
        }
    }
    host.setButtons(true, false);
    return outcome;
}

Outcome CardSession::run(const std::function<bool(ControllerLink &)> &command)
{
    if (const Outcome opened = open(m_port); !opened)
        return opened;
    return command(*m_link) ? Outcome() : linkOutcome();
}

Outcome CardSession::clearScreen()
{
    return run([](ControllerLink &link) { return link.clearScreen(); });
}

Outcome CardSession::restoreFactorySettings()
{
    return run([](ControllerLink &link) { return link.restoreFactorySettings(); });
}

Outcome CardSession::setClock()
{
    return run([](ControllerLink &link) { return link.setClock(localNow()); });
}

Outcome CardSession::writeScreenParams()
{
    return run([this](ControllerLink &link) { return link.writeScreenParams(*m_params); });
}

// The brightness, power and read commands go out on the link as it stands
// (the port the last command or the search opened), as the dialogs did; a
// link not yet opened on any port opens the remembered one first.
Outcome CardSession::onLink(const std::function<bool(ControllerLink &)> &command)
{
    if (m_link->port() == 0) {
        if (const Outcome opened = open(m_port); !opened)
            return opened;
    }
    return command(*m_link) ? Outcome() : linkOutcome();
}

Outcome CardSession::setScreenPower(bool on)
{
    return onLink([on](ControllerLink &link) { return link.setScreenPower(on); });
}

Outcome CardSession::setBrightness(int level)
{
    return onLink([level](ControllerLink &link) { return link.setBrightness(level); });
}

Outcome CardSession::readBrightness(int *level)
{
    int read = 0;
    if (const Outcome done =
            onLink([&read](ControllerLink &link) { return link.readBrightness(read); });
        !done)
        return done;
    if (level)
        *level = read;
    return {};
}

Outcome CardSession::readScreenParams()
{
    ScreenParams params = *m_params;
    if (const Outcome done =
            onLink([&params](ControllerLink &link) { return link.readScreenParams(params); });
        !done)
        return done;
    *m_params = params;
    setColourTypeKnown();
    return {};
}

Outcome CardSession::clearAndWriteScreenParams(
    const std::function<void(ScreenParams &)> &storeFields)
{
    clearScreen();
    QThread::msleep(kAfterClearMs);
    if (storeFields)
        storeFields(*m_params);
    const Outcome written = writeScreenParams();
    if (written)
        setColourTypeKnown();
    return written;
}

Outcome CardSession::checkBeforeSend()
{
    // The port is opened with its errors composed, so that the result names
    // the real reason (a missing device, a port in use) instead of whatever
    // an earlier command left behind.
    const auto identifyForSend = [this] {
        if (const Outcome opened = open(m_port); !opened)
            return opened;
        return m_link->queryControllerInfo(*m_info) ? Outcome() : linkOutcome();
    };
    Outcome outcome = identifyForSend();
    if (!outcome) {
        QThread::msleep(50);
        outcome = identifyForSend();
    }
    if (!outcome)
        return outcome;
    return m_info->isSupportedModel() ? Outcome() : Outcome::unsupportedCard();
}
