#include "app/ProgramListView.h"

#include "app/CellCombo.h"
#include "model/ProgramItem.h"
#include "model/ProgramWarnings.h"
#include "model/ValueTables.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>

namespace {

constexpr int kRowHeight = 20;

QIcon kindIcon(const ProgramItem &item)
{
    // Row image 0 for text, 1 for pictures.
    static const QIcon text(QStringLiteral(":/icons/kind-text.svg"));
    static const QIcon picture(QStringLiteral(":/icons/kind-picture.svg"));
    return item.isPicture() ? picture : text;
}

// A cell shows the content on one line.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

} // namespace

ProgramListView::ProgramListView(QWidget *parent) : QTableWidget(0, kColumnCount, parent)
{
    setObjectName(QStringLiteral("programList"));
    setHorizontalHeaderLabels({QCoreApplication::translate("ProgramListView", "类型"), QCoreApplication::translate("ProgramListView", "内容"),
                               QCoreApplication::translate("ProgramListView", "进入动画"), QCoreApplication::translate("ProgramListView", "速度"),
                               QCoreApplication::translate("ProgramListView", "环绕边框"), QCoreApplication::translate("ProgramListView", "时钟分区")});
    QHeaderView *header = horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setMinimumSectionSize(1);
    for (int c = 0; c < kColumnCount; ++c) {
        header->resizeSection(c, kColumnWidths[size_t(c)]);
        // The user cannot change them; the list fits the content column.
        header->setSectionResizeMode(c, QHeaderView::Fixed);
    }
    header->setStretchLastSection(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);

    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setTabKeyNavigation(false);
    setContextMenuPolicy(Qt::CustomContextMenu);

    m_action = makeCombo(ValueTables::shown(ValueTables::actionNames()));
    m_action->setObjectName(QStringLiteral("actionCombo"));
    m_speed = makeCombo(ValueTables::shown(ValueTables::speedNames()));
    m_speed->setObjectName(QStringLiteral("speedCombo"));
    m_frame = makeCombo(ValueTables::shown(ValueTables::frameNames()));
    m_frame->setObjectName(QStringLiteral("frameCombo"));
    m_clock = makeCombo(ValueTables::shown(ValueTables::clockNames()));
    m_clock->setObjectName(QStringLiteral("clockCombo"));
    connect(m_action, &QComboBox::activated, this, &ProgramListView::actionChosen);
    connect(m_speed, &QComboBox::activated, this, &ProgramListView::speedChosen);
    connect(m_frame, &QComboBox::activated, this, &ProgramListView::frameChosen);
    connect(m_clock, &QComboBox::activated, this, &ProgramListView::clockChosen);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected, const QItemSelection &) {
                // Deselection is ignored; only a row that became selected counts.
                if (m_quiet || selected.isEmpty())
                    return;
                Q_EMIT rowSelected(selected.indexes().first().row());
            });
    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { Q_EMIT rowDoubleClicked(row); });
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const int row = rowAt(pos.y());
        if (row >= 0)
            Q_EMIT rowContextMenu(row, viewport()->mapToGlobal(pos));
    });
}

QComboBox *ProgramListView::makeCombo(const QStringList &entries)
{
    auto *combo = new CellCombo(viewport());
    combo->addItems(entries);
    combo->setMaxVisibleItems(int(entries.size()));
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->hide();
    return combo;
}

void ProgramListView::showItem(int row, const ProgramItem &item)
{
    if (row < 0 || row >= rowCount())
        return;
    const QString texts[kColumnCount] = {
        ValueTables::shown(item.kindLabel()),
        oneLine(item.content()),
        ValueTables::shown(ValueTables::actionName(item.action())),
        item.speedLabel(),
        ValueTables::shown(ValueTables::frameName(item.frame())),
        ValueTables::shown(item.clockLabel()),
    };
    QStringList lines;
    if (!item.pageProblem().isEmpty())
        lines << item.pageProblem();
    for (const ProgramWarning &w : programWarnings(item))
        lines << w.text;
    const QString problems = lines.join(u'\n');
    for (int c = 0; c < kColumnCount; ++c) {
        QTableWidgetItem *cell = this->item(row, c);
        if (!cell) {
            cell = new QTableWidgetItem;
            setItem(row, c, cell);
        }
        cell->setText(texts[c]);
        // A picture that cannot be decoded goes to the card as a black
        // page, a text the sign cannot show as written is warned of: the
        // row says so, and why.
        if (c == KindColumn)
            cell->setIcon(problems.isEmpty() ? kindIcon(item)
                                             : style()->standardIcon(QStyle::SP_MessageBoxWarning));
        cell->setToolTip(problems);
    }
}

void ProgramListView::placeCombos(int row, const ProgramItem &item)
{
    m_comboRow = row;
    // Entry index from the stored value; out-of-range values leave no entry.
    const auto index = [](const QComboBox *combo, int value) {
        return value >= 0 && value < combo->count() ? value : -1;
    };
    m_action->setCurrentIndex(index(m_action, item.action() - 1));
    m_speed->setCurrentIndex(index(m_speed, item.speed()));
    m_frame->setCurrentIndex(index(m_frame, item.frame()));
    m_clock->setCurrentIndex(index(m_clock, item.clockMode()));
    moveCombos();
    for (QComboBox *combo : {m_action, m_speed, m_frame, m_clock})
        combo->show();
}

void ProgramListView::moveCombos()
{
    if (m_comboRow < 0)
        return;
    // Rows may have scrolled since: follow the row.
    // The row's bounding rectangle, without the grid line below it.
    const QRect rowRect = visualRect(model()->index(m_comboRow, 0));
    const int top = rowRect.top();
    const int height = rowRect.height();
    const struct {
        QComboBox *combo;
        int column;
    } places[] = {{m_action, ActionColumn},
                  {m_speed, SpeedColumn},
                  {m_frame, FrameColumn},
                  {m_clock, ClockColumn}};
    for (const auto &place : places)
        place.combo->setGeometry(columnViewportPosition(place.column), top,
                                 columnWidth(place.column), height);
}

void ProgramListView::fitContentColumn()
{
    int others = 0;
    for (int c = 0; c < kColumnCount; ++c)
        others += c == ContentColumn ? 0 : kColumnWidths[size_t(c)];
    const int width = std::max(kColumnWidths[ContentColumn], viewport()->width() - others);
    if (columnWidth(ContentColumn) != width) {
        horizontalHeader()->resizeSection(ContentColumn, width);
        moveCombos();
    }
}

void ProgramListView::hideCombos()
{
    m_comboRow = -1;
    for (QComboBox *combo : {m_action, m_speed, m_frame, m_clock})
        combo->hide();
}

bool ProgramListView::combosVisible() const
{
    return m_comboRow >= 0 && !m_action->isHidden();
}

void ProgramListView::selectRowQuietly(int row)
{
    const bool quiet = m_quiet;
    m_quiet = true;
    setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item(row, 0));
    m_quiet = quiet;
}

void ProgramListView::removeRowQuietly(int row)
{
    const bool quiet = m_quiet;
    m_quiet = true;
    removeRow(row);
    m_quiet = quiet;
}

void ProgramListView::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    moveCombos();
}

bool ProgramListView::viewportEvent(QEvent *event)
{
    // The viewport changes width with the window and with the scroll bar.
    if (event->type() == QEvent::Resize)
        fitContentColumn();
    // One tooltip for the whole list.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), toolTip(), viewport());
        return true;
    }
    return QTableWidget::viewportEvent(event);
}
