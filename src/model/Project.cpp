#include "model/Project.h"

#include "base/AppServices.h"
#include "link/ControllerLink.h"

Project::Project()
{
    m_session.shareRecordsWith(*this);
}

Project::~Project()
{
    // Items go first, in list order, each with its pages; then the link.
    clearItems();
}

bool Project::done(const Outcome &outcome)
{
    if (!outcome)
        m_lastErrorText = outcome.text();
    return outcome.isOk();
}

bool Project::saveProject()
{
    const Outcome saved = save();
    if (!saved)
        showMessage(nullptr, saved.text(), applicationTitle(), MessageIcon::Warning);
    return saved.isOk();
}

bool Project::loadProject()
{
    m_loadErrorText.clear();
    const Outcome loaded = load();
    if (loaded.code() == OutcomeCode::FileUnreadable || loaded.code() == OutcomeCode::FileInvalid) {
        m_loadErrorText = loaded.text();
        showMessage(nullptr, loaded.text(), QStringLiteral("Error"), MessageIcon::Error);
    }
    return loaded.isOk() && itemCount() > 0;
}

bool Project::lockProjectFile(QString *error)
{
    const Outcome locked = PlayList::lockProjectFile();
    if (!locked && error)
        *error = locked.text();
    return locked.isOk();
}

bool Project::connect(int port, bool showErrors)
{
    const Outcome opened = m_session.open(port);
    if (!opened && (showErrors || port == 0))
        m_lastErrorText = opened.text();
    return opened.isOk();
}

int Project::readBrightness()
{
    int level = 0;
    return m_session.readBrightness(&level) ? level : -1;
}

void Project::findController(ProgressHost &host)
{
    if (m_session.search(host).code() == OutcomeCode::NoCardFound)
        connect(0, false);
}

void Project::sendAll(ProgressHost &host)
{
    m_session.sendAll(*this, host);
    if (lastSendReport().end == SendReport::End::NoConnection)
        m_lastErrorText = lastSendReport().errorText;
}

bool Project::identify(int port, QString *modelText)
{
    if (!m_session.identify(port))
        return false;
    if (modelText)
        *modelText = controllerInfo().formatModel();
    return true;
}

Project::CardCheck Project::checkBeforeSend()
{
    const Outcome checked = m_session.checkBeforeSend();
    if (checked.code() == OutcomeCode::Unsupported)
        return CardCheck::Unsupported;
    return done(checked) ? CardCheck::Ready : CardCheck::NoAnswer;
}

bool Project::acceptFoundController()
{
    const ControllerInfo &info = controllerInfo();
    if (info.modelCode != 0 && !info.isSupportedModel()) {
        setRememberedPort(0);
        m_session.open(0);
        return false;
    }
    rebuildAllPages();
    return true;
}
