#pragma once
// The sign service: an HTTP API and a web page over the same PlayList,
// CardSession, renderer and send operation as the GUI and the command-line tool,
// for the small computer beside the sign. The play list lives in the
// project file: every change is applied to a freshly read copy and saved at
// once with the atomic writer, so a failed request leaves the file as it
// was. Card operations run one at a time on a worker thread with their own
// CardSession; a send runs as a job the client polls. `brivane-cli
// serve` owns one SignService; tests run it in-process.

#include "model/Outcome.h"
#include "model/SendReport.h"
#include "service/RequestGate.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class ControllerInfo;
class CardSession;
class PlayList;
class QHttpServerRequest;
class RequestGate;
class ScheduleRunner;
class NotifyQueue;
class QTcpSocket;
struct SendJob;

struct ServiceConfig {
    QString projectPath;
    // The card's port; 0: search ports 1 to 20 before each card operation.
    int port = 0;
    // The answer to a send's questions (resend after a failed clear or
    // program?), as the command-line tool's --on-error.
    enum class OnError { Skip, Stop, Retry };
    OnError onError = OnError::Skip;
    int retries = 3;
    // When not empty, every request must carry "Authorization: Bearer TOKEN"
    // or the cookie of a session opened with it on the login page.
    QByteArray token;
    // Host names the service answers to besides the loopback names and the
    // address it listens on (--allow-host).
    QStringList allowedHosts;
    // PEM files: when both are given, the service speaks HTTPS only.
    QString tlsCertificate;
    QString tlsKey;
    // A schedule file to run (empty: none).
    QString schedulePath;
    // One line per request; standard error when empty.
    std::function<void(const QString &)> log;
};

class SignService final : public QAbstractHttpServer {
    Q_OBJECT
public:
    // Request bodies: pictures up to 16 MiB, everything else up to 64 KiB.
    static constexpr qint64 kMaxPictureBytes = qint64(16) << 20;
    static constexpr qint64 kMaxBodyBytes = qint64(64) << 10;
    // A page picture is drawn at most this much larger than one pixel per LED.
    static constexpr int kMaxScale = 16;
    // Send jobs whose state can still be asked for.
    static constexpr int kKeptJobs = 16;
    // Wrong tokens one address may try in a minute before it is refused
    // (429) until that minute is over.
    static constexpr int kMaxWrongTokens = 5;
    static constexpr qint64 kWrongTokenWindowMs = 60'000;
    // A login session lasts this long; sessions live in memory only, so a
    // restart of the service ends them all.
    static constexpr qint64 kSessionSeconds = 12 * 3600;
    static constexpr int kMaxSessions = 256;

    explicit SignService(ServiceConfig config, QObject *parent = nullptr);
    ~SignService() override;

    // Listens on address:port (0: a free port). The port, or 0 with *error.
    quint16 start(const QHostAddress &address, quint16 port, QString *error);
    // Cancels a running send as the cancel button does (the current program
    // finishes, the upload is closed) and waits for it to end.
    void stop();
    bool sendRunning() const;

    // The card queue, for the schedule as for the API. A send of a play
    // list file as a job; 0 while another card operation runs.
    int startSendJob(const QString &listPath);
    // A short card command on a worker thread, the card attached first
    // (the event loop waits, as for the API's commands); nothing while
    // another card operation runs.
    std::optional<Outcome> runCardCommand(const std::function<Outcome(CardSession &)> &command);
    // Whether a message is shown or waits (POST /api/notify): the
    // schedule's list waits for its end.
    bool messageActive() const;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

public:
    struct Reply {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json";
        RequestGate::Fields headers = {};
    };
    // The headers every answer carries: no sniffing, no framing, and only
    // the page's own files.
    static const RequestGate::Fields &securityHeaders();

private:
    struct Route {
        const char *method;
        QRegularExpression path;
        Reply (SignService::*handle)(const QHttpServerRequest &, const QRegularExpressionMatch &);
    };
    const std::vector<Route> &routes() const;
    Reply dispatch(const QHttpServerRequest &request);
    void log(const QString &line) const;

    // ---- who may ask (SignServiceAccess.cpp)
    // The checks of a request header, run by the gate before any of its body
    // is read: the Host, the Origin, the Content-Type of a change, and the
    // token or session (wrong tokens counted per address).
    std::optional<RequestGate::Answer> admit(const RequestGate::Head &head);
    bool hostAllowed(const QByteArray &host) const;
    // A request that needs no token: the login page and its files, and the login.
    static bool isPublic(const QByteArray &method, const QString &path);
    // The Authorization header carries the token, or the cookie a session.
    bool authorised(const QByteArray &authorization, const QByteArray &cookie);
    bool sessionOpen(const QByteArray &cookie);
    // Whether the address has used up its wrong tokens; the seconds left.
    int lockedSeconds(const QHostAddress &peer);
    void wrongToken(const QHostAddress &peer);
    Reply login(const QHttpServerRequest &, const QRegularExpressionMatch &);

    // ---- the play list (SignServicePrograms.cpp)
    Reply getPage(const QHttpServerRequest &, const QRegularExpressionMatch &);
    // The web page's texts in the service's language (SignServiceTexts.cpp).
    Reply pageTexts(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply choices(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply listPrograms(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply addProgram(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply changeProgram(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply deleteProgram(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply moveProgram(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply pagePicture(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply previewPicture(const QHttpServerRequest &, const QRegularExpressionMatch &);
    // The program as the sign plays it, looping; ?scale=1..4 (default 2),
    // ?dots=1 for the LED dot look.
    Reply animationGif(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply uploadPicture(const QHttpServerRequest &, const QRegularExpressionMatch &);
    // A message shown now for its duration, then the list again.
    Reply postNotify(const QHttpServerRequest &, const QRegularExpressionMatch &);
    // The play list as the file holds it now (read again when the file
    // changed), pages rendered for the last card seen; null with *refusal
    // when the file cannot be read or parsed now.
    const PlayList *currentList(Reply *refusal);
    // The list document of the API: the project's file name, never a path.
    QJsonObject listDocument(const PlayList &list) const;
    // text with the project's folder left out (no absolute paths in answers).
    QString withoutFolders(QString text) const;
    // The reply's text for a project file that cannot be read or written
    // (load, lock or save outcome); the file's own message goes to the log.
    QString projectFileRefusal(const Outcome &outcome) const;
    // The error reply for such an outcome, its status from the code: 409 for
    // a file that is missing, unreadable or damaged, 413 for a list the
    // loader would refuse, 507 for a full disk, 503 for a lock held past the
    // wait, 500 otherwise.
    Reply projectFileError(const Outcome &outcome) const;
    // Runs change on a fresh copy of the file under the file's lock; saves
    // and adopts it when change returns no error reply. Refused while a
    // send runs.
    Reply changeList(const std::function<std::optional<Reply>(PlayList &)> &change,
                     const std::function<Reply(PlayList &)> &answer);
    void adopt(std::unique_ptr<PlayList> list);
    QString picturesDir() const;

    // ---- the card (SignServiceCard.cpp)
    Reply cardInfo(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply cardCommand(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply startSend(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply jobState(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply cancelJob(const QHttpServerRequest &, const QRegularExpressionMatch &);
    // Runs work on a worker thread with its own CardSession attached to the
    // card and waits for it; 409 while another card operation runs.
    Reply runOnCard(const std::function<Reply(CardSession &)> &work);
    // The worker thread of both: the attach outcome; work runs when it is ok.
    Outcome onCardThread(const std::function<void(CardSession &)> &work);
    Reply scheduleStatus(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply getSchedule(const QHttpServerRequest &, const QRegularExpressionMatch &);
    Reply putSchedule(const QHttpServerRequest &, const QRegularExpressionMatch &);
    // colourType: the card's, when its record was read (0: keep the last).
    void rememberCard(const ControllerInfo &info, int colourType);
    void sendFinished(int id);

    ServiceConfig m_config;
    RequestGate *m_gate = nullptr; // child
    QHostAddress m_listenAddress;
    bool m_tls = false;
    // Open sessions: cookie value -> when it expires (ms since the epoch).
    std::map<QByteArray, qint64> m_sessions;
    // Wrong tokens per address: how many, since when (ms since the epoch).
    struct WrongTokens {
        int count = 0;
        qint64 since = 0;
    };
    std::map<QString, WrongTokens> m_wrongTokens;
    std::unique_ptr<PlayList> m_list;
    QByteArray m_listStamp;
    std::unique_ptr<ControllerInfo> m_card; // the last card seen
    int m_cardColourType = 0;               // its colour type, once read (0: not known)
    bool m_cardBusy = false;
    std::map<int, std::shared_ptr<SendJob>> m_jobs;
    int m_nextJob = 1;
    int m_runningJob = 0;
    class Messages;
    std::unique_ptr<Messages> m_messages;
    ScheduleRunner *m_schedule = nullptr; // child
    NotifyQueue *m_notify = nullptr;      // child
};
