#include "ui/ItemEditorDialog.h"

#include "base/AtoiValue.h"
#include "model/ItemEdit.h"
#include "model/PictureItem.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "model/ValueTables.h"
#include "ui/NumberSpinEdit.h"
#include "ui/PictureEditorPage.h"
#include "ui/PreviewPanel.h"
#include "ui/TextEditorPage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ItemEditorDialog::ItemEditorDialog(ProgramItem *item, QWidget *parent)
    : QDialog(parent), m_item(item), m_level(new QComboBox(this)), m_stay(new NumberSpinEdit(this)),
      m_flash(new QComboBox(this)), m_interval(new NumberSpinEdit(this)), m_preview(nullptr),
      m_done(new QPushButton(QCoreApplication::translate("ItemEditorDialog", "完成"), this))
{
    setWindowTitle(QCoreApplication::translate("ItemEditorDialog", "信息编辑器"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_level->setObjectName(QStringLiteral("level"));
    m_stay->setObjectName(QStringLiteral("stayTime"));
    m_flash->setObjectName(QStringLiteral("flash"));
    m_interval->setObjectName(QStringLiteral("flashInterval"));
    m_done->setObjectName(QStringLiteral("done"));

    // The page by the item's kind; any other kind cannot be edited.
    auto *pageArea = new QWidget(this);
    pageArea->setObjectName(QStringLiteral("pageArea"));
    auto *pageLayout = new QVBoxLayout(pageArea);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    // The type chooses the page; the class must match it too.
    auto *textItem =
        item && item->type() == ProgramItem::TextType ? dynamic_cast<TextItem *>(item) : nullptr;
    auto *pictureItem = item && item->type() == ProgramItem::PictureType
                            ? dynamic_cast<PictureItem *>(item)
                            : nullptr;
    if (textItem) {
        auto *page = new TextEditorPage(textItem, pageArea);
        connect(page, &TextEditorPage::contentChanged, this, &ItemEditorDialog::refreshPreview);
        // A text program is edited in its text first, not in the fields
        // below it.
        page->setFocus();
        m_page = page;
    } else if (pictureItem) {
        auto *page = new PictureEditorPage(pictureItem, pageArea);
        connect(page, &PictureEditorPage::contentChanged, this, &ItemEditorDialog::refreshPreview);
        m_page = page;
    }
    if (m_page)
        pageLayout->addWidget(m_page);

    m_stay->setRange(kStayMin, kStayMax);
    m_stay->setSingleStep(1);
    m_interval->setRange(kIntervalMin, kIntervalMax);
    m_interval->setSingleStep(1);
    m_level->addItems(ValueTables::shown(ValueTables::levelNames()));
    m_flash->addItems(ValueTables::shown(ValueTables::flashNames()));

    auto *fields = new QGridLayout;
    auto addField = [&](int row, int column, const QString &label, QWidget *field) {
        auto *text = new QLabel(label, this);
        text->setBuddy(field);
        fields->addWidget(text, row, column * 3);
        fields->addWidget(field, row, column * 3 + 1);
    };
    addField(0, 0, QCoreApplication::translate("ItemEditorDialog", "走字级别："), m_level);
    addField(0, 1, QCoreApplication::translate("ItemEditorDialog", "停留时间："), m_stay);
    addField(1, 0, QCoreApplication::translate("ItemEditorDialog", "停留闪烁："), m_flash);
    addField(1, 1, QCoreApplication::translate("ItemEditorDialog", "闪烁间隔："), m_interval);
    fields->setColumnMinimumWidth(2, 12);
    fields->setColumnStretch(5, 1);

    auto *previewArea = new QFrame(this);
    previewArea->setObjectName(QStringLiteral("previewArea"));
    previewArea->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    previewArea->setMinimumSize(520, 150);
    auto *previewLayout = new QVBoxLayout(previewArea);
    previewLayout->setContentsMargins(1, 1, 1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_done);
    connect(m_done, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pageArea);
    layout->addLayout(fields);
    layout->addWidget(previewArea, 1);
    layout->addLayout(buttons);

    if (!m_page)
        return;

    // Filling, in order: stay time (as shown and sent), level, flash mode,
    // flash interval, then the preview.
    m_stay->setValue(item->effectiveStayTime());
    m_level->setCurrentIndex(
        item->level() - 1 >= 0 && item->level() - 1 < m_level->count() ? item->level() - 1 : -1);
    m_flash->setCurrentIndex(item->flash() >= 0 && item->flash() < m_flash->count() ? item->flash()
                                                                                    : -1);
    m_interval->setValue(item->flashDelay());

    m_preview = new PreviewPanel(previewArea);
    previewLayout->addWidget(m_preview);
    m_preview->setItem(item);

    m_level->setToolTip(QCoreApplication::translate("ItemEditorDialog", "通常不用修改，如果信息走得太快可以加大级别，如果太慢可以"
                                       "减小级别。提示，只有特定型号的控制卡才支持本选项。"));
    m_stay->setToolTip(QCoreApplication::translate("ItemEditorDialog", "信息走完一幕后是否要停留几秒时间再走下一幕。"));
    m_flash->setToolTip(QCoreApplication::translate("ItemEditorDialog", "信息停留期间，是否附带闪烁效果。提示，只有‘停留时间’大于"
                                       "‘闪烁间隔’才能看到效果。"));
    m_interval->setToolTip(QCoreApplication::translate("ItemEditorDialog", "停留期间，每隔多少秒闪烁一遍。"));

    // Cards of the level-locked models ignore the level.
    if (item->context().card.isLevelLocked())
        m_level->setEnabled(false);

    connect(m_level, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_initialised && index >= 0)
            editItem(*m_item, ItemSetting::Level, index + 1);
    });
    connect(m_flash, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_initialised && index >= 0 && editItem(*m_item, ItemSetting::Flash, index))
            refreshPreview();
    });
    connect(m_stay, &NumberSpinEdit::textChanged, this, &ItemEditorDialog::stayTimeEdited);
    connect(m_interval, &NumberSpinEdit::textChanged, this, [this](const QString &text) {
        if (m_initialised && editItem(*m_item, ItemSetting::FlashDelay, atoiValue(text)))
            refreshPreview();
    });
    m_initialised = true;
}

ItemEditorDialog::~ItemEditorDialog()
{
    // The preview lets go of the item before anything is destroyed.
    if (m_preview)
        m_preview->setItem(nullptr);
}

int ItemEditorDialog::run()
{
    if (!m_page)
        return QDialog::Rejected;
    return exec();
}

void ItemEditorDialog::stayTimeEdited(const QString &text)
{
    if (!m_initialised)
        return;
    // The text layout differs between a stay time of zero and any other;
    // the item's edit entry point re-renders when that changes.
    if (editItem(*m_item, ItemSetting::Delay, atoiValue(text)))
        refreshPreview();
}

void ItemEditorDialog::refreshPreview()
{
    if (m_preview)
        m_preview->refresh();
}
