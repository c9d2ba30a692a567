// dialog_screenshots DIR [PROJECT]: saves a picture of the main window (over
// PROJECT when given), every editor and tool dialog, a question box and
// Qt's file dialog into DIR for review (under Xvfb, or with
// QT_QPA_PLATFORM=offscreen), in the language BRIVANE_LANG or the locale
// chooses.
// A tool for looking at the dialogs, not a test: it checks nothing.
#include "app/MainWindow.h"
#include "app/MessageBoxUserInterface.h"
#include "base/AppServices.h"
#include "base/Language.h"
#include "model/PictureItem.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "ui/AboutDialog.h"
#include "ui/AnimatedPicture.h"
#include "ui/BrightnessDialog.h"
#include "ui/DialogFont.h"
#include "ui/HardwareSettingsDialog.h"
#include "ui/ItemEditorDialog.h"
#include "ui/PasswordDialog.h"
#include "ui/QuickParamsDialog.h"
#include "ui/ScreenSwitchDialog.h"

#include <QApplication>
#include <QDir>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QTest>
#include <cstdio>

namespace {

QString g_dir;
int g_failures = 0;

void save(QWidget &dialog, const QString &name)
{
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        std::fprintf(stderr, "%s: the window was not shown\n", qPrintable(name));
    QTest::qWait(50);
    const QString path = QDir(g_dir).filePath(name + QStringLiteral(".png"));
    if (dialog.grab().save(path)) {
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++g_failures;
    }
    dialog.hide();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2 && args.size() != 3) {
        std::fprintf(stderr, "usage: dialog_screenshots DIR [PROJECT]\n");
        return 2;
    }
    setApplicationIdentity();
    installTranslations(chooseLanguage());
    g_dir = args.at(1);
    QDir().mkpath(g_dir);
    const QFont oldFont = QApplication::font();
    setUpDialogFont();

    PlayList project;
    CardSession card;
    card.shareRecordsWith(project);
    card.setPort(0);
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
        QuickParamsDialog dialog(card, project);
        save(dialog, QStringLiteral("quick-params"));
    }
    {
        PasswordDialog dialog;
        save(dialog, QStringLiteral("password"));
    }
    {
        HardwareSettingsDialog dialog(card, project);
        save(dialog, QStringLiteral("hardware-settings"));
    }
    {
        BrightnessDialog dialog(card);
        save(dialog, QStringLiteral("brightness"));
    }
    {
        ScreenSwitchDialog dialog(card);
        save(dialog, QStringLiteral("screen-switch"));
    }
    {
        AboutDialog dialog;
        for (int i = 0; i < 12; ++i)
            dialog.banner()->tick(quint32(100000 + i * 2000));
        save(dialog, QStringLiteral("about"));
    }
    {
        // Every message box the program shows meanwhile is saved and closed
        // (the search's result, the question): box-1.png, box-2.png, ...
        MessageBoxUserInterface boxes;
        setUserInterface(&boxes);
        int boxCount = 0;
        int dialogTicks = 0;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&boxCount, &dialogTicks] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            auto *box = qobject_cast<QMessageBox *>(modal);
            // Another dialog (the search's progress) is left to finish first.
            if (!box && ++dialogTicks < 8)
                return;
            const QString path = QDir(g_dir).filePath(
                box ? QStringLiteral("box-%1.png").arg(++boxCount) : QStringLiteral("progress.png"));
            if (modal->grab().save(path))
                std::printf("%s\n", qPrintable(path));
            dialogTicks = 0;
            if (box)
                box->reject();
            else if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->accept();
        });
        closer.start(700);
        MainWindow window(args.size() == 3 ? args.at(2) : QString());
        window.start();
        QTest::qWait(500);
        save(window, QStringLiteral("main-window"));
        window.show();
        askYesNo(&window, QCoreApplication::translate("MainWindow", "关闭前是否保存对节目的修改？"));
        window.hide();
        setUserInterface(nullptr);
    }
    {
        // Qt's own dialog, in Qt's catalogue of the same language.
        QFileDialog dialog(nullptr, QString(), g_dir);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        save(dialog, QStringLiteral("file-dialog"));
    }
    QApplication::setFont(oldFont);
    return g_failures == 0 ? 0 : 1;
}
