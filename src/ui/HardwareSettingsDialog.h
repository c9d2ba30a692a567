#pragma once
// "硬件设置": every field of the card's screen parameters (size, wiring
// options, row order, colour type, scan frequency, 138 decoder, scan mode),
// written with "设置" (the dialog stays open), and the card's factory reset.
// Reached only through the access password. Works on the project's
// ScreenParams; created on the stack by the screen parameter flow.

#include <QDialog>
#include <memory>

class NumberSpinEdit;
class CardSession;
class PlayList;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class ScreenSizeFields;
struct ScreenParams;

class HardwareSettingsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRowOrderMin = -15;
    static constexpr int kRowOrderMax = 15;

    HardwareSettingsDialog(CardSession &card, PlayList &list, QWidget *parent = nullptr);
    ~HardwareSettingsDialog() override;

    // Fills every field from the project's ScreenParams (the card is not
    // asked: the quick dialog has just read it).
    void fillFields();
    // "设置": writes the fields to the card.
    bool apply();
    // "恢复出厂设置": the card's factory reset, without a question.
    bool restoreFactorySettings();
    // Runs the dialog modally, "设置" disabled until the fields are filled.
    int run();

    NumberSpinEdit *widthField() const;
    NumberSpinEdit *heightField() const;

private:
    void storeFields(ScreenParams &params);

    CardSession &m_card;
    PlayList &m_list;
    std::unique_ptr<ScreenSizeFields> m_size; // its fields are the dialog's children
    QCheckBox *m_reverseData;
    QCheckBox *m_reverseOe;
    NumberSpinEdit *m_rowOrder;
    QComboBox *m_colour;
    QComboBox *m_frequency;
    QCheckBox *m_no138;
    QComboBox *m_scan;
    QLabel *m_warning;
    QPushButton *m_set;
    QPushButton *m_close;
    QPushButton *m_factory;
};
