#pragma once
// The item property editor "信息编辑器": the content page chosen by the
// item's kind (TextEditorPage or PictureEditorPage), the speed level, stay
// time, flash mode and flash interval, and a preview of the item. Every
// change is written into the item at once; there is nothing to confirm or
// cancel. Created on the stack by the command that edits an item; the item
// is borrowed, the page and the preview are owned.

#include <QDialog>

class NumberSpinEdit;
class PreviewPanel;
class ProgramItem;
class QComboBox;
class QPushButton;

class ItemEditorDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStayMin = 0;
    static constexpr int kStayMax = 255;
    static constexpr int kIntervalMin = 2;
    static constexpr int kIntervalMax = 255;

    ItemEditorDialog(ProgramItem *item, QWidget *parent = nullptr);
    ~ItemEditorDialog() override;

    // False for an item of neither kind: such an item cannot be edited and
    // the dialog is not shown.
    bool hasPage() const { return m_page != nullptr; }
    QWidget *page() const { return m_page; }
    PreviewPanel *preview() const { return m_preview; }

    // Runs the dialog modally; an item of neither kind ends it at once with
    // QDialog::Rejected.
    int run();

private:
    void stayTimeEdited(const QString &text);
    void refreshPreview();

    ProgramItem *m_item;
    QWidget *m_page = nullptr;
    QComboBox *m_level;
    NumberSpinEdit *m_stay;
    QComboBox *m_flash;
    NumberSpinEdit *m_interval;
    PreviewPanel *m_preview;
    QPushButton *m_done;
    // False while the controls are filled, so filling writes nothing back.
    bool m_initialised = false;
};
