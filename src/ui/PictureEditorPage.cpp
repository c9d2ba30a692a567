#include "ui/PictureEditorPage.h"

#include "base/AppPaths.h"
#include "base/AppServices.h"
#include "base/AtoiValue.h"
#include "model/ItemEdit.h"
#include "model/PictureItem.h"
#include "ui/NumberSpinEdit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTreeView>

namespace {

constexpr int kLimitMin = 1;
constexpr int kLimitMax = 255;
// The arrows step by 1, and by 4 once held for two seconds.
constexpr int kLimitFastStep = 4;
constexpr int kLimitHoldMs = 2000;

PictureEditorPage::FileChooser &fileChooser()
{
    static PictureEditorPage::FileChooser chooser;
    return chooser;
}

// Qt's own file dialog (where the system has none) opens at this size,
// within the screen.
constexpr QSize kFileDialogSize(760, 480);

QString systemFileDialog(QWidget *parent, const QString &startDir, const QString &filter)
{
    QFileDialog dialog(parent, QString(), startDir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile); // only files that exist
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.resize(kFileDialogSize.boundedTo(screen->availableGeometry().size() * 9 / 10));
    // Its detail view: the names take the room the size, type and date
    // columns leave, and those show whole.
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

QString PictureEditorPage::fileFilter()
{
    return QCoreApplication::translate("PictureEditorPage", "图片文件(*.bmp *.jpg *.jpeg *.tiff *.gif *.ico *.png);;所有文件(*)");
}

void PictureEditorPage::setFileChooser(FileChooser chooser)
{
    fileChooser() = std::move(chooser);
}

PictureEditorPage::PictureEditorPage(PictureItem *item, QWidget *parent)
    : QWidget(parent), m_item(item), m_path(new QLineEdit(this)),
      m_browse(new QPushButton(QCoreApplication::translate("PictureEditorPage", "浏览..."), this)),
      m_centre(new QRadioButton(QCoreApplication::translate("PictureEditorPage", "居中显示图片"))),
      m_stretch(new QRadioButton(QCoreApplication::translate("PictureEditorPage", "缩放到和屏一样大"))),
      m_invert(new QCheckBox(QCoreApplication::translate("PictureEditorPage", "图像反色"), this)), m_limit(new NumberSpinEdit(this)),
      m_preview(new QPushButton(QCoreApplication::translate("PictureEditorPage", "预览"), this))
{
    m_path->setObjectName(QStringLiteral("path"));
    m_browse->setObjectName(QStringLiteral("browse"));
    m_centre->setObjectName(QStringLiteral("centre"));
    m_stretch->setObjectName(QStringLiteral("stretch"));
    m_invert->setObjectName(QStringLiteral("invert"));
    m_limit->setObjectName(QStringLiteral("limit"));
    m_preview->setObjectName(QStringLiteral("preview"));

    m_path->setReadOnly(true);
    m_browse->setDefault(true);

    auto *pathRow = new QHBoxLayout;
    auto *pathLabel = new QLabel(QCoreApplication::translate("PictureEditorPage", "图片路径："), this);
    pathLabel->setBuddy(m_browse);
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);

    auto *fitting = new QGroupBox(QCoreApplication::translate("PictureEditorPage", "当图片和屏不一样大时："), this);
    auto *fittingRow = new QHBoxLayout(fitting);
    fittingRow->addSpacing(30);
    fittingRow->addWidget(m_centre);
    fittingRow->addSpacing(30);
    fittingRow->addWidget(m_stretch);
    fittingRow->addStretch(1);

    auto *limitLabel = new QLabel(QCoreApplication::translate("PictureEditorPage", "亮度："), this);
    limitLabel->setBuddy(m_limit);
    auto *lowerRow = new QHBoxLayout;
    lowerRow->addSpacing(30);
    lowerRow->addWidget(m_invert);
    lowerRow->addSpacing(16);
    lowerRow->addWidget(limitLabel);
    lowerRow->addWidget(m_limit);
    lowerRow->addWidget(m_preview);
    lowerRow->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(pathRow);
    layout->addWidget(fitting);
    layout->addLayout(lowerRow);
    layout->addStretch(1);

    // Opening, in order: path, fitting, the spin, the limit, the inversion.
    m_path->setText(m_item->content());
    (m_item->mode() == 1 ? m_stretch : m_centre)->setChecked(true);
    m_limit->setRange(kLimitMin, kLimitMax);
    m_limit->setSingleStep(1);
    m_limit->setAcceleration(kLimitFastStep, kLimitHoldMs);
    m_limit->setTextEditable(false);
    m_limit->setValue(m_item->limit());
    m_invert->setChecked(m_item->reverse() == 1);
    m_initialised = true;

    connect(m_browse, &QPushButton::clicked, this, &PictureEditorPage::browse);
    connect(m_centre, &QRadioButton::clicked, this, [this] { editAndShow(ItemSetting::Mode, 0); });
    connect(m_stretch, &QRadioButton::clicked, this, [this] { editAndShow(ItemSetting::Mode, 1); });
    connect(m_invert, &QCheckBox::clicked, this,
            [this](bool checked) { editAndShow(ItemSetting::Reverse, checked ? 1 : 0); });
    connect(m_limit, &NumberSpinEdit::textChanged, this, [this](const QString &text) {
        if (m_initialised)
            editItem(*m_item, ItemSetting::Limit, atoiValue(text));
    });
    connect(m_preview, &QPushButton::clicked, this, &PictureEditorPage::applyChange);
}

void PictureEditorPage::browse()
{
    // The current picture's folder, else the project's: pictures are kept
    // beside the project file.
    const QString current = m_item->resolvedPath();
    const QString projectFile = m_item->context().projectFilePath.isEmpty()
                                    ? defaultProjectFilePath()
                                    : m_item->context().projectFilePath;
    const QString startDir = QFileInfo(current.isEmpty() ? projectFile : current).absolutePath();
    // Qt's dialogs answer with "/"; a Windows user reads and keeps "C:\pics\a.png".
    const QString path =
        QDir::toNativeSeparators(fileChooser() ? fileChooser()(this, startDir, fileFilter())
                                               : systemFileDialog(this, startDir, fileFilter()));
    if (path.isEmpty())
        return;
    // A picture the program cannot decode is refused, with the reason; the
    // program keeps its picture.
    if (const QString problem = PageBitmap::pictureProblem(path); !problem.isEmpty()) {
        showMessage(this, problem, applicationTitle(), MessageIcon::Warning);
        return;
    }
    m_path->setText(path);
    if (editItem(*m_item, ItemSetting::Content, path))
        Q_EMIT contentChanged();
}

void PictureEditorPage::editAndShow(ItemSetting setting, int value)
{
    if (editItem(*m_item, setting, value))
        Q_EMIT contentChanged();
}

void PictureEditorPage::applyChange()
{
    m_item->buildPages();
    Q_EMIT contentChanged();
}
