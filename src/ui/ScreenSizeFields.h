#pragma once
// The screen width and height fields that both screen parameter dialogs
// share: filled from the ScreenParams record, and written back into it with
// the range rule (an out-of-range size becomes 64, shown in its field).
// Owned by the dialog that creates it; the two fields are its children.

class NumberSpinEdit;
class QWidget;
struct ScreenParams;

class ScreenSizeFields {
public:
    explicit ScreenSizeFields(QWidget *parent);

    NumberSpinEdit *width() const { return m_width; }
    NumberSpinEdit *height() const { return m_height; }

    void fill(const ScreenParams &params);
    // Reads both fields, replaces an out-of-range size by 64 (in the field
    // too) and stores the width and height codes.
    void store(ScreenParams &params);

private:
    NumberSpinEdit *m_width;
    NumberSpinEdit *m_height;
};
