#include "ui/AboutDialog.h"

#include "base/AppPaths.h"
#include "ui/AnimatedPicture.h"

#include <QCoreApplication>
#include <QDir>

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

AboutDialog::AboutDialog(QWidget *parent, const QString &projectFile)
    : QDialog(parent), m_banner(new AnimatedPicture(this))
{
    setWindowTitle(QCoreApplication::translate("AboutDialog", "关于 Brivane"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_banner->setObjectName(QStringLiteral("banner"));

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(32, 32));
    auto *name = new QLabel(QCoreApplication::translate("AboutDialog", "Brivane 1.5 版"), this);
    name->setObjectName(QStringLiteral("name"));
    auto *notice =
        new QLabel(QCoreApplication::translate("AboutDialog", "LED 条屏与点阵屏的节目编辑、发送和控制卡设置工具。"), this);
    notice->setObjectName(QStringLiteral("notice"));
    auto *ok = new QPushButton(QCoreApplication::translate("AboutDialog", "确定"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_banner->setFixedSize(kBannerWidth, kBannerHeight);

    // Where the play list is kept (beside the program, or in the user's data
    // folder for an installed one); long paths are cut in the middle, the
    // tooltip and a selection give the whole path.
    const QString shownFile = QDir::toNativeSeparators(
        projectFile.isEmpty() ? defaultProjectFilePath() : projectFile);
    auto *where = new QLabel(this);
    where->setObjectName(QStringLiteral("projectFile"));
    const QString head = QCoreApplication::translate("AboutDialog", "节目文件：");
    where->setText(head + where->fontMetrics().elidedText(
                              shownFile, Qt::ElideMiddle,
                              kBannerWidth + 60 - where->fontMetrics().horizontalAdvance(head)));
    where->setToolTip(shownFile);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QGridLayout(this);
    layout->setHorizontalSpacing(12);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1);
    layout->addWidget(notice, 1, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->addWidget(m_banner, 2, 0, 1, 3, Qt::AlignLeft);
    layout->addWidget(where, 3, 0, 1, 3, Qt::AlignLeft);
    layout->setColumnStretch(1, 1);

    // Without the resource the banner stays empty and paints as a static.
    m_banner->loadFromFile(QStringLiteral(":/banner.gif"));
}

void AboutDialog::done(int result)
{
    m_banner->unload();
    QDialog::done(result);
}
