#include "ui/BrightnessDialog.h"

#include "model/CardSession.h"
#include "ui/CommandResult.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

BrightnessDialog::BrightnessDialog(CardSession &card, QWidget *parent)
    : QDialog(parent), m_card(card), m_slider(new QSlider(Qt::Horizontal, this)),
      m_value(new QLabel(QStringLiteral("15"), this)),
      m_set(new QPushButton(QCoreApplication::translate("BrightnessDialog", "设置"), this)),
      m_close(new QPushButton(QCoreApplication::translate("BrightnessDialog", "关闭"), this))
{
    setWindowTitle(QCoreApplication::translate("BrightnessDialog", "亮度设置"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_slider->setObjectName(QStringLiteral("brightness"));
    m_value->setObjectName(QStringLiteral("value"));
    m_set->setObjectName(QStringLiteral("set"));
    m_close->setObjectName(QStringLiteral("close"));

    m_slider->setTickPosition(QSlider::NoTicks);
    m_slider->setRange(kMinBrightness, kMaxBrightness);
    m_slider->setMinimumWidth(200);
    m_value->setMinimumWidth(
        std::max(m_value->fontMetrics().horizontalAdvance(QStringLiteral("000")),
                 m_value->fontMetrics().horizontalAdvance(unknownText())));

    auto *title = new QLabel(QCoreApplication::translate("BrightnessDialog", "亮度值："), this);
    auto *darkest = new QLabel(QCoreApplication::translate("BrightnessDialog", "最暗"), this);
    auto *brightest = new QLabel(QCoreApplication::translate("BrightnessDialog", "最亮"), this);

    auto *grid = new QGridLayout;
    grid->addWidget(title, 0, 0);
    grid->addWidget(m_slider, 0, 1, 1, 2);
    grid->addWidget(m_value, 0, 3);
    grid->addWidget(darkest, 1, 1, Qt::AlignLeft);
    grid->addWidget(brightest, 1, 2, Qt::AlignRight);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_set);
    buttons->addWidget(m_close);
    buttons->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    m_set->setDefault(true);
    connect(m_set, &QPushButton::clicked, this, &BrightnessDialog::apply);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    // Moving the slider only shows the value; the card is told with "设置".
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int value) { m_value->setText(QString::number(value)); });

    // A failed read is not reported as an error; the value says it is not
    // known until the slider is moved (the slider rests at 13 meanwhile).
    int level = kFallbackBrightness;
    const bool read = m_card.readBrightness(&level).isOk();
    m_slider->setValue(read ? level : kFallbackBrightness);
    m_value->setText(read ? QString::number(m_slider->value()) : unknownText());
    if (!read)
        m_value->setToolTip(QCoreApplication::translate("BrightnessDialog", "控制卡没有回答，无法读取当前亮度。"));
}

QString BrightnessDialog::unknownText()
{
    return QCoreApplication::translate("BrightnessDialog", "未知");
}

bool BrightnessDialog::apply()
{
    const Outcome set = m_card.setBrightness(m_slider->value());
    showCommandResult(this, set);
    return set.isOk();
}
