#pragma once
// The cursor-style XML layer of the project file, on QDomDocument. One
// object lives for one load or one save. The cursor has three positions:
// parent (the node whose children are walked; the document at the start),
// current (the element found or added last at that level) and child (the
// element found or added last under current).
//
// Files are untrusted: load refuses files above kMaxFileBytes, documents
// nested deeper than kMaxDepth, holding more than kMaxElements elements
// (comments, processing instructions and CDATA sections count as elements)
// or more attributes than kMaxAttributesPerElement on one element or
// kMaxAttributes in all, and any document type declaration with an
// internal subset (entity declarations are how billion-laughs and
// quadratic-blow-up files work). save refuses to write what load would
// refuse, so a saved file always loads again.
// QDomDocument needs no engine to be started, so creation cannot fail.

#include <QDomDocument>
#include <QString>

class XmlDocument {
public:
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr int kMaxDepth = 32;
    static constexpr int kMaxElements = 200000;
    // Qt's XML readers check an element's attributes against each other, so
    // their time grows with the square of the attributes on one element.
    // The project file has none.
    static constexpr int kMaxAttributesPerElement = 64;
    static constexpr int kMaxAttributes = 200000;

    // Which limit a document breaks.
    enum class Refusal {
        None,
        TooLarge,
        TooDeep,
        TooManyElements,
        TooManyAttributes,
        Declarations,
        NotWellFormed
    };
    // Why load would refuse these bytes (None: it would parse them).
    static Refusal refusalOf(const QByteArray &data);
    // The user's text for a save refused because of refusal.
    static QString saveRefusalText(Refusal refusal);

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
    // is removed first. *bytes receives what was written. A document load
    // would refuse is not written: false with *refused set (None for a
    // failed write).
    bool save(const QString &path, QByteArray *bytes = nullptr, Refusal *refused = nullptr) const;

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
