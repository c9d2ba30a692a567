#pragma once
// "关于 Brivane": the program's icon, name and version, a one-line notice
// and the animated banner. The banner stops and frees its frames when the
// dialog closes. Created on the stack by the "关于..." command.

#include <QDialog>

class AnimatedPicture;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBannerWidth = 297;
    static constexpr int kBannerHeight = 36;

    // projectFile: the play list's file the dialog names; empty for the
    // default one.
    explicit AboutDialog(QWidget *parent = nullptr, const QString &projectFile = QString());

    AnimatedPicture *banner() const { return m_banner; }

    void done(int result) override;

private:
    AnimatedPicture *m_banner;
};
