#pragma once
// Process-wide helpers that logic uses without knowing about windows:
// message pumping, the application's identity, and the seam through which
// questions and result boxes reach the user (file paths: AppPaths.h). The GUI installs a message-box
// implementation, the command-line tool a terminal one, tests a recorder.

#include <QString>

class QObject;

enum class Answer { Yes, No, Cancel };
// None: a plain box without icon ("本软件不支持当前所连接的卡！").
enum class MessageIcon { Information, Warning, Error, Question, None };

// Implemented by whoever talks to the user. Texts arrive already formatted
// and cut to at most 1023 characters.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Caption "提示", question icon, Yes and No.
    virtual bool askYesNo(QObject *owner, const QString &text) = 0;
    // Caption "提示", warning icon, Yes, No and Cancel.
    virtual Answer askYesNoCancel(QObject *owner, const QString &text) = 0;
    // A plain message box (load/save errors, command results).
    virtual void showMessage(QObject *owner, const QString &text, const QString &caption,
                             MessageIcon icon) = 0;
};

// The installed implementation; never null (a default answers No/Cancel and
// prints messages to stderr). Not owned: the installer keeps it alive.
UserInterface &userInterface();
void setUserInterface(UserInterface *ui);

// Question and result texts are cut to this many characters.
constexpr int kMaxMessageChars = 1023;
QString cutMessage(const QString &text);

bool askYesNo(QObject *owner, const QString &text);
Answer askYesNoCancel(QObject *owner, const QString &text);
void showMessage(QObject *owner, const QString &text, const QString &caption, MessageIcon icon);

// The application's title, used as caption by the project file messages.
QString applicationTitle();

// The application name and version every program shares, so that they find
// the same user data folder ("Brivane"). Call once after the application
// object exists.
void setApplicationIdentity();

// Dispatches every waiting event of this thread and returns.
void pumpMessages();
// Pumps events, without sleeping, until ms milliseconds have passed.
void waitPumping(int ms);
