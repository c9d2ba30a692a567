#pragma once
// The font a text program is drawn in: face, size in points and style turned
// into a QFont at a fixed 96 dpi (LED pixels do not follow the PC's display
// scaling), drawn without anti-aliasing. Used by the text renderer; one font
// is made per rendering.

#include <QFont>
#include <QString>

namespace TextFont {

// Size used when the stored size is 0 or below.
constexpr int kDefaultSize = 20;
// The face the items start with; mapped to an installed Song face.
inline const QString kDefaultFace = QStringLiteral("宋体");

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c
// is 0. Never overflows for 32-bit arguments.
int mulDiv(int a, int b, int c);

// Em height in pixels for a size in points at 96 dpi.
int emHeight(int size);

// The em height actually used for rendering: emHeight of the size (the
// default size for sizes of 0 or below), capped at maxEm (at least 1).
int renderEmHeight(int size, int maxEm);

// The installed family the face name resolves to: "宋体" and the other
// names of that face go to an installed Song face; a face that is not
// installed falls back to a Song face, then to any Chinese face, and as a
// last resort is left to Qt's own matching.
QString resolveFamily(const QString &face);

// An installed Song (Ming) face, or empty when none is installed.
QString songFamily();

// Whether `family` is installed (directly or through a Qt substitution).
bool isInstalled(const QString &family);

// The font for a face, an em height in pixels and a style (bit 0 bold,
// bit 1 italic); glyph fallback goes to the Song face, then any Chinese face.
QFont make(const QString &face, int emPixels, int style);

} // namespace TextFont
