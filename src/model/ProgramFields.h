#pragma once
// The fields of a program item as the command-line tool and the HTTP service
// name them (the project file's element names: action, speed, frame, clock,
// delay, level, flash, flashdelay, content; font, size, style, color for text
// programs; mode, reverse, limit for picture programs): parsing a typed
// value, with names from the value tables accepted beside numbers, and
// describing an item for `list` and its JSON. Used by add-text, add-picture,
// set and the service's program requests.

#include <QJsonObject>
#include <QString>
#include <QStringList>

class ProgramItem;

namespace ProgramFields {

// Field names, in project file order, that an item of this kind has.
QStringList fieldNames(bool picture);

struct Context {
    // Folder of the project file: a picture path inside it is stored
    // relative to it, so that the project and its pictures move together.
    QString projectDir;
};

// The field a typed name means for an item of this kind: the documented
// name, other spellings taken as the command line takes them ("colour" ->
// "color", OptionSpellings); empty when the item has no such field.
QString fieldName(const QString &typed, bool picture);

// Stores the typed value into the item's field (named as fieldName takes
// it). False, with a message for the user in *error, when the field is
// unknown for the item's kind or the value is out of range; the item is
// unchanged then.
bool assign(ProgramItem &item, const QString &field, const QString &value, const Context &context,
            QString *error);
// The same for a number (the service's JSON numbers): stored as it is into a
// field that takes a number or a named choice, within the field's range; a
// text field takes its decimal digits.
bool assign(ProgramItem &item, const QString &field, qint64 value, const Context &context,
            QString *error);

// The path to store for a picture typed as path (relative to the working
// folder): relative to projectDir when the image lies inside it, absolute
// otherwise. Empty, with *error set, when no image can be read there.
QString picturePathToStore(const QString &path, const QString &projectDir, QString *error);

// Where a description takes the page count from: the pages the item holds
// (the service, whose play list keeps its pages), or its layout alone (the
// command-line tool, which builds no pages to describe a list).
enum class PageCount { Held, Layout };
int pageCount(const ProgramItem &item, PageCount source);

// One line of `list` (1-based index): kind, content, animation name, speed,
// border name, clock label, stay time, page count, tab separated.
QString listLine(int index, const ProgramItem &item, PageCount pages = PageCount::Held);
// The item with every stored field and the derived values `list` shows.
QJsonObject toJson(int index, const ProgramItem &item, PageCount pages = PageCount::Held);

} // namespace ProgramFields
