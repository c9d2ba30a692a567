#include "model/ItemEdit.h"

#include "model/PictureItem.h"
#include "model/TextItem.h"

#include <iterator>

namespace {

struct Rule {
    ItemSetting setting;
    PageRule pages;
};

// When the pages follow a setting. The clock zone narrows the content area,
// the stay time being 0 and the entry animation pick the text layout; level,
// speed, border and flash only travel in the page headers (a flash change
// that moves the stay time off 0 shows at the next rebuild, as a send does).
constexpr Rule kRules[] = {
    {ItemSetting::Content, PageRule::Rendered},  {ItemSetting::Action, PageRule::TextLayout},
    {ItemSetting::Speed, PageRule::Stored},      {ItemSetting::Frame, PageRule::Stored},
    {ItemSetting::Clock, PageRule::Rendered},    {ItemSetting::Delay, PageRule::StayTimeZero},
    {ItemSetting::Level, PageRule::Stored},      {ItemSetting::Flash, PageRule::Stored},
    {ItemSetting::FlashDelay, PageRule::Stored}, {ItemSetting::FaceName, PageRule::Rendered},
    {ItemSetting::Size, PageRule::Rendered},     {ItemSetting::Style, PageRule::Rendered},
    {ItemSetting::Color, PageRule::Rendered},    {ItemSetting::Mode, PageRule::Rendered},
    {ItemSetting::Reverse, PageRule::Rendered},  {ItemSetting::Limit, PageRule::NextRebuild},
};

// Stores an integer setting; false when the item's kind has no such field.
bool store(ProgramItem &item, ItemSetting setting, int value)
{
    auto *text = item.isPicture() ? nullptr : dynamic_cast<TextItem *>(&item);
    auto *picture = item.isPicture() ? dynamic_cast<PictureItem *>(&item) : nullptr;
    switch (setting) {
    case ItemSetting::Action:
        item.setAction(value);
        return true;
    case ItemSetting::Speed:
        item.setSpeed(value);
        return true;
    case ItemSetting::Frame:
        item.setFrame(value);
        return true;
    case ItemSetting::Clock:
        item.setClockMode(value);
        return true;
    case ItemSetting::Delay:
        item.setDelay(value);
        return true;
    case ItemSetting::Level:
        item.setLevel(value);
        return true;
    case ItemSetting::Flash:
        item.setFlash(value);
        return true;
    case ItemSetting::FlashDelay:
        item.setFlashDelay(value);
        return true;
    case ItemSetting::Size:
        return text && (text->setSize(value), true);
    case ItemSetting::Style:
        return text && (text->setStyle(value), true);
    case ItemSetting::Color:
        return text && (text->setColor(value), true);
    case ItemSetting::Mode:
        return picture && (picture->setMode(value), true);
    case ItemSetting::Reverse:
        return picture && (picture->setReverse(value), true);
    case ItemSetting::Limit:
        return picture && (picture->setLimit(value), true);
    case ItemSetting::Content:
    case ItemSetting::FaceName:
        break;
    }
    return false;
}

// Runs the change and re-renders when the rule says the pages show it.
template <typename Change> bool apply(ProgramItem &item, ItemSetting setting, Change change)
{
    const bool zeroBefore = item.effectiveStayTime() == 0;
    if (!change())
        return false;
    bool changed = false;
    switch (pageRule(setting)) {
    case PageRule::Stored:
    case PageRule::NextRebuild:
        break;
    case PageRule::Rendered:
        changed = true;
        break;
    case PageRule::TextLayout:
        changed = !item.isPicture();
        break;
    case PageRule::StayTimeZero:
        changed = !item.isPicture() && (zeroBefore || item.effectiveStayTime() == 0);
        break;
    }
    if (changed && item.context().buildsPages)
        item.buildPages();
    return changed;
}

} // namespace

PageRule pageRule(ItemSetting setting)
{
    for (const Rule &rule : kRules)
        if (rule.setting == setting)
            return rule.pages;
    return PageRule::Rendered;
}

bool editItem(ProgramItem &item, ItemSetting setting, int value)
{
    return apply(item, setting, [&] { return store(item, setting, value); });
}

bool editItem(ProgramItem &item, ItemSetting setting, const QString &value)
{
    return apply(item, setting, [&] {
        if (setting == ItemSetting::Content) {
            item.setContent(value);
            return true;
        }
        if (setting == ItemSetting::FaceName && !item.isPicture()) {
            if (auto *text = dynamic_cast<TextItem *>(&item)) {
                text->setFaceName(value);
                return true;
            }
        }
        return false;
    });
}
