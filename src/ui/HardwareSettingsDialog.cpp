#include "ui/HardwareSettingsDialog.h"

#include "base/AppServices.h"
#include "base/AtoiValue.h"
#include "link/ScanModes.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "ui/CommandResult.h"
#include "ui/NumberSpinEdit.h"
#include "ui/ScreenParamsWrite.h"
#include "ui/ScreenSizeFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HardwareSettingsDialog::HardwareSettingsDialog(CardSession &card, PlayList &list,
                                               QWidget *parent)
    : QDialog(parent), m_card(card), m_list(list), m_size(std::make_unique<ScreenSizeFields>(this)),
      m_reverseData(new QCheckBox(QCoreApplication::translate("HardwareSettingsDialog", "反数据"), this)),
      m_reverseOe(new QCheckBox(QCoreApplication::translate("HardwareSettingsDialog", "反OE"), this)),
      m_rowOrder(new NumberSpinEdit(this)), m_colour(new QComboBox(this)),
      m_frequency(new QComboBox(this)), m_no138(new QCheckBox(QCoreApplication::translate("HardwareSettingsDialog", "无138译码"), this)),
      m_scan(new QComboBox(this)),
      m_warning(new QLabel(QCoreApplication::translate("HardwareSettingsDialog", "提示：不明白含义的属性不要乱改，否则会烧屏！"), this)),
      m_set(new QPushButton(QCoreApplication::translate("HardwareSettingsDialog", "设置"), this)),
      m_close(new QPushButton(QCoreApplication::translate("HardwareSettingsDialog", "关闭"), this)),
      m_factory(new QPushButton(QCoreApplication::translate("HardwareSettingsDialog", "恢复出厂设置"), this))
{
    setWindowTitle(QCoreApplication::translate("HardwareSettingsDialog", "硬件设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_reverseData->setObjectName(QStringLiteral("reverseData"));
    m_reverseOe->setObjectName(QStringLiteral("reverseOe"));
    m_rowOrder->setObjectName(QStringLiteral("rowOrder"));
    m_colour->setObjectName(QStringLiteral("colourType"));
    m_frequency->setObjectName(QStringLiteral("frequency"));
    m_no138->setObjectName(QStringLiteral("no138"));
    m_scan->setObjectName(QStringLiteral("scanMode"));
    m_warning->setObjectName(QStringLiteral("warning"));
    m_set->setObjectName(QStringLiteral("set"));
    m_close->setObjectName(QStringLiteral("close"));
    m_factory->setObjectName(QStringLiteral("factoryReset"));

    m_rowOrder->setRange(kRowOrderMin, kRowOrderMax);
    m_rowOrder->setSingleStep(1);
    m_colour->addItems({QCoreApplication::translate("HardwareSettingsDialog", "单红"), QCoreApplication::translate("HardwareSettingsDialog", "红绿双色")});
    m_frequency->addItems({QStringLiteral("1.0M"), QStringLiteral("1.25M"), QStringLiteral("1.5M"),
                           QStringLiteral("1.75M"), QStringLiteral("2.0M")});
    for (int i = 0; i < ScanModes::kCount; ++i)
        m_scan->addItem(QCoreApplication::translate("ScanModes", ScanModes::name(i).toUtf8().constData()));

    // Only the warning is drawn in blue, on the usual background.
    QPalette warningPalette = m_warning->palette();
    warningPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_warning->setPalette(warningPalette);

    auto *fields = new QGridLayout;
    auto addField = [&](int row, int column, const QString &label, QWidget *field) {
        auto *text = new QLabel(label, this);
        text->setBuddy(field);
        fields->addWidget(text, row, column * 2);
        fields->addWidget(field, row, column * 2 + 1);
    };
    addField(0, 0, QCoreApplication::translate("HardwareSettingsDialog", "屏    高："), m_size->height());
    addField(0, 1, QCoreApplication::translate("HardwareSettingsDialog", "屏    宽："), m_size->width());
    fields->addWidget(m_reverseData, 1, 1);
    fields->addWidget(m_reverseOe, 1, 3);
    addField(2, 0, QCoreApplication::translate("HardwareSettingsDialog", "行 顺 序："), m_rowOrder);
    addField(2, 1, QCoreApplication::translate("HardwareSettingsDialog", "颜色类型："), m_colour);
    addField(3, 0, QCoreApplication::translate("HardwareSettingsDialog", "扫描频率："), m_frequency);
    fields->addWidget(m_no138, 3, 3);
    auto *scanLabel = new QLabel(QCoreApplication::translate("HardwareSettingsDialog", "扫描方式："), this);
    scanLabel->setBuddy(m_scan);
    fields->addWidget(scanLabel, 4, 0);
    fields->addWidget(m_scan, 4, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_set);
    buttons->addWidget(m_close);
    buttons->addStretch(1);
    buttons->addWidget(m_factory);

    auto *top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addSpacing(8);
    top->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_warning);

    m_set->setDefault(true);
    connect(m_set, &QPushButton::clicked, this, &HardwareSettingsDialog::apply);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_factory, &QPushButton::clicked, this,
            &HardwareSettingsDialog::restoreFactorySettings);

    fillFields();
}

HardwareSettingsDialog::~HardwareSettingsDialog() = default;

NumberSpinEdit *HardwareSettingsDialog::widthField() const
{
    return m_size->width();
}
NumberSpinEdit *HardwareSettingsDialog::heightField() const
{
    return m_size->height();
}

void HardwareSettingsDialog::fillFields()
{
    const ScreenParams &params = m_card.screenParams();
    m_size->fill(params);
    m_reverseData->setChecked(params.reverseData());
    m_reverseOe->setChecked(params.reverseOe());
    m_rowOrder->setValue(params.rowOrder());
    const int colour = params.colourType() - 1;
    m_colour->setCurrentIndex(colour >= 0 && colour < m_colour->count() ? colour : -1);
    const int frequency = params.frequency() - 1;
    m_frequency->setCurrentIndex(frequency >= 0 && frequency < m_frequency->count() ? frequency
                                                                                    : -1);
    m_no138->setChecked(params.no138());
    m_scan->setCurrentIndex(ScanModes::indexOf(uint8_t(params.scanMode())));
}

void HardwareSettingsDialog::storeFields(ScreenParams &params)
{
    m_size->store(params);
    params.bytes[ScreenParams::ReverseData] = m_reverseData->isChecked() ? 1 : 0;
    params.bytes[ScreenParams::ReverseOe] = m_reverseOe->isChecked() ? 1 : 0;
    // The row order travels as its low byte (two's complement).
    params.bytes[ScreenParams::RowOrder] = uint8_t(m_rowOrder->value() & 0xFF);
    const int colour = m_colour->currentIndex();
    if (colour == 0 || colour == 1)
        params.bytes[ScreenParams::ColourType] = uint8_t(colour + 1);
    // A frequency the card reported outside the list is shown as no
    // selection and sent back unchanged rather than as 0.
    const int frequency = m_frequency->currentIndex();
    if (frequency >= 0)
        params.bytes[ScreenParams::Frequency] = uint8_t(frequency + 1);
    params.bytes[ScreenParams::No138] = m_no138->isChecked() ? 2 : 0;
    params.bytes[ScreenParams::ScanMode] = ScanModes::code(m_scan->currentIndex());
}

bool HardwareSettingsDialog::apply()
{
    return writeScreenParamsToCard(this, m_card, m_list,
                                   [this](ScreenParams &params) { storeFields(params); });
}

bool HardwareSettingsDialog::restoreFactorySettings()
{
    const Outcome restored = m_card.restoreFactorySettings();
    showCommandResult(this, restored);
    return restored.isOk();
}

int HardwareSettingsDialog::run()
{
    // Shown before exec() starts, so the modality must be set up front.
    setWindowModality(Qt::ApplicationModal);
    show();
    m_set->setEnabled(false);
    pumpMessages();
    fillFields();
    m_set->setEnabled(true);
    return exec();
}
