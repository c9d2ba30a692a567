#pragma once
// The GUI's and the service's play list and card in one object, over
// PlayList and CardSession, with the boolean commands and the last-error text
// they report through. A compatibility layer while the GUI and the service
// move onto PlayList and CardSession; new code uses those.

#include "model/CardSession.h"
#include "model/PlayList.h"

#include <QString>

class Project : public PlayList, public ProgressJob {
public:
    Project();
    ~Project() override;

    CardSession &session() { return m_session; }

    int rememberedPort() const { return m_session.port(); }
    void setRememberedPort(int port) { m_session.setPort(port); }
    const QString &lastErrorText() const { return m_lastErrorText; }
    void setLastErrorText(const QString &text) { m_lastErrorText = text; }
    ControllerLink &link() { return m_session.link(); }

    // ---- project file (the outcome's message shown on failure)
    bool saveProject();
    // Reads the file into the (empty) list; true when it holds an item after.
    bool loadProject();
    bool lockProjectFile(QString *error = nullptr);
    // The message the last loadProject showed; empty when it showed none.
    const QString &loadErrorText() const { return m_loadErrorText; }

    // ---- controller commands (each false with lastErrorText on failure)
    bool connect(int port, bool showErrors);
    bool clearScreen() { return done(m_session.clearScreen()); }
    bool restoreFactorySettings() { return done(m_session.restoreFactorySettings()); }
    bool setClock() { return done(m_session.setClock()); }
    bool writeScreenParams() { return done(m_session.writeScreenParams()); }
    bool setScreenPower(bool on) { return done(m_session.setScreenPower(on)); }
    // These three leave lastErrorText alone (the link has the reason).
    bool setBrightness(int level) { return m_session.setBrightness(level).isOk(); }
    // The card's brightness, or -1 when the exchange fails.
    int readBrightness();
    bool readScreenParams() { return m_session.readScreenParams().isOk(); }
    bool clearAndWriteScreenParams(const std::function<void(ScreenParams &)> &storeFields)
    {
        return done(m_session.clearAndWriteScreenParams(storeFields));
    }

    // ---- discovery and send
    bool identify(int port, QString *modelText = nullptr);
    void findController(ProgressHost &host);
    void sendAll(ProgressHost &host);
    void run(ProgressHost &host) override { sendAll(host); }
    enum class CardCheck { Ready, NoAnswer, Unsupported };
    CardCheck checkBeforeSend();
    // The follow-up of a search: an identified but unsupported card sets the
    // remembered port to 0 and closes the link (false; the caller shows
    // unsupportedCardText()); otherwise every item is rebuilt (true).
    bool acceptFoundController();
    static QString unsupportedCardText() { return Outcome::unsupportedCard().text(); }
    UploadPageHeader uploadHeaderFor(const ProgramItem &item) const
    {
        return m_session.uploadHeaderFor(item);
    }
    bool sendItemPages(int firstPageNumber, const ProgramItem &item,
                       const std::function<void(int)> &pause = {})
    {
        return m_session.sendItemPages(firstPageNumber, item, pause);
    }
    const SendReport &lastSendReport() const { return m_session.lastSendReport(); }

private:
    bool done(const Outcome &outcome);

    CardSession m_session;
    QString m_lastErrorText;
    QString m_loadErrorText;
};
