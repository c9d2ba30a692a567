#pragma once
// A picture program: an image file fitted to the screen and thresholded to
// the LED colours.

#include "model/ProgramItem.h"

class PictureItem final : public ProgramItem {
public:
    explicit PictureItem(const RenderContext *context = nullptr);
    template <HasRenderContext List>
    explicit PictureItem(List *list) : PictureItem(list ? &list->renderContext() : nullptr)
    {
    }

    void buildPages() override;
    // Always one: a missing or undecodable file gives a black page.
    int layoutPageCount() const override { return 1; }
    void writeXml(XmlDocument &doc) const override;
    bool readXml(XmlDocument &doc) override;

    int mode() const { return m_mode; }
    void setMode(int v) { m_mode = v; }
    int reverse() const { return m_reverse; }
    void setReverse(int v) { m_reverse = v; }
    int limit() const { return m_limit; }
    // Clamped into 0..255.
    void setLimit(int v);
    // The image path with a relative path resolved against the project
    // file's folder.
    QString resolvedPath() const;

private:
    int m_mode = 0;
    int m_reverse = 0;
    int m_limit = 100;
};
