#pragma once
// What a program will not show on the sign as the file says: text colours a
// single-colour sign cannot show, lines taller than the screen, characters
// drawn without a glyph, a face that is not installed. One list per program,
// composed here once for every front end (the editor, the command-line
// tool, the service and its page); the bytes sent are not changed by it.

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <vector>

class PlayList;
class ProgramItem;

struct ProgramWarning {
    // What kind of warning, as the JSON's "code" names it.
    enum class Code { Colour, Fit, LineBreak, MissingCharacters, Face };

    Code code = Code::Colour;
    QString text;        // for the user, in the style of the other messages
    QJsonObject details; // the facts behind the text, for scripts

    static QString codeName(Code code);
    QJsonObject toJson() const;
};

// Everything program item would show other than as drawn, in a fixed order
// (face, colour, fit or line break, missing characters); empty for a picture.
std::vector<ProgramWarning> programWarnings(const ProgramItem &item);
QJsonArray programWarningsJson(const ProgramItem &item);
// Every program's warnings in list order, each with its 1-based "program".
QJsonArray playListWarningsJson(const PlayList &list);

// "8 至 12、18、24": runs of three or more sizes as a range.
QString pointSizesText(const QList<int> &sizes);
// "U+20BB7".
QString codePointName(char32_t codePoint);
// "𠮷 (U+20BB7)": a character and its code point.
QString codePointText(char32_t codePoint);
