#pragma once
// The font a text program is drawn in: face, size in points and style turned
// into a QFont at a fixed 96 dpi (LED pixels do not follow the PC's display
// scaling), drawn without anti-aliasing. Which real faces serve a face name
// at a pixel size, and the fallback chain behind them, come from one table
// (TextFont.cpp): a face with a bitmap strike of exactly that pixel size
// serves first, an outline face otherwise, then the other Chinese faces of
// the table, then Unifont. Used by the text renderer, the editor's face list
// and the command-line tool alike; one font is made per rendering.

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace TextFont {

// The size in points the items start with, also used when the stored size
// is 0 or below.
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

// The installed families that serve `face` at `emPixels`, best first, with
// the fallback chain behind them; no family twice. A name of the table (such
// as "宋体" or "黑体", or a generic family: "Serif" to the Song faces, "Sans
// Serif" to the Hei faces, "Monospace" to fixed-width faces) goes to its
// mapped faces; any other installed face
// serves itself; a face that is not installed is served like "宋体". Faces
// kept for their bitmap strikes are listed only at their strikes' sizes.
QStringList families(const QString &face, int emPixels);

// How many times a strike is scaled up to serve `face` at emPixels: k > 1
// when a face of the table serves there as its strike of emPixels / k with
// every pixel a k x k block (the text is then laid out and drawn at
// emPixels / k and scaled), else 1.
int strikeScale(const QString &face, int emPixels);

// The first of families(face, emPixels). emPixels 0 asks for the outline
// choice, the one used at sizes without a strike.
QString resolveFamily(const QString &face, int emPixels = 0);

// The installed outline Song (Ming) face, or empty when none is installed.
QString songFamily();

// Whether `family` is installed (directly or through a Qt substitution).
bool isInstalled(const QString &family);

// The pixel sizes for which `family` holds bitmap strikes (a bitmap font's
// own sizes, or the embedded strikes of an outline font), ascending; empty
// for a pure outline face or a family that is not installed.
QList<int> strikeSizes(const QString &family);

// The pixel sizes at which `face` is served by a bitmap strike: for a name
// of the table those of its strike faces, for any other face its own.
QList<int> servingStrikes(const QString &face);

// Whether `name` is one of the table's names (any case), such as "SimSun",
// or one of its generic families, such as "Monospace".
bool isMappedName(const QString &name);
// The table's names offered in the face list, in table order.
QStringList mappedNames();

// The face names offered to the user: every installed family under its
// installed name (the foundry Qt adds in brackets left out, so each name
// appears once), the table's names and Qt substitutions that reach an
// installed face; at most maxChars characters each. The table's names come
// first (in table order), then the other faces that draw Chinese, then the
// rest, each group sorted without regard to case.
QStringList faceNames(int maxChars);

// A character the text is drawn without: the face that really draws it
// (the font's first family that claims it, as the text is laid out) has no
// glyph for it. The sign then shows that face's blank box, or nothing.
struct MissingCharacter {
    char32_t codePoint = 0;
    bool shownAsBox = false; // the missing glyph leaves ink on the page
};

// The characters of `text` drawn without a glyph in the font make(face,
// emPixels, style) (a scaled strike at its own size), each once, in the
// order of their first appearance. A face that claims every character but
// has glyphs for few (a symbol face) is caught: the faces behind it are not
// asked. Line breaks, spaces and other characters that are never drawn are
// not counted; unassigned code points always are.
std::vector<MissingCharacter> missingGlyphs(const QString &face, int emPixels, int style,
                                            QStringView text);
// The same characters as one string (regular style).
QString missingCharacters(const QString &face, int emPixels, QStringView text);

// The files of the table's faces that the system's font configuration may
// hide (bitmap fonts are often rejected) are registered with the
// application when their family is missing. Returns the families added.
// Call once after the Q(Gui)Application exists.
QStringList loadHiddenFaces();

// Makes pages come out pixel for pixel alike on every platform: on Windows
// the platform is asked for Qt's FreeType font engine (the one the Linux
// build draws with) instead of the system's own, so that a face file draws
// the same pixels there as on Linux. A platform the user names in
// QT_QPA_PLATFORM is kept. Call before the Q(Gui)Application exists.
void chooseFontEngine();

// Where the lines of a font lie: rows above the baseline and rows from the
// baseline down; a line is ascent + descent rows high.
struct LineBox {
    int ascent = 0;
    int descent = 0;
};

// The line box of `font`: its metrics' ascent and descent, except when its
// first family serves the font's pixel size from a bitmap strike. Strikes
// state line metrics that do not match their glyphs: WenQuanYi Zen Hei
// Sharp's 16 px strike states 12 rows above the baseline and draws 14, the
// 16 px Song strike states an 18-row line for 16 rows of ink. There the line
// is placed around the ink of Chinese text: it never grows, shrinks to the
// ink (not below the pixel size), and its baseline moves to hold the ink.
// Outline faces keep their metrics.
LineBox lineBox(const QFont &font);

// The styles a font's bitmap strike is drawn with by hand: its first family
// serves the font's pixel size from a strike that has no bold (italic) style
// of its own, and the font asks for bold (italic). The font engine draws a
// strike as it is whatever the weight, so bold is the strike emboldened by
// one pixel and italic the strike slanted, as Windows draws bold and italic
// bitmap faces (TextMeasurer does both).
struct StrikeStyle {
    bool bold = false;
    bool italic = false;
};
StrikeStyle strikeStyle(const QFont &font);

// The font for a face, an em height in pixels and a style (bit 0 bold,
// bit 1 italic), with families(face, emPixels) as its families.
QFont make(const QString &face, int emPixels, int style);

} // namespace TextFont
