#include "ui/DialogFont.h"

#include "render/TextFont.h"

#include <QApplication>
#include <QFont>

void setUpDialogFont()
{
    const QStringList songFaces = {QStringLiteral("AR PL UMing CN"),
                                   QStringLiteral("AR PL UMing TW"),
                                   QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(TextFont::kDefaultFace, songFaces);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), songFaces);

    // Given in pixels because every window is laid out in pixels (a dialog
    // unit is 1.5 pixels with this font).
    QFont font(TextFont::kDefaultFace);
    font.setPixelSize(12);
    QApplication::setFont(font);
}
