#include "ui/TextEditorPage.h"

#include "base/AtoiValue.h"
#include "model/ItemEdit.h"
#include "model/ProgramWarnings.h"
#include "model/TextItem.h"
#include "model/ValueTables.h"
#include "render/TextFont.h"
#include "ui/LimitedPlainTextEdit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace {

const QStringList &sizeEntries()
{
    static const QStringList entries{
        QStringLiteral("8"),  QStringLiteral("10"), QStringLiteral("12"), QStringLiteral("14"),
        QStringLiteral("16"), QStringLiteral("18"), QStringLiteral("20"), QStringLiteral("24"),
        QStringLiteral("28"), QStringLiteral("32"), QStringLiteral("36"), QStringLiteral("40"),
        QStringLiteral("48"), QStringLiteral("56"), QStringLiteral("64"), QStringLiteral("72"),
        QStringLiteral("80"), QStringLiteral("96")};
    return entries;
}

QLabel *fieldLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

QStringList TextEditorPage::fontFaceNames()
{
    return TextFont::faceNames(TextItem::kMaxFaceNameChars);
}

QString TextEditorPage::warningsText(const TextItem &item)
{
    QStringList lines;
    for (const ProgramWarning &w : programWarnings(item))
        lines << w.text;
    return lines.join(u'\n');
}

TextEditorPage::TextEditorPage(TextItem *item, QWidget *parent)
    : QWidget(parent), m_item(item), m_font(new QComboBox(this)), m_size(new QComboBox(this)),
      m_colour(new QComboBox(this)), m_style(new QComboBox(this)),
      m_text(new LimitedPlainTextEdit(TextItem::kMaxTextChars, this)), m_warnings(new QLabel(this))
{
    m_font->setObjectName(QStringLiteral("font"));
    m_size->setObjectName(QStringLiteral("size"));
    m_colour->setObjectName(QStringLiteral("colour"));
    m_style->setObjectName(QStringLiteral("style"));
    m_text->setObjectName(QStringLiteral("text"));
    m_warnings->setObjectName(QStringLiteral("warnings"));
    m_warnings->setWordWrap(true);
    m_warnings->setVisible(false);
    setFocusProxy(m_text); // the page is entered in its text

    m_size->setEditable(true);
    m_size->setCompleter(nullptr);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    m_size->lineEdit()->setMaxLength(kMaxSizeChars);
    m_size->addItems(sizeEntries());
    // About four lines; the preview below takes the room the dialog gains.
    m_text->setFixedHeight(m_text->fontMetrics().lineSpacing() * 4 + 24);

    // At most twelve rows; the style sheet makes styles that would open the
    // list at full length (Fusion) keep to it.
    m_font->setMaxVisibleItems(12);
    m_font->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    m_font->addItems(fontFaceNames());
    // The list opens wide enough to show every name whole.
    QAbstractItemView *faceList = m_font->view();
    faceList->setTextElideMode(Qt::ElideNone);
    faceList->setMinimumWidth(faceList->sizeHintForColumn(0) + 2 * faceList->frameWidth() +
                              style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, faceList));
    m_font->setMinimumContentsLength(10);
    m_font->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_size->setMinimumContentsLength(4);
    m_size->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_colour->addItems(ValueTables::shown(ValueTables::colorNames()));
    m_style->addItems(ValueTables::shown(ValueTables::styleNames()));

    auto *row = new QHBoxLayout;
    row->addWidget(fieldLabel(QCoreApplication::translate("TextEditorPage", "字体："), m_font, this));
    row->addWidget(m_font, 3);
    row->addSpacing(6);
    row->addWidget(fieldLabel(QCoreApplication::translate("TextEditorPage", "大小："), m_size, this));
    row->addWidget(m_size, 1);
    row->addSpacing(6);
    row->addWidget(fieldLabel(QCoreApplication::translate("TextEditorPage", "颜色："), m_colour, this));
    row->addWidget(m_colour, 1);
    row->addSpacing(6);
    row->addWidget(fieldLabel(QCoreApplication::translate("TextEditorPage", "字型："), m_style, this));
    row->addWidget(m_style, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_warnings);

    fillFromItem();
    showWarnings();

    // Every change goes through the item's edit entry point, which rebuilds
    // the pages; the editor then refreshes its preview.
    const auto announce = [this](bool pagesChanged) {
        showWarnings();
        if (pagesChanged)
            Q_EMIT contentChanged();
    };
    connect(m_text, &QPlainTextEdit::textChanged, this, [this, announce] {
        if (m_filling)
            return;
        announce(editItem(*m_item, ItemSetting::Content, m_text->storedText()));
    });
    connect(m_size->lineEdit(), &QLineEdit::textEdited, this,
            [this, announce](const QString &text) {
                announce(editItem(*m_item, ItemSetting::Size,
                                  atoiValue(QStringView(text).left(kSizeDigitsRead))));
            });
    connect(m_size, &QComboBox::activated, this, [this, announce](int index) {
        announce(editItem(*m_item, ItemSetting::Size, atoiValue(m_size->itemText(index))));
    });
    connect(m_colour, &QComboBox::activated, this, [this, announce](int index) {
        announce(editItem(*m_item, ItemSetting::Color, index + 1));
    });
    connect(m_font, &QComboBox::activated, this, [this, announce](int index) {
        announce(editItem(*m_item, ItemSetting::FaceName, m_font->itemText(index)));
    });
    connect(m_style, &QComboBox::activated, this, [this, announce](int index) {
        announce(editItem(*m_item, ItemSetting::Style, index));
    });
}

void TextEditorPage::fillFromItem()
{
    m_filling = true;
    int font = -1;
    const QString &face = m_item->faceName();
    if (!face.isEmpty()) {
        for (int i = 0; i < m_font->count(); ++i) {
            if (m_font->itemText(i).startsWith(face, Qt::CaseInsensitive)) {
                font = i;
                break;
            }
        }
    }
    m_font->setCurrentIndex(font);
    m_size->setCurrentIndex(-1);
    m_size->setEditText(QString::number(m_item->size()));
    const int colour = m_item->color() - 1;
    m_colour->setCurrentIndex(colour >= 0 && colour < m_colour->count() ? colour : -1);
    m_text->setStoredText(m_item->content());
    const int style = m_item->style();
    m_style->setCurrentIndex(style >= 0 && style < m_style->count() ? style : -1);
    m_filling = false;
}

void TextEditorPage::showWarnings()
{
    const QString text = warningsText(*m_item);
    m_warnings->setText(text);
    m_warnings->setVisible(!text.isEmpty());
}
