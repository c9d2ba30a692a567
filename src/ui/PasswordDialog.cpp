#include "ui/PasswordDialog.h"

#include "base/AppServices.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(QWidget *parent) : QDialog(parent), m_edit(new QLineEdit(this))
{
    setWindowTitle(QCoreApplication::translate("PasswordDialog", "密码"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_edit->setObjectName(QStringLiteral("password"));
    m_edit->setEchoMode(QLineEdit::Password);

    auto *label = new QLabel(QCoreApplication::translate("PasswordDialog", "请输入口令："), this);
    label->setBuddy(m_edit);

    auto *ok = new QPushButton(QCoreApplication::translate("PasswordDialog", "确定"), this);
    auto *cancel = new QPushButton(QCoreApplication::translate("PasswordDialog", "取消"), this);
    ok->setObjectName(QStringLiteral("ok"));
    cancel->setObjectName(QStringLiteral("cancel"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PasswordDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PasswordDialog::reject);

    auto *fields = new QVBoxLayout;
    fields->addWidget(label);
    fields->addWidget(m_edit);
    fields->addStretch(1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    m_edit->setFocus();
    setMinimumWidth(320);
}

bool PasswordDialog::isAccessCode(const QString &text)
{
    return text.compare(QLatin1String("739"), Qt::CaseInsensitive) == 0 ||
           text.compare(QLatin1String("KX-417"), Qt::CaseInsensitive) == 0;
}

void PasswordDialog::accept()
{
    if (isAccessCode(m_edit->text())) {
        QDialog::accept();
        return;
    }
    showMessage(this, QCoreApplication::translate("PasswordDialog", "您的输入不正确！"), QCoreApplication::translate("PasswordDialog", "错误"),
                MessageIcon::Warning);
    m_edit->setFocus();
}
