#pragma once
// The sign service: an HTTP API and a web page over the same PlayList,
// CardSession, renderer and send operation as the GUI and the command-line tool,
// for the small computer beside the sign. The play list lives in the
// project file: every change is applied to a freshly read copy and saved at
// once with the atomic writer, so a failed request leaves the file as it
// was. Each sign has a CardQueue: its card operations run one at a time
// on a worker thread with their own CardSession, and a card request answers
// when its operation has ended while other requests are served; a send runs
// as a job the client polls. Every face (HTTP, MQTT) goes through call()
// and the one route table. `brivane-cli serve` owns one SignService; tests
// run it in-process.

#include "model/Outcome.h"
#include "model/SendReport.h"
#include "service/CardQueue.h"
#include "service/RequestGate.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <QUrlQuery>
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

// One request to the service's API, whatever carried it: the HTTP face
// fills it from a request the gate has admitted, other faces (MQTT, tests)
// directly. The route table and every check of paths, fields and bodies
// apply to it alike; the checks of the HTTP line (host, origin, token,
// content type, body size) stay with the gate.
struct ApiRequest {
    QByteArray method; // "GET", "POST", "PATCH", "PUT", "DELETE"
    QString path;      // "/api/programs", without the query
    QUrlQuery query;
    QByteArray body;
    QByteArray contentType;
    // The sign a card request is for, by name; empty: the first sign.
    QString sign;
    // Filled by the HTTP face: the client's address, and whether it showed
    // the token or an open session. Other faces are trusted.
    QHostAddress peer;
    bool authorised = true;
};

// A sign of the service: its name, the port of its card (a number, a device
// path or a name the port list knows; empty or "0": the search over ports 1
// to 20 before each card operation) and the groups it belongs to.
struct ServiceSign {
    QString name;
    QString port;
    QStringList groups;
};

struct ServiceConfig {
    QString projectPath;
    // The card's port when signs is empty: one sign named "sign"; 0: search
    // ports 1 to 20 before each card operation.
    int port = 0;
    // The signs, all playing the one project. The HTTP API addresses the
    // first; ApiRequest::sign any of them.
    QList<ServiceSign> signs;
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
    // Runs the schedule, when there is one (start() does; without a
    // listening socket, as `serve --listen none`, this alone).
    void startSchedule();
    // Cancels a running send as the cancel button does (the current program
    // finishes, the upload is closed) and waits for it to end.
    void stop();
    bool sendRunning() const;

    // The card queue, for the schedule as for the API. A send of a play
    // list file as a job, queued behind the sign's waiting commands; 0
    // while another send of the sign runs or waits, or for an unknown sign
    // (empty: the first).
    int startSendJob(const QString &listPath, const QString &sign = {});
    // A short card command in the sign's queue (empty: the first sign),
    // the card attached first; done receives the attach outcome when that
    // failed, else the command's, on this thread. False (done never
    // called) while a send of the sign runs or waits, when
    // CardQueue::kMaxWaiting commands wait, or for an unknown sign.
    bool runCardCommand(const std::function<Outcome(CardSession &)> &command,
                        std::function<void(const Outcome &)> done, const QString &sign = {});

    // ---- the signs
    // Their names, the first the HTTP API's.
    QStringList signNames() const;
    // The signs of a group (by the names of signs.ini's groups), in order.
    QStringList signsInGroup(const QString &group) const;
    // What the service last saw of the sign: {"sign", "groups", "link"
    // ("unknown", "ok", "failed", "unsupported"), "busy", "waiting", and
    // when known "model", "firmware", "colourType", "power", "brightness",
    // "last": {"what", "ok", "message", "at"}}. Empty for an unknown sign.
    QJsonObject signStatus(const QString &sign) const;
    // The sign's queue (null for an unknown sign; empty: the first).
    CardQueue *cardQueue(const QString &sign = {}) const;
    // Whether a message is shown or waits (POST /api/notify): the
    // schedule's list waits for its end.
    bool messageActive() const;

    struct Reply {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json";
        RequestGate::Fields headers = {};
    };
    using Done = std::function<void(const Reply &)>;
    // Runs a request through the route table as the HTTP face does; done
    // receives the answer on this thread, at once or, for a card request,
    // when the card operation has ended. done is called exactly once.
    void call(const ApiRequest &request, Done done);

Q_SIGNALS:
    // After every card operation of the sign: its status may have changed.
    void signStatusChanged(const QString &sign);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

public:
    // The headers every answer carries: no sniffing, no framing, and only
    // the page's own files.
    static const RequestGate::Fields &securityHeaders();

private:
    struct Route {
        const char *method;
        QRegularExpression path;
        Reply (SignService::*handle)(const ApiRequest &, const QRegularExpressionMatch &);
        // A card request answers when its operation has ended.
        void (SignService::*later)(const ApiRequest &, const QRegularExpressionMatch &, Done) = nullptr;
    };
    const std::vector<Route> &routes() const;
    void dispatch(const ApiRequest &request, Done done);
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
    Reply login(const ApiRequest &, const QRegularExpressionMatch &);

    // ---- the play list (SignServicePrograms.cpp)
    Reply getPage(const ApiRequest &, const QRegularExpressionMatch &);
    // The web page's texts in the service's language (SignServiceTexts.cpp).
    Reply pageTexts(const ApiRequest &, const QRegularExpressionMatch &);
    Reply choices(const ApiRequest &, const QRegularExpressionMatch &);
    Reply listPrograms(const ApiRequest &, const QRegularExpressionMatch &);
    Reply addProgram(const ApiRequest &, const QRegularExpressionMatch &);
    // The whole list at once: {"programs": [...]}, each as addProgram takes it.
    Reply replacePrograms(const ApiRequest &, const QRegularExpressionMatch &);
    Reply changeProgram(const ApiRequest &, const QRegularExpressionMatch &);
    Reply deleteProgram(const ApiRequest &, const QRegularExpressionMatch &);
    Reply moveProgram(const ApiRequest &, const QRegularExpressionMatch &);
    Reply pagePicture(const ApiRequest &, const QRegularExpressionMatch &);
    Reply previewPicture(const ApiRequest &, const QRegularExpressionMatch &);
    // The program as the sign plays it, looping; ?scale=1..4 (default 2),
    // ?dots=1 for the LED dot look.
    Reply animationGif(const ApiRequest &, const QRegularExpressionMatch &);
    Reply uploadPicture(const ApiRequest &, const QRegularExpressionMatch &);
    // A message shown now for its duration, then the list again.
    Reply postNotify(const ApiRequest &, const QRegularExpressionMatch &);
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
    void cardInfo(const ApiRequest &, const QRegularExpressionMatch &, Done);
    void cardCommand(const ApiRequest &, const QRegularExpressionMatch &, Done);
    Reply startSend(const ApiRequest &, const QRegularExpressionMatch &);
    Reply jobState(const ApiRequest &, const QRegularExpressionMatch &);
    Reply cancelJob(const ApiRequest &, const QRegularExpressionMatch &);
    struct Sign;
    // The sign a request names (the first when it names none); null with
    // *refusal (404) for a name the service does not have.
    Sign *signFor(const QString &name, Reply *refusal = nullptr) const;
    // Queues work in the sign's card queue; done receives its reply, or
    // the attach's error (500), or 409 when the queue refuses.
    void runOnCard(Sign &sign, const QString &what, std::function<Reply(CardSession &)> work,
                   Done done);
    // Notes what an operation of the sign learnt and tells the listeners.
    void cardOperationEnded(Sign &sign, const QString &what, bool ok, const QString &message);
    Reply scheduleStatus(const ApiRequest &, const QRegularExpressionMatch &);
    Reply getSchedule(const ApiRequest &, const QRegularExpressionMatch &);
    Reply putSchedule(const ApiRequest &, const QRegularExpressionMatch &);
    // What an operation of the sign's queue learnt of its card.
    void rememberCard(Sign &sign, const CardQueue::Ended &ended);
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
    std::vector<std::unique_ptr<Sign>> m_signs; // at least one
    std::map<int, std::shared_ptr<SendJob>> m_jobs;
    int m_nextJob = 1;
    bool m_stopping = false; // no card operation is taken any more
    class Messages;
    std::unique_ptr<Messages> m_messages;
    ScheduleRunner *m_schedule = nullptr; // child
    NotifyQueue *m_notify = nullptr;      // child
};
