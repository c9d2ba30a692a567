#pragma once
// The link's error record: the code and text of the last failure. Owned by
// the ControllerLink; its SerialPort writes into the same record.

#include <QString>

struct LinkError {
    static constexpr int MaxTextLength = 255;

    int code = 0;
    QString text;
    // True when code is the card's status byte (a refused request), not a
    // system code or one of the link's own: the card's 2 and 5 are not the
    // port's "not found" and "access denied".
    bool fromCard = false;

    void set(int newCode, const QString &newText)
    {
        code = newCode;
        text = newText.left(MaxTextLength);
        fromCard = false;
    }
    void setCardStatus(int status, const QString &newText)
    {
        set(status, newText);
        fromCard = true;
    }
    void clear() { set(0, {}); }
};
