#include "ui/UserFonts.h"

#include "base/AppServices.h"

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
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
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
    return UserFonts::load();
}
