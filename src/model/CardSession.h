#pragma once
// One card reached by a port: its link, its identification (0x35), its
// screen parameter record and the remembered port. Every front end (the
// GUI, the command-line tool for one sign or many, the service) reaches a
// card only through here: attach (open, identify, the model check), the
// controller commands, and send with its check before sending. Each returns
// an Outcome whose text is composed here, once. Owned by whoever drives the
// card: the GUI for the whole run, the command-line tool and the service per
// command (one per sign's worker thread); used from one thread at a time.

#include "link/ControllerInfo.h"
#include "link/ProgressHost.h"
#include "link/ScreenParams.h"
#include "link/UploadEncoder.h"
#include "model/Outcome.h"
#include "model/SendReport.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class ControllerLink;
class PlayList;
class ProgramItem;

class CardSession {
public:
    CardSession();
    ~CardSession();
    CardSession(const CardSession &) = delete;
    CardSession &operator=(const CardSession &) = delete;

    // From now on the session reads into and writes from the screen record
    // and card identification that list draws its pages for (the GUI's one
    // list and one card). Without it the session keeps its own and a send
    // copies them into the list it sends. list must outlive the session.
    void shareRecordsWith(PlayList &list);

    // ---- reaching the card
    // Opens the port, identifies the card and checks its model by the
    // search's rule (a card answering with model code 0 is taken as it is).
    // Remembers the port, also when the card is not supported (Unsupported;
    // info() tells which card it is).
    Outcome attach(int port);
    // The same for a port name: a number, "COMn", a device path or a name the
    // port list knows (PortNaming); NoPort when it names none.
    Outcome attach(const QString &portName);
    // The card search over ports 1 to 20 under host ("正在查找..."). Ok with
    // the port remembered and the card's screen parameters read;
    // NoCardFound (port 0) with the search's last status and why ports could
    // not be opened; Unsupported (port and info() kept, as attach) for a
    // card of another model.
    Outcome search(ProgressHost &host);
    // Opens the port as every command does, its errors composed with the
    // hints of the main window ("打开串口时发生错误，..."); port 0 is NoPort
    // ("无法建立连接，请先查找屏。").
    Outcome open(int port);
    // open without the hints, then the model query; the outcome of the
    // query (no model check).
    Outcome identify(int port);

    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    ControllerInfo &info() { return *m_info; }
    const ControllerInfo &info() const { return *m_info; }
    ScreenParams &screenParams() { return *m_params; }
    const ScreenParams &screenParams() const { return *m_params; }
    ControllerLink &link() { return *m_link; }
    // The ports the last search could not open because access was denied.
    const QList<int> &deniedPorts() const { return m_deniedPorts; }
    // "port 1 (/dev/ttyUSB0, /dev/serial/by-id/...)": a port as the
    // command-line tool and the service name it.
    static QString portText(int port);

    // ---- controller commands, on the remembered port
    Outcome clearScreen();
    Outcome restoreFactorySettings();
    Outcome setClock();
    Outcome setScreenPower(bool on);
    Outcome setBrightness(int level);
    Outcome readBrightness(int *level);
    // Reads the record into screenParams(); the old one stays on failure.
    // Once read (or written), the colour type is the sign's.
    Outcome readScreenParams();
    // Writes screenParams().
    Outcome writeScreenParams();
    // Whether screenParams() holds the sign's colour type (read or written).
    bool colourTypeKnown() const { return m_colourTypeKnown; }
    // The screen parameter write both dialogs and the command-line tool use:
    // clear the display (outcome not looked at), wait 200 ms, let storeFields
    // change screenParams(), then write the record.
    Outcome clearAndWriteScreenParams(const std::function<void(ScreenParams &)> &storeFields);

    // ---- sending
    // The check before a send, on the remembered port: the model query (once
    // more after 50 ms); Unsupported unless the model is in the table.
    Outcome checkBeforeSend();
    // checkBeforeSend, then the whole play list under host: the card's
    // screen parameters read and the list drawn for them, the card cleared,
    // every program uploaded with the questions asked through host. The
    // item by item report is lastSendReport(); the outcome sums it up.
    Outcome send(PlayList &list, ProgressHost &host);
    // The send-all operation alone (no check before it), as the GUI's
    // progress dialog runs it after its own check.
    Outcome sendAll(PlayList &list, ProgressHost &host);
    const SendReport &lastSendReport() const { return m_lastSendReport; }
    // The outcome a send report ends with.
    static Outcome outcomeOf(const SendReport &report);
    // The last status of a send: "已成功发送了 %1 条信息。", followed by
    // what was not sent when the send stopped or programs were skipped.
    static QString finalStatus(const SendReport &report);
    // Where the bar of `range` stands then: full for a send that reached
    // every program, at the last program reached for one that stopped.
    static int finalPosition(const SendReport &report, int range);
    // The header values every page of item carries, for this card.
    UploadPageHeader uploadHeaderFor(const ProgramItem &item) const;
    // Sends all pages of item with page numbers from firstPageNumber on. A
    // page or item that cannot be sent without wrapping a field fails before
    // any packet. pause(ms) waits between blocks (a real sleep when empty).
    bool sendItemPages(int firstPageNumber, const ProgramItem &item,
                       const std::function<void(int)> &pause = {});

private:
    // open on the remembered port, then the command.
    Outcome run(const std::function<bool(ControllerLink &)> &command);
    // The command on the link as it stands (opened on the remembered port
    // when it never was).
    Outcome onLink(const std::function<bool(ControllerLink &)> &command);
    Outcome linkOutcome() const;
    // The part of sendAll inside the upload bracket.
    void upload(PlayList &list, ProgressHost &host, SendReport &report);
    void setColourTypeKnown();

    std::unique_ptr<ControllerLink> m_link;
    ScreenParams m_ownParams;
    ControllerInfo m_ownInfo;
    ScreenParams *m_params = &m_ownParams;
    PlayList *m_sharedList = nullptr;
    bool m_colourTypeKnown = false;
    ControllerInfo *m_info = &m_ownInfo;
    int m_port = 1;
    QList<int> m_deniedPorts;
    SendReport m_lastSendReport;
};
