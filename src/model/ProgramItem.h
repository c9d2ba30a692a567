#pragma once
// One program of the play list: its content, its play settings, the codes
// derived from them for the upload, and the pages its content was rendered
// into. Owned by the PlayList, whose RenderContext it draws for; TextItem
// and PictureItem are the two kinds.

#include "model/RenderContext.h"
#include "render/PageBitmap.h"

#include <QString>
#include <concepts>
#include <vector>

class XmlDocument;

// The kinds' constructors also take a play list (anything with
// renderContext()) for its context.
template <typename List>
concept HasRenderContext = requires(List &list) {
    { list.renderContext() } -> std::convertible_to<const RenderContext &>;
};

class ProgramItem {
public:
    enum Type { TextType = 2, PictureType = 3 };

    virtual ~ProgramItem();
    ProgramItem(const ProgramItem &) = delete;
    ProgramItem &operator=(const ProgramItem &) = delete;

    // Renders the content into pages; always starts with clearPages and
    // leaves at least one page of contentWidth x screenHeight.
    virtual void buildPages() = 0;
    // The number of pages buildPages gives the item on its own (no budget
    // of other items' pages), found without drawing them: what `list` shows.
    // A kind that cannot tell answers with the pages it holds.
    virtual int layoutPageCount() const { return pageCount(); }
    void clearPages();
    void addBlankPage();
    // Drops the pages for the one blank page every item starts with (which
    // costs no memory of its own).
    void releasePages();
    // Bytes of the item's page rasters; the shared blank page counts 0.
    qint64 pageBytes() const;
    // True when the last build stopped at the project's page budget; the
    // item then holds one blank page.
    bool pagesRefused() const { return m_pagesRefused; }
    // Why the last build gave a black page instead of the item's picture
    // (a missing, broken or too large file); empty when it did not.
    const QString &pageProblem() const { return m_pageProblem; }
    const PageBitmap *pageAt(int index) const;
    int pageCount() const { return int(m_pages.size()); }
    const std::vector<PageBitmap> &pages() const { return m_pages; }

    // Appends a "msg" element with the item's fields under the cursor's
    // current element (the root) and leaves the cursor on the root again.
    virtual void writeXml(XmlDocument &doc) const;
    // With the cursor inside a "msg" and on its "type": reads the fields
    // that follow in the writer's order; missing ones keep their defaults.
    // False when there is no "content" child after "type".
    virtual bool readXml(XmlDocument &doc);

    // What the item draws for: its list's context, or the default one.
    const RenderContext &context() const;
    // The list's context; null for an item made on its own.
    const RenderContext *renderContext() const { return m_context; }
    int type() const { return m_type; }
    bool isPicture() const { return m_type != TextType; }

    const QString &content() const { return m_content; }
    void setContent(const QString &content) { m_content = content; }
    const QString &kindLabel() const { return m_kindLabel; }
    const QString &speedLabel() const { return m_speedLabel; }
    const QString &clockLabel() const { return m_clockLabel; }

    int action() const { return m_action; }
    void setAction(int v) { m_action = v; }
    int speed() const { return m_speed; }
    void setSpeed(int v);
    int clockMode() const { return m_clock; }
    void setClockMode(int v);
    int frame() const { return m_frame; }
    void setFrame(int v) { m_frame = v; }
    int delay() const { return m_delay; }
    void setDelay(int v) { m_delay = v; }
    int level() const { return m_level; }
    void setLevel(int v) { m_level = v; }
    int flash() const { return m_flash; }
    void setFlash(int v) { m_flash = v; }
    int flashDelay() const { return m_flashDelay; }
    void setFlashDelay(int v) { m_flashDelay = v; }

    // Derived values.
    int screenWidth() const;
    int screenHeight() const;
    int effectiveClockMode() const;
    int clockZoneWidth() const;
    int contentWidth() const;
    int clockCode() const;
    int effectCode() const;
    int effectiveStayTime() const;
    QString displayName() const;

protected:
    ProgramItem(int type, const RenderContext *context);
    template <HasRenderContext List>
    ProgramItem(int type, List *list) : ProgramItem(type, list ? &list->renderContext() : nullptr)
    {
    }
    // Opens the "msg" element, steps into it and writes the common fields;
    // the kind adds its own and steps out.
    void writeCommonXml(XmlDocument &doc) const;
    void setKindLabel(const QString &label) { m_kindLabel = label; }
    std::vector<PageBitmap> &mutablePages() { return m_pages; }
    void setPagesRefused(bool refused) { m_pagesRefused = refused; }
    void setPageProblem(const QString &problem) { m_pageProblem = problem; }
    // Pages of width x height the list's budget still grants this item
    // (a very large number without one).
    int pageAllowance(int width, int height) const;

private:
    const RenderContext *m_context;
    std::vector<PageBitmap> m_pages;
    QString m_content;
    QString m_kindLabel;
    QString m_speedLabel;
    QString m_clockLabel;
    int m_type;
    int m_action = 0;
    int m_speed = 0;
    int m_clock = 0;
    int m_frame = 0;
    int m_delay = 0;
    int m_level = 0;
    int m_flash = 0;
    int m_flashDelay = 0;
    bool m_pagesRefused = false;
    QString m_pageProblem;
};

