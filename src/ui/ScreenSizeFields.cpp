#include "ui/ScreenSizeFields.h"

#include "link/ScreenParams.h"
#include "link/ScreenSizeRules.h"
#include "ui/NumberSpinEdit.h"

using namespace ScreenSizeRules;

ScreenSizeFields::ScreenSizeFields(QWidget *parent)
    : m_width(new NumberSpinEdit(parent)), m_height(new NumberSpinEdit(parent))
{
    m_width->setObjectName(QStringLiteral("width"));
    m_height->setObjectName(QStringLiteral("height"));
    m_width->setRange(kMinWidth, kMaxWidth);
    m_width->setSingleStep(kSizeStep);
    m_height->setRange(kMinHeight, kMaxHeight);
    m_height->setSingleStep(kSizeStep);
}

void ScreenSizeFields::fill(const ScreenParams &params)
{
    m_width->setValue(params.screenWidth());
    m_height->setValue(params.heightCode() * 8);
}

void ScreenSizeFields::store(ScreenParams &params)
{
    const int typedWidth = m_width->value();
    const int width = acceptedWidth(typedWidth);
    if (width != typedWidth)
        m_width->setValue(width);
    params.setWidthCode(sizeCode(width));

    const int typedHeight = m_height->value();
    const int height = acceptedHeight(typedHeight);
    if (height != typedHeight)
        m_height->setValue(height);
    params.setHeightCode(sizeCode(height));
}
