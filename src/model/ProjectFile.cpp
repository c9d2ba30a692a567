// The project file: the play list and the screen size as XML, written and
// read through the cursor layer. Every value is an element's text; the
// reader only searches forward, so it finds a file in the writer's order,
// passes over unknown elements and lets missing ones keep their defaults.

#include "base/AppPaths.h"
#include "base/AtoiValue.h"
#include "model/PictureItem.h"
#include "model/PlayList.h"
#include "model/ProjectFileLock.h"
#include "model/TextItem.h"
#include "model/XmlDocument.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHashFunctions>
#include <memory>
#include <vector>

namespace {

const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");

// Finds the next element of that name and hands its integer value to set.
template <typename Setter> void readInt(XmlDocument &doc, const QString &name, Setter set)
{
    if (doc.findElem(name))
        set(atoiValue(doc.getData()));
}

// The content part of a file's stamp. It tells a change that kept the
// size and the time from none, not a forged file from a real one, so Qt's
// fast hash does: every load pays for it, and SHA-256 cost a tenth of the
// load of a normal project. Never empty, so an empty hash means no file.
QByteArray hashOf(const QByteArray &bytes)
{
    const quint64 h = quint64(qHashBits(bytes.constData(), size_t(bytes.size()), 0));
    return QByteArray::number(h, 16);
}

} // namespace

void ProgramItem::writeCommonXml(XmlDocument &doc) const
{
    doc.addChildElem(QStringLiteral("msg"));
    doc.intoElem();
    doc.addChildElem(QStringLiteral("type"), m_type);
    doc.addChildElem(QStringLiteral("content"), m_content);
    doc.addChildElem(QStringLiteral("action"), m_action);
    doc.addChildElem(QStringLiteral("speed"), m_speed);
    doc.addChildElem(QStringLiteral("frame"), m_frame);
    doc.addChildElem(QStringLiteral("clock"), m_clock);
    doc.addChildElem(QStringLiteral("delay"), m_delay);
    doc.addChildElem(QStringLiteral("level"), m_level);
    doc.addChildElem(QStringLiteral("flash"), m_flash);
    doc.addChildElem(QStringLiteral("flashdelay"), m_flashDelay);
}

void ProgramItem::writeXml(XmlDocument &doc) const
{
    writeCommonXml(doc);
    doc.outOfElem();
}

bool ProgramItem::readXml(XmlDocument &doc)
{
    if (!doc.findElem(QStringLiteral("content")))
        return false;
    setContent(doc.getData());
    readInt(doc, QStringLiteral("action"), [this](int v) { setAction(v); });
    readInt(doc, QStringLiteral("speed"), [this](int v) { setSpeed(v); });
    readInt(doc, QStringLiteral("frame"), [this](int v) { setFrame(v); });
    readInt(doc, QStringLiteral("clock"), [this](int v) { setClockMode(v); });
    readInt(doc, QStringLiteral("delay"), [this](int v) { setDelay(v); });
    readInt(doc, QStringLiteral("level"), [this](int v) { setLevel(v); });
    readInt(doc, QStringLiteral("flash"), [this](int v) { setFlash(v); });
    readInt(doc, QStringLiteral("flashdelay"), [this](int v) { setFlashDelay(v); });
    return true;
}

void TextItem::writeXml(XmlDocument &doc) const
{
    writeCommonXml(doc);
    doc.addChildElem(QStringLiteral("size"), m_size);
    doc.addChildElem(QStringLiteral("font"), m_faceName);
    doc.addChildElem(QStringLiteral("style"), m_style);
    doc.addChildElem(QStringLiteral("color"), m_color);
    doc.outOfElem();
}

bool TextItem::readXml(XmlDocument &doc)
{
    if (!ProgramItem::readXml(doc))
        return false;
    readInt(doc, QStringLiteral("size"), [this](int v) { setSize(v); });
    if (doc.findElem(QStringLiteral("font"))) {
        // The face name field holds 31 characters and its terminator; a
        // longer name is not cut but dropped.
        const QString face = doc.getData();
        setFaceName(face.size() > kMaxFaceNameChars ? QString() : face);
    }
    readInt(doc, QStringLiteral("style"), [this](int v) { setStyle(v); });
    readInt(doc, QStringLiteral("color"), [this](int v) { setColor(v); });
    return true;
}

void PictureItem::writeXml(XmlDocument &doc) const
{
    writeCommonXml(doc);
    doc.addChildElem(QStringLiteral("mode"), m_mode);
    doc.addChildElem(QStringLiteral("reverse"), m_reverse);
    doc.addChildElem(QStringLiteral("limit"), m_limit);
    doc.outOfElem();
}

bool PictureItem::readXml(XmlDocument &doc)
{
    if (!ProgramItem::readXml(doc))
        return false;
    readInt(doc, QStringLiteral("mode"), [this](int v) { setMode(v); });
    readInt(doc, QStringLiteral("reverse"), [this](int v) { setReverse(v); });
    readInt(doc, QStringLiteral("limit"), [this](int v) { setLimit(v); });
    return true;
}

PlayList::FileStamp PlayList::stampOf(const QString &path)
{
    FileStamp stamp;
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        stamp.hash = hashOf(file.read(XmlDocument::kMaxFileBytes + 1));
    return stamp;
}

bool PlayList::projectFileChangedOnDisk() const
{
    const QString path = projectFilePath();
    const QFileInfo info(path);
    if (!info.isFile())
        return false; // nothing there to lose
    if (m_fileStamp.hash.isEmpty())
        return true; // appeared since
    if (info.size() != m_fileStamp.size ||
        info.lastModified().toMSecsSinceEpoch() != m_fileStamp.modified)
        return true;
    // Same size and time: a write within the time's resolution still shows
    // in the content.
    return stampOf(path).hash != m_fileStamp.hash;
}

Outcome PlayList::lockProjectFile()
{
    if (m_fileLock)
        return {};
    auto lock = std::make_unique<ProjectFileLock>(projectFilePath());
    if (const Outcome locked = lock->lock(); !locked)
        return locked;
    m_fileLock = std::move(lock);
    return {};
}

void PlayList::unlockProjectFile()
{
    m_fileLock.reset();
}

bool PlayList::holdsProjectFileLock() const
{
    return m_fileLock != nullptr;
}

Outcome PlayList::save()
{
    const QString path = projectFilePath();
    const QString saveError = QStringLiteral("Error on save project!");
    // The write holds the lock (the caller's, or one of its own), so it
    // never lands in the middle of another program's read-change-write.
    std::unique_ptr<ProjectFileLock> ownLock;
    if (!m_fileLock) {
        ownLock = std::make_unique<ProjectFileLock>(path);
        if (const Outcome locked = ownLock->lock(); !locked)
            return locked.code() == OutcomeCode::FileDiskFull
                       ? locked
                       : Outcome::failure(OutcomeCode::FileLocked, saveError);
    }
    XmlDocument doc;
    // A declaration alone is no document, so this gives an empty one; the
    // layer writes the declaration itself when saving.
    doc.setDocText(kDeclaration);
    doc.addElem(QStringLiteral("project"));
    doc.addChildElem(QStringLiteral("width"), screenParams().widthCode());
    doc.addChildElem(QStringLiteral("height"), screenParams().heightCode());
    for (const auto &item : m_items)
        item->writeXml(doc);
    QByteArray written;
    XmlDocument::Refusal refused = XmlDocument::Refusal::None;
    if (doc.save(path, &written, &refused)) {
        const QFileInfo info(path);
        m_fileStamp = {written.size(), info.lastModified().toMSecsSinceEpoch(), hashOf(written)};
        return {};
    }
    if (refused != XmlDocument::Refusal::None)
        return Outcome::failure(OutcomeCode::FileRefused, XmlDocument::saveRefusalText(refused));
    // A write that failed for want of room names the disk; it needs about as
    // much room as the file it replaces.
    const QString full =
        diskFullText(path, QFileInfo(path).size() + ProjectFileLock::kLockFileBytes);
    return full.isEmpty() ? Outcome::failure(OutcomeCode::FileWriteFailed, saveError)
                          : Outcome::failure(OutcomeCode::FileDiskFull, full);
}

Outcome PlayList::load()
{
    const QString path = projectFilePath();
    m_fileStamp = FileStamp();
    if (!fileExists(path, false)) {
        appendItem(std::make_unique<TextItem>(&m_context));
        return Outcome::failure(OutcomeCode::FileMissing,
                                QCoreApplication::translate("ProjectFile", "没有项目文件 %1").arg(path));
    }

    // The stamp describes exactly the bytes that were parsed (a save is an
    // atomic rename, so no lock is needed to read a whole file).
    const QFileInfo info(path);
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    XmlDocument doc;
    QByteArray bytes;
    if (!doc.load(path, &bytes))
        return Outcome::failure(OutcomeCode::FileUnreadable,
                                QStringLiteral("Error on load playlist file."));
    m_fileStamp = {bytes.size(), modified, hashOf(bytes)};
    // The root's name does not matter.
    if (!doc.findElem())
        return Outcome::failure(OutcomeCode::FileInvalid,
                                QStringLiteral("Error on load playlist file ."));
    doc.intoElem();
    readInt(doc, QStringLiteral("width"), [this](int v) { screenParams().setWidthCode(v & 0xFF); });
    readInt(doc, QStringLiteral("height"), [this](int v) { screenParams().setHeightCode(v & 0xFF); });

    // Items are collected first and join the list together at the end, so
    // the list never holds a partly read item.
    std::vector<std::unique_ptr<ProgramItem>> loaded;
    while (doc.findElem(QStringLiteral("msg"))) {
        doc.intoElem();
        std::unique_ptr<ProgramItem> item;
        if (doc.findElem(QStringLiteral("type"))) {
            const int type = atoiValue(doc.getData());
            if (type == ProgramItem::TextType)
                item = std::make_unique<TextItem>(&m_context);
            else if (type == ProgramItem::PictureType)
                item = std::make_unique<PictureItem>(&m_context);
        }
        if (item && item->readXml(doc))
            loaded.push_back(std::move(item));
        doc.outOfElem();
    }
    for (auto &item : loaded)
        appendItem(std::move(item));
    return {};
}
