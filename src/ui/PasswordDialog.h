#pragma once
// "密码": the access password in front of the hardware settings. Accepts
// either access code without regard to case; any other text shows
// "您的输入不正确！" and the dialog stays open. Created on the stack by the
// screen parameter flow.

#include <QDialog>

class QLineEdit;

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget *parent = nullptr);

    // True for "739" and "KX-417", compared without regard to case.
    static bool isAccessCode(const QString &text);

    QLineEdit *edit() const { return m_edit; }

    // "确定": ends with Accepted for an access code, else warns and stays.
    void accept() override;

private:
    QLineEdit *m_edit;
};
