// Saves a picture of every editor and tool dialog for review, when the
// environment variable BRIVANE_SCREENSHOT_DIR names a folder; skipped
// otherwise.
#include "model/PictureItem.h"
#include "model/Project.h"
#include "model/TextItem.h"
#include "ui/AboutDialog.h"
#include "ui/AnimatedPicture.h"
#include "ui/BrightnessDialog.h"
#include "ui/HardwareSettingsDialog.h"
#include "ui/ItemEditorDialog.h"
#include "ui/PasswordDialog.h"
#include "ui/QuickParamsDialog.h"
#include "ui/ScreenSwitchDialog.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void save(QWidget &dialog, const QString &name)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(50);
    const QString dir = qEnvironmentVariable("BRIVANE_SCREENSHOT_DIR");
    EXPECT_TRUE(dialog.grab().save(QDir(dir).filePath(name + QStringLiteral(".png"))));
    dialog.hide();
}

TEST(DialogScreenshots, SaveEveryDialog)
{
    if (qEnvironmentVariableIsEmpty("BRIVANE_SCREENSHOT_DIR"))
        GTEST_SKIP() << "set BRIVANE_SCREENSHOT_DIR to save the pictures";
    const QStringList songFaces = {QStringLiteral("AR PL UMing CN"),
                                   QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), songFaces);
    const QFont oldFont = QApplication::font();
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    Project project;
    setCurrentProject(&project);
    project.setRememberedPort(0);
    {
        TextItem text(&project);
        text.buildPages();
        ItemEditorDialog dialog(&text);
        save(dialog, QStringLiteral("item-editor-text"));
    }
    {
        PictureItem picture(&project);
        picture.buildPages();
        ItemEditorDialog dialog(&picture);
        save(dialog, QStringLiteral("item-editor-picture"));
    }
    {
        QuickParamsDialog dialog(&project);
        save(dialog, QStringLiteral("quick-params"));
    }
    {
        PasswordDialog dialog;
        save(dialog, QStringLiteral("password"));
    }
    {
        HardwareSettingsDialog dialog(&project);
        save(dialog, QStringLiteral("hardware-settings"));
    }
    {
        BrightnessDialog dialog(&project);
        save(dialog, QStringLiteral("brightness"));
    }
    {
        ScreenSwitchDialog dialog(&project);
        save(dialog, QStringLiteral("screen-switch"));
    }
    {
        AboutDialog dialog;
        for (int i = 0; i < 12; ++i)
            dialog.banner()->tick(quint32(100000 + i * 2000));
        save(dialog, QStringLiteral("about"));
    }
    setCurrentProject(nullptr);
    QApplication::setFont(oldFont);
}

} // namespace
