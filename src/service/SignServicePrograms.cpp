// The sign service's play list requests: list, add, change, delete, move,
// the page and preview pictures, and picture uploads.

#include "service/SignService.h"

#include "base/LocalClock.h"
#include "link/ControllerInfo.h"
#include "model/PictureItem.h"
#include "model/PlayList.h"
#include "model/PlaybackInput.h"
#include "model/ProgramFields.h"
#include "model/ProjectFileLock.h"
#include "model/ProjectJson.h"
#include "model/ScreenImage.h"
#include "model/TextItem.h"
#include "model/ValueTables.h"
#include "render/PageBitmap.h"
#include "render/PlaybackExport.h"
#include "render/TextFont.h"
#include "service/NotifyQueue.h"
#include "service/ServiceSupport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QUrlQuery>

using namespace ServiceSupport;

namespace {

// Largest picture answered, in pixels (after ?scale).
constexpr qint64 kMaxAnswerPixels = qint64(4) << 20;
constexpr int kMaxPictureNameChars = 80;

QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A picture name is a plain file name inside pictures/: letters, digits,
// ". _ -" and spaces, not starting with a dot.
bool validPictureName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxPictureNameChars || name.startsWith(u'.'))
        return false;
    for (const QChar c : name)
        if (!c.isLetterOrNumber() && c != u'.' && c != u'_' && c != u'-' && c != u' ')
            return false;
    return true;
}

} // namespace

QString SignService::picturesDir() const
{
    return QFileInfo(m_config.projectPath).absoluteDir().filePath(QStringLiteral("pictures"));
}

void SignService::adopt(std::unique_ptr<PlayList> list)
{
    // Pages are drawn for the first sign's card.
    const Sign &sign = *m_signs.front();
    if (sign.card)
        list->controllerInfo() = *sign.card;
    // Previews and warnings for the sign's colours once a card told them.
    if (sign.colourType > 0) {
        list->screenParams().bytes[ScreenParams::ColourType] = uint8_t(sign.colourType);
        list->setColourTypeKnown(true);
    }
    list->rebuildAllPages();
    const QFileInfo info(m_config.projectPath);
    m_listStamp = info.lastModified().toString(Qt::ISODateWithMs).toUtf8() + ' ' +
                  QByteArray::number(info.size());
    m_list = std::move(list);
}

void SignService::rememberCard(Sign &sign, const CardQueue::Ended &ended)
{
    sign.link = ended.attached                                      ? QStringLiteral("ok")
                : ended.attached.code() == OutcomeCode::Unsupported ? QStringLiteral("unsupported")
                                                                    : QStringLiteral("failed");
    if (!ended.cardSeen)
        return;
    if (!sign.card)
        sign.card = std::make_unique<ControllerInfo>();
    *sign.card = ended.card;
    if (ended.colourType > 0)
        sign.colourType = ended.colourType;
    if (&sign == m_signs.front().get())
        m_listStamp.clear(); // render again for this card
}

const PlayList *SignService::currentList(Reply *refusal)
{
    const QFileInfo info(m_config.projectPath);
    const QByteArray stamp = info.lastModified().toString(Qt::ISODateWithMs).toUtf8() + ' ' +
                             QByteArray::number(info.size());
    if (!m_list || stamp != m_listStamp) {
        // Never the list of before: a file damaged since is an error now.
        m_list.reset();
        auto fresh = std::make_unique<PlayList>();
        fresh->setProjectFilePath(m_config.projectPath);
        if (const Outcome loaded = fresh->load(); !loaded) {
            *refusal = projectFileError(loaded);
            return nullptr;
        }
        adopt(std::move(fresh));
    }
    return m_list.get();
}

QJsonObject SignService::listDocument(const PlayList &list) const
{
    QJsonObject document = ProjectJson::programList(list);
    document[u"project"] = QFileInfo(m_config.projectPath).fileName();
    // A picture outside the project's folder is shown by its name only.
    QJsonArray items = document.value(u"items").toArray();
    for (QJsonValueRef item : items) {
        QJsonObject program = item.toObject();
        const QString content = program.value(u"content").toString();
        if (program.value(u"kind").toString() == u"picture" && QDir::isAbsolutePath(content)) {
            program[u"content"] = QFileInfo(content).fileName();
            item = program;
        }
    }
    document[u"items"] = items;
    return document;
}

SignService::Reply
SignService::changeList(const std::function<std::optional<Reply>(PlayList &)> &change,
                        const std::function<Reply(PlayList &)> &answer)
{
    if (sendRunning())
        return error(409, QCoreApplication::translate("SignServicePrograms", "正在发送：发送结束前不能修改节目单。"));
    // The read, the change and the write hold the file's lock together, so
    // a command-line edit between them waits instead of being overwritten.
    auto fresh = std::make_unique<PlayList>();
    fresh->setProjectFilePath(m_config.projectPath);
    if (const Outcome locked = fresh->lockProjectFile(); !locked)
        return projectFileError(locked);
    std::optional<Reply> refused;
    const Outcome edited = editProjectFile(*fresh, [&](PlayList &list) {
        refused = change(list);
        return !refused;
    });
    if (refused)
        return *refused; // nothing saved
    if (!edited)
        return projectFileError(edited);
    fresh->unlockProjectFile();
    adopt(std::move(fresh));
    return answer(*m_list);
}

SignService::Reply SignService::listPrograms(const ApiRequest &,
                                             const QRegularExpressionMatch &)
{
    Reply refusal;
    const PlayList *list = currentList(&refusal);
    return list ? json(200, listDocument(*list)) : refusal;
}

namespace {

// Applies the JSON fields to item; an error reply when one is unknown, of
// the wrong type or out of range.
std::optional<SignService::Reply> applyFields(ProgramItem &item, const QJsonObject &fields,
                                              const QString &picturesDir, const QString &projectDir)
{
    const QStringList known = ProgramFields::fieldNames(item.isPicture());
    const ProgramFields::Context context{projectDir};
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (it.key() == u"kind")
            continue;
        QString problem;
        if (it.key() == u"picture" && item.isPicture()) {
            const QString name = it.value().toString();
            if (!it.value().isString() || !validPictureName(name))
                return error(400, QCoreApplication::translate("SignServicePrograms", "图片名称无效：只能是 pictures/ 中的文件名。"));
            const QString path = QDir(picturesDir).filePath(name);
            if (!QFileInfo(path).isFile())
                return error(404, QCoreApplication::translate("SignServicePrograms", "没有图片“%1”：请先上传。").arg(name));
            if (!ProgramFields::assign(item, QStringLiteral("content"), path, context, &problem))
                return error(400, problem);
            continue;
        }
        // A picture's file is chosen by name only: a path could name any
        // file on this computer.
        const QString field = ProgramFields::fieldName(it.key(), item.isPicture());
        if (field.isEmpty() || (field == u"content" && item.isPicture()))
            return error(
                400, QCoreApplication::translate("SignServicePrograms", "未知字段“%1”；可用字段：%2")
                         .arg(it.key(), (item.isPicture()
                                             ? QStringList{QStringLiteral("picture")} + known.mid(1)
                                             : known)
                                            .join(QStringLiteral(", "))));
        // Numbers are stored as numbers; only the picture's reverse takes a
        // JSON boolean.
        const QJsonValue value = it.value();
        const double number = value.toDouble();
        bool assigned = false;
        if (value.isString())
            assigned = ProgramFields::assign(item, field, value.toString(), context, &problem);
        else if (value.isDouble() && number == double(qint64(number)) && number > -1e9 &&
                 number < 1e9)
            assigned = ProgramFields::assign(item, field, qint64(number), context, &problem);
        else if (value.isBool() && field == u"reverse")
            assigned = ProgramFields::assign(item, field, qint64(value.toBool()), context, &problem);
        else
            return error(400,
                         QCoreApplication::translate("SignServicePrograms", "字段“%1”的类型不对：需要字符串或整数。").arg(it.key()));
        if (!assigned)
            return error(400, problem);
    }
    return std::nullopt;
}

} // namespace

namespace {

// A new program of the body's kind with its fields; an error reply when the
// kind or a field is not right.
std::optional<SignService::Reply> newProgram(PlayList &project, const QJsonObject &body,
                                             const QString &picturesDir,
                                             const QString &projectDir,
                                             std::unique_ptr<ProgramItem> *made)
{
    const QString kind = body.value(u"kind").toString();
    if (kind != u"text" && kind != u"picture")
        return error(400, QCoreApplication::translate("SignServicePrograms", "需要 \"kind\": \"text\" 或 \"picture\"。"));
    if (kind == u"text" && !body.value(u"content").isString())
        return error(400, QCoreApplication::translate("SignServicePrograms", "文字节目需要 \"content\"（字符串）。"));
    if (kind == u"picture" && !body.contains(u"picture"))
        return error(400, QCoreApplication::translate("SignServicePrograms", "图片节目需要 \"picture\"（已上传的图片名称）。"));
    std::unique_ptr<ProgramItem> item;
    if (kind == u"text")
        item = std::make_unique<TextItem>(&project);
    else
        item = std::make_unique<PictureItem>(&project);
    if (auto bad = applyFields(*item, body, picturesDir, projectDir))
        return bad;
    *made = std::move(item);
    return std::nullopt;
}

} // namespace

SignService::Reply SignService::addProgram(const ApiRequest &request,
                                           const QRegularExpressionMatch &)
{
    QJsonObject body;
    if (auto bad = readObject(request.body, &body))
        return *bad;
    const QString projectDir = QFileInfo(m_config.projectPath).absolutePath();
    return changeList(
        [&](PlayList &project) -> std::optional<Reply> {
            std::unique_ptr<ProgramItem> item;
            if (auto bad = newProgram(project, body, picturesDir(), projectDir, &item))
                return bad;
            project.appendItem(std::move(item));
            return std::nullopt;
        },
        [](PlayList &project) {
            const int n = project.itemCount();
            return json(201, ProgramFields::toJson(n, *project.itemAt(n - 1)));
        });
}

SignService::Reply SignService::replacePrograms(const ApiRequest &request,
                                                const QRegularExpressionMatch &)
{
    QJsonObject body;
    if (auto bad = readObject(request.body, &body))
        return *bad;
    const QJsonValue programs = body.take(QStringLiteral("programs"));
    if (!programs.isArray() || !body.isEmpty())
        return error(400, QStringLiteral("需要 {\"programs\": [...]}：节目的数组，每个节目的字段与添加节目时相同。"));
    const QJsonArray array = programs.toArray();
    const QString projectDir = QFileInfo(m_config.projectPath).absolutePath();
    // The whole list or nothing: the first program that is not right
    // refuses all of it.
    return changeList(
        [&](PlayList &project) -> std::optional<Reply> {
            project.clearItems();
            for (qsizetype i = 0; i < array.size(); ++i) {
                const QString which = QStringLiteral("第 %1 个节目：").arg(i + 1);
                if (!array[i].isObject())
                    return error(400, which + QStringLiteral("不是 JSON 对象。"));
                std::unique_ptr<ProgramItem> item;
                if (auto bad = newProgram(project, array[i].toObject(), picturesDir(), projectDir,
                                          &item))
                    return error(bad->status,
                                 which + QJsonDocument::fromJson(bad->body)
                                             .object()
                                             .value(u"error")
                                             .toString());
                project.appendItem(std::move(item));
            }
            return std::nullopt;
        },
        [this](PlayList &project) { return json(200, listDocument(project)); });
}

namespace {

std::optional<SignService::Reply> checkNumber(const PlayList &project, int n)
{
    if (n < 1 || n > project.itemCount())
        return error(404, project.itemCount() == 0
                              ? QCoreApplication::translate("SignServicePrograms", "没有节目 %1：节目单是空的。").arg(n)
                              : QCoreApplication::translate("SignServicePrograms", "没有节目 %1：节目号为 1 到 %2。")
                                    .arg(n)
                                    .arg(project.itemCount()));
    return std::nullopt;
}

} // namespace

SignService::Reply SignService::changeProgram(const ApiRequest &request,
                                              const QRegularExpressionMatch &m)
{
    const int n = smallNumber(m.captured(1));
    QJsonObject body;
    if (auto bad = readObject(request.body, &body))
        return *bad;
    if (body.contains(u"kind"))
        return error(400, QCoreApplication::translate("SignServicePrograms", "节目的种类不能修改。"));
    const QString projectDir = QFileInfo(m_config.projectPath).absolutePath();
    return changeList(
        [&](PlayList &project) -> std::optional<Reply> {
            if (auto bad = checkNumber(project, n))
                return bad;
            return applyFields(*project.itemAt(n - 1), body, picturesDir(), projectDir);
        },
        [n](PlayList &project) {
            return json(200, ProgramFields::toJson(n, *project.itemAt(n - 1)));
        });
}

SignService::Reply SignService::deleteProgram(const ApiRequest &,
                                              const QRegularExpressionMatch &m)
{
    const int n = smallNumber(m.captured(1));
    return changeList(
        [&](PlayList &project) -> std::optional<Reply> {
            if (auto bad = checkNumber(project, n))
                return bad;
            project.removeItemAt(n - 1);
            return std::nullopt;
        },
        [this](PlayList &project) { return json(200, listDocument(project)); });
}

SignService::Reply SignService::moveProgram(const ApiRequest &request,
                                            const QRegularExpressionMatch &m)
{
    const int n = smallNumber(m.captured(1));
    QJsonObject body;
    if (auto bad = readObject(request.body, &body))
        return *bad;
    const QString direction = body.value(u"direction").toString();
    if (body.size() != 1 || (direction != u"up" && direction != u"down"))
        return error(400,
                     QCoreApplication::translate("SignServicePrograms", "需要 {\"direction\": \"up\"} 或 {\"direction\": \"down\"}。"));
    return changeList(
        [&](PlayList &project) -> std::optional<Reply> {
            if (auto bad = checkNumber(project, n))
                return bad;
            const bool moved =
                direction == u"up" ? project.moveItemUp(n - 1) : project.moveItemDown(n - 1);
            if (!moved)
                return error(400, direction == u"up"
                                      ? QCoreApplication::translate("SignServicePrograms", "节目 %1 已经是第一个。").arg(n)
                                      : QCoreApplication::translate("SignServicePrograms", "节目 %1 已经是最后一个。").arg(n));
            return std::nullopt;
        },
        [this](PlayList &project) { return json(200, listDocument(project)); });
}

SignService::Reply SignService::pagePicture(const ApiRequest &request,
                                            const QRegularExpressionMatch &m)
{
    Reply refusal;
    const PlayList *list = currentList(&refusal);
    if (!list)
        return refusal;
    const PlayList &project = *list;
    const int n = smallNumber(m.captured(1));
    if (auto bad = checkNumber(project, n))
        return *bad;
    const ProgramItem &item = *project.itemAt(n - 1);
    const int p = smallNumber(m.captured(2));
    const PageBitmap *page = p >= 1 ? item.pageAt(p - 1) : nullptr;
    if (!page || page->isNull())
        return error(404, QCoreApplication::translate("SignServicePrograms", "节目 %1 没有第 %2 页（共 %3 页）。")
                              .arg(n)
                              .arg(m.captured(2))
                              .arg(item.pageCount()));
    int scale = 1;
    const QUrlQuery query = request.query;
    if (query.hasQueryItem(QStringLiteral("scale"))) {
        scale = smallNumber(query.queryItemValue(QStringLiteral("scale")));
        if (scale < 1 || scale > kMaxScale)
            return error(400, QCoreApplication::translate("SignServicePrograms", "scale 必须是 1 到 %1。").arg(kMaxScale));
    }
    const QImage image = pageImage(item, p - 1);
    if (qint64(image.width()) * image.height() * scale * scale > kMaxAnswerPixels)
        return error(400, QCoreApplication::translate("SignServicePrograms", "scale 太大：图片会超过 %1 像素。").arg(kMaxAnswerPixels));
    return {200, png(scale == 1 ? image : image.scaled(image.size() * scale)), "image/png"};
}

SignService::Reply SignService::previewPicture(const ApiRequest &request,
                                               const QRegularExpressionMatch &m)
{
    Reply refusal;
    const PlayList *list = currentList(&refusal);
    if (!list)
        return refusal;
    const PlayList &project = *list;
    const int n = smallNumber(m.captured(1));
    if (auto bad = checkNumber(project, n))
        return *bad;
    const ProgramItem &item = *project.itemAt(n - 1);
    const QUrlQuery query = request.query;
    const QString typed = query.hasQueryItem(QStringLiteral("page"))
                              ? query.queryItemValue(QStringLiteral("page"))
                              : QStringLiteral("1");
    const int p = smallNumber(typed);
    const QImage image = p >= 1 ? screenImage(item, p - 1, localNow().time()) : QImage();
    if (image.isNull())
        return error(404, QCoreApplication::translate("SignServicePrograms", "节目 %1 没有第 %2 页（共 %3 页）。")
                              .arg(n)
                              .arg(typed.left(12))
                              .arg(item.pageCount()));
    return {200, png(image), "image/png"};
}

SignService::Reply SignService::animationGif(const ApiRequest &request,
                                             const QRegularExpressionMatch &m)
{
    Reply refusal;
    const PlayList *list = currentList(&refusal);
    if (!list)
        return refusal;
    const PlayList &project = *list;
    const int n = smallNumber(m.captured(1));
    if (auto bad = checkNumber(project, n))
        return *bad;
    const QUrlQuery query = request.query;
    GifWriter::Options options;
    options.scale = 2;
    if (query.hasQueryItem(QStringLiteral("scale"))) {
        // Bounded: the whole GIF is built in memory for the reply.
        options.scale = smallNumber(query.queryItemValue(QStringLiteral("scale")));
        if (options.scale < 1 || options.scale > 4)
            return error(400, QCoreApplication::translate("SignServicePrograms", "scale 只能是 1 到 4。"));
    }
    options.dots = query.queryItemValue(QStringLiteral("dots")) == QLatin1String("1");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const PlaybackExport::Result result =
        PlaybackExport::writeGif(playbackPlayer(project, n - 1), &buffer, options, localNow());
    if (!result.ok)
        return error(500, QCoreApplication::translate("SignServicePrograms", "无法生成动画：%1").arg(result.error));
    return {200, buffer.data(), "image/gif"};
}

SignService::Reply SignService::uploadPicture(const ApiRequest &request,
                                              const QRegularExpressionMatch &)
{
    const QString name = request.query.queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded);
    if (!validPictureName(name))
        return error(
            400,
            QCoreApplication::translate("SignServicePrograms", 
                "图片名称无效：只能用字母、数字、“._- ”和空格，不能以“.”开头，最多 %1 个字符。")
                .arg(kMaxPictureNameChars));
    const QByteArray body = request.body;
    if (body.isEmpty())
        return error(400, QCoreApplication::translate("SignServicePrograms", "请求正文是空的：需要图片文件。"));
    const QString dir = picturesDir();
    if (!QDir().mkpath(dir))
        return error(500, QCoreApplication::translate("SignServicePrograms", "无法建立文件夹 pictures"));
    PageBitmap decoded;
    // Decoded from a temporary file with the picture programs' own bounded
    // reader first; only a picture that decodes replaces the one of that name,
    // whole (QSaveFile). The temporary file cannot simply be renamed into
    // place: QTemporaryFile keeps its handle open until it is destroyed, and
    // Windows renames no open file.
    {
        QTemporaryFile file(QDir(dir).filePath(QStringLiteral(".upload-XXXXXX")));
        if (!file.open() || file.write(body) != body.size() || !file.flush())
            return error(500, QCoreApplication::translate("SignServicePrograms", "无法写入文件夹 pictures"));
        if (!decoded.loadFromFile(file.fileName()))
            return error(400, QCoreApplication::translate("SignServicePrograms", "无法解码这个图片文件。"));
    }
    QSaveFile saved(QDir(dir).filePath(name));
    if (!saved.open(QIODevice::WriteOnly) || saved.write(body) != body.size() || !saved.commit())
        return error(500, QCoreApplication::translate("SignServicePrograms", "无法保存图片 %1").arg(name));
    return json(201, QJsonObject{{QStringLiteral("picture"), name},
                                 {QStringLiteral("width"), decoded.image().width()},
                                 {QStringLiteral("height"), decoded.image().height()}});
}

SignService::Reply SignService::choices(const ApiRequest &, const QRegularExpressionMatch &)
{
    // The names the editors offer, for the web page's lists, and the longest
    // text its text fields take.
    auto array = [](const QStringList &names) { return QJsonArray::fromStringList(names); };
    return json(200, QJsonObject{{QStringLiteral("action"), array(ValueTables::actionNames())},
                                 {QStringLiteral("speed"), array(ValueTables::speedNames())},
                                 {QStringLiteral("frame"), array(ValueTables::frameNames())},
                                 {QStringLiteral("clock"), array(ValueTables::clockNames())},
                                 {QStringLiteral("level"), array(ValueTables::levelNames())},
                                 {QStringLiteral("flash"), array(ValueTables::flashNames())},
                                 {QStringLiteral("style"), array(ValueTables::styleNames())},
                                 {QStringLiteral("color"), array(ValueTables::colorNames())},
                                 {QStringLiteral("font"),
                                  array(TextFont::faceNames(TextItem::kMaxFaceNameChars))},
                                 {QStringLiteral("maxTextChars"), TextItem::kMaxTextChars}});
}

SignService::Reply SignService::postNotify(const ApiRequest &request,
                                           const QRegularExpressionMatch &)
{
    QJsonObject body;
    if (auto bad = readObject(request.body, &body))
        return *bad;
    const QJsonValue text = body.take(QStringLiteral("text"));
    if (!text.isString() || text.toString().trimmed().isEmpty())
        return error(400, QCoreApplication::translate("SignServicePrograms", "消息需要 \"text\"（要显示的文字）。"));
    int seconds = NotifyQueue::kDefaultDurationSeconds;
    if (body.contains(u"duration")) {
        const double d = body.take(QStringLiteral("duration")).toDouble(-1);
        if (d != int(d) || d < 1 || d > NotifyQueue::kMaxDurationSeconds)
            return error(400, QCoreApplication::translate("SignServicePrograms", "\"duration\" 必须是 1 到 %1 的整数（秒）。")
                                  .arg(NotifyQueue::kMaxDurationSeconds));
        seconds = int(d);
    }
    const auto queueFull = [] {
        return error(429, QCoreApplication::translate("SignServicePrograms", "等待显示的消息太多（最多 %1 条），请稍后再试。")
                              .arg(NotifyQueue::kMaxWaiting));
    };
    // A full queue refuses before any file work (bursts stay cheap).
    if (m_notify->waiting() >= NotifyQueue::kMaxWaiting)
        return queueFull();
    if (m_notify->folder().isEmpty())
        return error(500, QCoreApplication::translate("SignServicePrograms", "无法为消息建立临时文件夹。"));
    // The message is a one-program list of the project's screen.
    auto list = std::make_unique<PlayList>();
    list->setProjectFilePath(m_config.projectPath);
    if (const Outcome loaded = list->load(); !loaded)
        return projectFileError(loaded);
    list->clearItems();
    auto item = std::make_unique<TextItem>(list.get());
    body[QStringLiteral("content")] = text;
    if (auto bad = applyFields(*item, body, picturesDir(),
                               QFileInfo(m_config.projectPath).absolutePath()))
        return *bad;
    list->appendItem(std::move(item));
    static int counter = 0;
    list->setProjectFilePath(
        QDir(m_notify->folder()).filePath(QStringLiteral("message-%1.brivprj").arg(++counter)));
    if (const Outcome saved = list->save(); !saved)
        return projectFileError(saved);
    int place = 0;
    if (!m_notify->push(list->projectFilePath(), seconds, &place)) {
        QFile::remove(list->projectFilePath());
        return queueFull();
    }
    return json(202, QJsonObject{{QStringLiteral("place"), place},
                                 {QStringLiteral("duration"), seconds}});
}
