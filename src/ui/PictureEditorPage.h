#pragma once
// The page of the item property editor on which a picture program's image
// file, fitting, inversion and brightness limit are edited. File, fitting
// and inversion rebuild the pages and announce contentChanged at once; a
// new limit is stored at once and shows after the next rebuild ("预览").
// Created and owned by ItemEditorDialog; the item is borrowed.

#include "model/ItemEdit.h"

#include <QWidget>
#include <functional>

class NumberSpinEdit;
class PictureItem;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class PictureEditorPage : public QWidget {
    Q_OBJECT
public:
    // Asks the user for an existing file; returns its full path, or an
    // empty string when cancelled.
    using FileChooser =
        std::function<QString(QWidget *parent, const QString &startDir, const QString &filter)>;

    PictureEditorPage(PictureItem *item, QWidget *parent = nullptr);

    // The file dialog's filters: the picture types first, then all files.
    static QString fileFilter();
    // Replaces the system's file dialog (tests); an empty chooser restores it.
    static void setFileChooser(FileChooser chooser);

    // Rebuilds the item's pages and announces the change ("预览").
    void applyChange();
    // "浏览...": choose the image file.
    void browse();

Q_SIGNALS:
    void contentChanged();

private:
    // Stores a setting through the item's edit entry point and announces
    // the change when the pages followed it.
    void editAndShow(ItemSetting setting, int value);
    PictureItem *m_item;
    QLineEdit *m_path;
    QPushButton *m_browse;
    QRadioButton *m_centre;
    QRadioButton *m_stretch;
    QCheckBox *m_invert;
    NumberSpinEdit *m_limit;
    QPushButton *m_preview;
    bool m_initialised = false;
};
