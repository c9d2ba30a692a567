#pragma once
// The link's error record: the code and text of the last failure. Owned by
// the ControllerLink; its SerialPort writes into the same record.

#include <QString>

struct LinkError {
    static constexpr int MaxTextLength = 255;

    int code = 0;
    QString text;

    void set(int newCode, const QString &newText)
    {
        code = newCode;
        text = newText.left(MaxTextLength);
    }
    void clear() { set(0, {}); }
};
