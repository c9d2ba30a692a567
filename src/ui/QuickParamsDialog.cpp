#include "ui/QuickParamsDialog.h"

#include "base/AppServices.h"
#include "link/ScanModes.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "ui/NumberSpinEdit.h"
#include "ui/ScreenParamsWrite.h"
#include "ui/ScreenSizeFields.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QuickParamsDialog::QuickParamsDialog(CardSession &card, PlayList &list, QWidget *parent)
    : QDialog(parent), m_card(card), m_list(list), m_colour(new QComboBox(this)),
      m_scan(new QComboBox(this)), m_size(std::make_unique<ScreenSizeFields>(this)),
      m_ok(new QPushButton(QCoreApplication::translate("QuickParamsDialog", "确定"), this)),
      m_close(new QPushButton(QCoreApplication::translate("QuickParamsDialog", "关闭"), this)),
      m_advanced(new QPushButton(QCoreApplication::translate("QuickParamsDialog", "高级设置 >> ..."), this))
{
    setWindowTitle(QCoreApplication::translate("QuickParamsDialog", "快捷屏参"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_colour->setObjectName(QStringLiteral("colourType"));
    m_scan->setObjectName(QStringLiteral("scanMode"));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_close->setObjectName(QStringLiteral("close"));
    m_advanced->setObjectName(QStringLiteral("advanced"));

    m_colour->addItems({QCoreApplication::translate("QuickParamsDialog", "单红色"), QCoreApplication::translate("QuickParamsDialog", "红绿双色")});
    m_scan->addItems({QCoreApplication::translate("QuickParamsDialog", "不改扫描方式"), QCoreApplication::translate("QuickParamsDialog", "改为φ3、φ5室内点阵(1/16)"),
                      QCoreApplication::translate("QuickParamsDialog", "改为P10单红半户外(1/4)")});

    auto *fields = new QGridLayout;
    auto addRow = [&](int row, const QString &label, QWidget *field) {
        auto *text = new QLabel(label, this);
        text->setBuddy(field);
        fields->addWidget(text, row, 0);
        fields->addWidget(field, row, 1);
    };
    addRow(0, QCoreApplication::translate("QuickParamsDialog", "颜色类型："), m_colour);
    addRow(1, QCoreApplication::translate("QuickParamsDialog", "屏    高："), m_size->height());
    addRow(2, QCoreApplication::translate("QuickParamsDialog", "屏    宽："), m_size->width());
    addRow(3, QCoreApplication::translate("QuickParamsDialog", "扫描方式："), m_scan);
    fields->setRowStretch(4, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    buttons->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addSpacing(8);
    top->addLayout(buttons);

    auto *advancedRow = new QHBoxLayout;
    advancedRow->addStretch(1);
    advancedRow->addWidget(m_advanced);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(advancedRow);

    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QuickParamsDialog::apply);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_advanced, &QPushButton::clicked, this, [this] { done(kAdvancedResult); });

    fillFields();
}

QuickParamsDialog::~QuickParamsDialog() = default;

NumberSpinEdit *QuickParamsDialog::widthField() const
{
    return m_size->width();
}
NumberSpinEdit *QuickParamsDialog::heightField() const
{
    return m_size->height();
}

void QuickParamsDialog::fillFields()
{
    const ScreenParams &params = m_card.screenParams();
    m_size->fill(params);
    const int colour = params.colourType() - 1;
    m_colour->setCurrentIndex(colour >= 0 && colour < m_colour->count() ? colour : -1);
    m_scan->setCurrentIndex(KeepScan);
}

void QuickParamsDialog::loadFromCard()
{
    setEnabled(false);
    pumpMessages();
    // On failure the project's current values are shown.
    m_card.readScreenParams();
    setEnabled(true);
    fillFields();
}

void QuickParamsDialog::storeFields(ScreenParams &params)
{
    m_size->store(params);
    const int colour = m_colour->currentIndex();
    if (colour == 0 || colour == 1)
        params.bytes[ScreenParams::ColourType] = uint8_t(colour + 1);
    switch (m_scan->currentIndex()) {
    case Indoor16:
        params.bytes[ScreenParams::ScanMode] = ScanModes::kIndoor16;
        break;
    case P10Quarter:
        params.bytes[ScreenParams::ScanMode] = ScanModes::kP10Quarter;
        break;
    default:
        break;
    }
}

bool QuickParamsDialog::apply()
{
    return writeScreenParamsToCard(this, m_card, m_list,
                                   [this](ScreenParams &params) { storeFields(params); });
}

int QuickParamsDialog::run()
{
    // Shown before exec() starts, so the modality must be set up front.
    setWindowModality(Qt::ApplicationModal);
    show();
    loadFromCard();
    return exec();
}
