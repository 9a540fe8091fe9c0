#include "wizards/image/MediaOpenDialog.h"

#include "app/PathUtil.h"
#include "app/UiPrompter.h"
#include "wizards/image/ImageInfo.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QTreeView>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const int kPreviewBox = 160;
}

QString MediaOpenDialog::filter()
{
    QString f = QStringLiteral(
        "All Media|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;*.RTF;*.SCM;*.TIF;*.WAV;*.MID;*.RMI;*.AVI;*.MOV;"
        "|BMP|*.BMP|CMS|*.CMS|GIF|*.GIF|JPG|*.JPG|PCX|*.PCX|PNG|*.PNG|SCM|*.SCM|TIF|*.TIF|Wav|*.WAV|Mid|*.MID"
        "|RMI|*.RMI|AVI|*.AVI|Mov|*.MOV");
    // Further picture types this system can show.
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    if (formats.contains("jpeg"))
        f += QStringLiteral("|JPEG|*.JPEG");
    if (formats.contains("webp"))
        f += QStringLiteral("|WebP|*.WEBP");
    if (formats.contains("svg"))
        f += QStringLiteral("|SVG|*.SVG");
    return f;
}

MediaOpenDialog::MediaOpenDialog(QWidget* parent) : QFileDialog(parent)
{
    setWindowTitle(QStringLiteral("Open File"));
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(PathUtil::qtFilter(filter()));
    auto* side = new QWidget(this);
    auto* sl = new QVBoxLayout(side);
    m_preview = new QLabel;
    m_preview->setFixedSize(kPreviewBox, kPreviewBox);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_about = new QLabel;
    m_about->setWordWrap(true);
    m_about->setFixedWidth(kPreviewBox);
    sl->addWidget(m_preview);
    sl->addWidget(m_about);
    sl->addStretch();
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(side, 0, grid->columnCount(), grid->rowCount(), 1);
    // The preview follows the file the cursor rests on, not every file it
    // passes over on the way.
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(200);
    connect(m_previewTimer, &QTimer::timeout, this, [this] { showPreview(m_previewPath); });
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        m_previewPath = path;
        m_previewTimer->start();
    });
    // Large enough for the file list's columns beside the preview.
    setViewMode(QFileDialog::Detail);
    if (auto* list = findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* h = list->header();
        const QFontMetrics fm(list->font());
        h->resizeSection(0, fm.horizontalAdvance(QString(32, QLatin1Char('x'))));
        int columns = 0;
        for (int i = 0; i < h->count(); ++i)
            columns += h->isSectionHidden(i) ? 0 : qMax(h->sectionSize(i), h->sectionSizeHint(i));
        const QSize hint = sizeHint();
        resize(qMax(hint.width(), columns + kPreviewBox + 160), qMax(hint.height(), 480));
    }
}

void MediaOpenDialog::showPreview(const QString& path)
{
    ImageInfo info;
    QImage picture;
    if (ImageInfo::queryAway(path, kPreviewBox, &info, &picture, nullptr)) {
        m_preview->setPixmap(QPixmap::fromImage(picture));
        m_about->setText(QStringLiteral("%1 x %2, %3").arg(QString::number(info.width), QString::number(info.height), info.fileType));
    } else {
        m_preview->clear();
        m_about->clear();
    }
}

QString MediaOpenDialog::getFile(QWidget* parent, const QString& dir)
{
    UiPrompter& prompter = UiPrompter::instance();
    if (!dynamic_cast<DialogPrompter*>(&prompter))
        return prompter.openFileName(parent, QStringLiteral("Open File"), dir, filter());
    MediaOpenDialog dialog(parent);
    dialog.setDirectory(dir);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
