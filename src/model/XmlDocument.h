#pragma once
// The cursor-style XML layer of the project file, on QDomDocument. One
// object lives for one load or one save. The cursor has three positions:
// parent (the node whose children are walked; the document at the start),
// current (the element found or added last at that level) and child (the
// element found or added last under current).
//
// Files are untrusted: load refuses files above kMaxFileBytes, documents
// nested deeper than kMaxDepth or holding more than kMaxElements elements,
// and any document type declaration with an internal subset (entity
// declarations are how billion-laughs and quadratic-blow-up files work).
// QDomDocument needs no engine to be started, so creation cannot fail.

#include <QDomDocument>
#include <QString>

class XmlDocument {
public:
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr int kMaxDepth = 32;
    static constexpr int kMaxElements = 200000;

    XmlDocument();
    XmlDocument(const XmlDocument &) = delete;
    XmlDocument &operator=(const XmlDocument &) = delete;

    // Resets the cursor. An empty text gives a fresh empty document; any
    // other text is parsed as the whole document (false, and a fresh empty
    // document, when it does not parse).
    bool setDocText(const QString &text);
    // Parses the file into the document and resets the cursor; false (and a
    // fresh empty document) when the file cannot be read or does not parse.
    // *bytes receives the file's bytes as parsed.
    bool load(const QString &path, QByteArray *bytes = nullptr);
    // Writes the document as UTF-8, beginning with the XML declaration and
    // CR LF, with no whitespace between elements. The file is replaced
    // atomically: on failure the previous file is left as it was. A
    // temporary copy that an interrupted earlier save left beside the file
    // is removed first. *bytes receives what was written.
    bool save(const QString &path, QByteArray *bytes = nullptr) const;

    // Searches the children of parent forward, starting after current (at
    // the first child when current is none), for an element named name (any
    // element when name is empty). A match becomes current and child none;
    // without a match nothing changes.
    bool findElem(const QString &name = QString());
    bool intoElem();
    bool outOfElem();
    // The concatenated text of current's descendants; empty without current.
    QString getData() const;

    // Adds an element under parent directly after current (at the end when
    // current is none) and makes it current.
    bool addElem(const QString &name, const QString &text = QString());
    bool addElem(const QString &name, int value);
    // Adds an element under current directly after child (at the end when
    // child is none) and makes it child; false when current is none.
    bool addChildElem(const QString &name, const QString &text = QString());
    bool addChildElem(const QString &name, int value);

private:
    void resetCursor();
    bool parse(const QByteArray &data);
    QDomElement createElement(const QString &name, const QString &text);

    QDomDocument m_doc;
    QDomNode m_parent;
    QDomElement m_current;
    QDomElement m_child;
};
