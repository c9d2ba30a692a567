#include "render/UserFonts.h"

#include "base/AppPaths.h"
#include "base/AppServices.h"
#include "render/TextFont.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStandardPaths>

namespace UserFonts {
namespace {
// Bounds so that a crowded or hostile folder cannot stall the start-up.
constexpr int kMaxFilesPerFolder = 256;
constexpr qint64 kMaxFontBytes = 64 * 1024 * 1024;
} // namespace

QStringList folders()
{
    QStringList result{appFilePath(QStringLiteral("fonts"))};
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The data folder ends in the application's name, which differs between
    // the programs ("brivane-cli"); the fonts live in the GUI's.
    const QString name = QCoreApplication::applicationName();
    if (!data.isEmpty() && !name.isEmpty() && name != applicationTitle() &&
        QFileInfo(data).fileName() == name)
        data = QFileInfo(data).dir().filePath(applicationTitle());
    if (!data.isEmpty())
        result << QDir(data).filePath(QStringLiteral("fonts"));
    return result;
}

bool isFontFileName(const QString &fileName)
{
    static const char *const suffixes[] = {".bdf", ".pcf", ".pcf.gz", ".otb",
                                           ".ttf", ".otf", ".ttc"};
    for (const char *suffix : suffixes) {
        if (fileName.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QStringList load(const QStringList &folderList)
{
    QStringList families;
    for (const QString &folder : folderList) {
        const QDir dir(folder);
        if (folder.isEmpty() || !dir.exists())
            continue;
        const QFileInfoList files =
            dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
        int tried = 0;
        for (const QFileInfo &file : files) {
            if (!isFontFileName(file.fileName()) || file.size() > kMaxFontBytes)
                continue;
            if (++tried > kMaxFilesPerFolder)
                break;
            const int id = QFontDatabase::addApplicationFont(file.absoluteFilePath());
            if (id < 0)
                continue;
            for (const QString &family : QFontDatabase::applicationFontFamilies(id)) {
                if (!families.contains(family))
                    families << family;
            }
        }
    }
    return families;
}

} // namespace UserFonts

QStringList loadUserFonts()
{
    TextFont::loadHiddenFaces();
    return UserFonts::load();
}
