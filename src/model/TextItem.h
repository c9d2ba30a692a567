#pragma once
// A text program: text drawn in a face, size, style and colour.

#include "model/ProgramItem.h"

struct TextRenderParams;

class TextItem final : public ProgramItem {
public:
    // The longest face name the item keeps; the loader turns a longer one
    // into an empty name (the setter stores what it is given).
    static constexpr int kMaxFaceNameChars = 31;
    // The longest text the editors take (the text editor page, the
    // command-line tool and the service), counted by textLength.
    static constexpr int kMaxTextChars = 256;
    // A text's length as that limit counts it: as the text editor stores it,
    // each line break (CR LF, or a lone LF or CR) two characters CR LF.
    static int textLength(const QString &text);

    explicit TextItem(const RenderContext *context = nullptr);
    template <HasRenderContext List>
    explicit TextItem(List *list) : TextItem(list ? &list->renderContext() : nullptr)
    {
    }

    void buildPages() override;
    int layoutPageCount() const override;
    // The characters of the content that no face can draw at the item's
    // size on its screen: they show as blank boxes on the sign.
    QString missingCharacters() const;
    void writeXml(XmlDocument &doc) const override;
    bool readXml(XmlDocument &doc) override;

    const QString &faceName() const { return m_faceName; }
    void setFaceName(const QString &face) { m_faceName = face; }
    int color() const { return m_color; }
    void setColor(int v) { m_color = v; }
    int size() const { return m_size; }
    void setSize(int v) { m_size = v; }
    int style() const { return m_style; }
    void setStyle(int v) { m_style = v; }
    // 0x00BBGGRR: green for 2, yellow for 3, red otherwise.
    uint32_t textColor() const;
    // What the renderer is given to draw the item's pages.
    TextRenderParams renderParams() const;

private:
    QString m_faceName;
    int m_color = 1;
    int m_size = 0; // set by the constructor
    int m_style = 0;
};
