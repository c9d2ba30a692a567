#pragma once
// Fonts the user installs for the program alone, typically bitmap fonts
// (BDF, PCF) that stay crisp at the few pixels of an LED sign: every font
// file in a "fonts" folder beside the executable or in the user's data
// folder is registered with the application at start-up, so its family
// appears in the text editor's font list. The GUI, the command-line tool
// and the service load the same folders, so they render alike.

#include <QStringList>

namespace UserFonts {

// The folders searched: "fonts" beside the executable, then "fonts" in the
// user's data folder of the GUI (the same folder whichever program asks).
QStringList folders();

// True for the file names loaded: .bdf, .pcf, .pcf.gz, .otb, .ttf, .otf, .ttc.
bool isFontFileName(const QString &fileName);

// Registers every font file of the folders (missing folders are skipped;
// files that cannot be read as a font are ignored) and returns the font
// families added. Call once after the QApplication exists.
QStringList load(const QStringList &folders = UserFonts::folders());

} // namespace UserFonts

// The start-up call of every program: the faces of the face table that the
// system hides (TextFont::loadHiddenFaces), then UserFonts::load() over the
// default folders. Returns the user's families.
QStringList loadUserFonts();
