#pragma once
// "快捷屏参": the screen size, colour type and two ready-made scan modes,
// written to the card with "确定" (the dialog stays open). Its button
// "高级设置 >> ..." ends it with kAdvancedResult, after which the caller
// asks for the access password and opens HardwareSettingsDialog. Works on
// the project's ScreenParams; created on the stack by the command.

#include <QDialog>
#include <memory>

class NumberSpinEdit;
class CardSession;
class PlayList;
class QComboBox;
class QPushButton;
class ScreenSizeFields;
struct ScreenParams;

class QuickParamsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kAdvancedResult = 1017;
    // Entries of the scan list.
    enum ScanChoice { KeepScan = 0, Indoor16 = 1, P10Quarter = 2 };

    QuickParamsDialog(CardSession &card, PlayList &list, QWidget *parent = nullptr);
    ~QuickParamsDialog() override;

    // Shows the dialog disabled, reads the card's parameters (on failure the
    // project's values stay) and fills the fields.
    void loadFromCard();
    // Fills the fields from the project's ScreenParams.
    void fillFields();
    // "确定": writes the fields to the card.
    bool apply();
    // Loads from the card and runs the dialog modally.
    int run();

    NumberSpinEdit *widthField() const;
    NumberSpinEdit *heightField() const;

private:
    void storeFields(ScreenParams &params);

    CardSession &m_card;
    PlayList &m_list;
    QComboBox *m_colour;
    QComboBox *m_scan;
    std::unique_ptr<ScreenSizeFields> m_size; // its fields are the dialog's children
    QPushButton *m_ok;
    QPushButton *m_close;
    QPushButton *m_advanced;
};
