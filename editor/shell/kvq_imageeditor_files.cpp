// File commands: New, Open, Save, Quit, the start-up open, a dropped file and the name shown for a
// picture.
#include "kvq_imageeditor.h"

#include "kv_recoveryfile.h"
#include "kvq_filedialog.h"
#include "kvq_filehandler.h"
#include "kvq_imagedocument.h"
#include "kvq_messagebox.h"
#include "kvq_titlebar.h"

#include <qimageio.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <sys/resource.h>

namespace {

const char* const ChangedText = "The document has been changed. Save it.";
const char* const OpenChangedText = "The document has been changed. Save it";
const char* const NotLoadedText = "The Image could not be loaded";

// The display-name scan: from the last character down to the second, the first '.' met cuts
// the name there; the first '/' met ends the scan, and with dropFolder the folder goes too.
QString stripName(QString name, bool dropFolder) {
    if (name.size() > 256)
        name = name.right(255);
    bool cut = false;
    for (qsizetype i = name.size() - 1; i >= 1; --i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('.') && !cut) {
            name.truncate(i);
            cut = true;
        } else if (c == QLatin1Char('/')) {
            if (dropFolder)
                name.remove(0, i + 1);
            break;
        }
    }
    return name;
}

bool isLoadableFormat(const char* format) {
    for (const char* loadable : {"BMP", "JPEG", "JPG", "PNG"})
        if (qstrcmp(format, loadable) == 0)
            return true;
    return false;
}

} // namespace

bool KVQ_imageEditor::askToSave(const QString& caption, const QString& text) {
    if (!document || document->saved())
        return true;
    // Escape cancels: only "No" throws the changes away.
    const int answer =
        KVQ_MessageBox::information(this, caption, text, QStringLiteral("Ok"), QStringLiteral("No"),
                                    QStringLiteral("Cancel"), 0, 2);
    if (answer == 1)
        return true;
    if (answer != 0)
        return false;
    // "Ok" goes on only once the picture is written; with Save switched off, through Save As.
    if (fileSaveAction->isEnabled())
        fileSave();
    else
        fileSaveAs();
    return document->saved();
}

void KVQ_imageEditor::errorMessage(const QString& text) {
    KVQ_MessageBox::information(this, QStringLiteral("Error Message"), text, 0, 1, 0);
}

void KVQ_imageEditor::fileNew() {
    if (!askToSave(QStringLiteral("Save"), QLatin1String(ChangedText)))
        return;
    document->newImage();
    showName(QStringLiteral("Image1"));
    setWritable(true);
}

void KVQ_imageEditor::fileOpen() {
    if (!askToSave(QStringLiteral("Save"), QLatin1String(OpenChangedText)))
        return;
    if (openChosenFile())
        return;
    // The dialog was dismissed. Changes the user chose to keep stay on screen; otherwise the
    // last file is read again, or a new picture starts.
    if (!document->saved())
        return;
    if (!currentFileName.isNull()) {
        document->loadImage(currentFileName, QImageIO::imageFormat(currentFileName));
        imageCaption(currentFileName);
    } else {
        fileNew();
    }
}

bool KVQ_imageEditor::openChosenFile() {
    for (;;) {
        const bool chosen = KVQ_FileDialog::getOpenFile(
            backpackFile, QStringList(QStringLiteral("JPG,BMP,PNG")),
            QStringList(QStringLiteral("jpeg,bmp,png")), QString(), QString(), QString(), nullptr,
            nullptr, QStringLiteral("Open"));
        if (!chosen)
            return false;
        const KVQ_FileHandler handler(backpackFile);
        if (openFile(handler.getPath(), handler.getExt(), handler.size()) != OpenOutcome::Refused)
            return true;
    }
}

KVQ_imageEditor::OpenOutcome KVQ_imageEditor::openFile(const QString& path,
                                                       const QString& extension, qint64 size) {
    rlimit limit{};
    const quint64 softLimit = getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                                  ? quint64(limit.rlim_cur)
                                  : NoAddressLimit;
    if (!sizeAcceptable(size, softLimit)) {
        errorMessage(QStringLiteral("The File size is too large"));
        return OpenOutcome::Refused;
    }
    if (path.isNull())
        return OpenOutcome::Missing;
    if (!QFile::exists(path)) {
        errorMessage(QStringLiteral("The File doesn't exists"));
        return OpenOutcome::Missing;
    }
    const QFileInfo info(path);
    setWritable(info.permission(QFileDevice::WriteUser));
    if (!info.permission(QFileDevice::ReadUser)) {
        errorMessage(QStringLiteral("The File does not have Read Permission"));
        return OpenOutcome::Refused;
    }
    // The file's extension names the format it is read as.
    if (!document->loadImage(path, extension.toUpper().toLatin1().constData())) {
        errorMessage(QLatin1String(NotLoadedText));
        return OpenOutcome::Refused;
    }
    imageCaption(path);
    return OpenOutcome::Loaded;
}

void KVQ_imageEditor::dragEnterEvent(QDragEnterEvent* event) {
    // Files come from a file manager as URLs; whether one can be opened is told on the drop.
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void KVQ_imageEditor::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that the file manager is not kept waiting while the
    // question about unsaved changes is open. Of several files, the first is opened.
    QTimer::singleShot(0, this, [this, url = urls.first()] { openDropped(url); });
}

void KVQ_imageEditor::openDropped(const QUrl& url) {
    const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
    KVQ_BackpackFile dropped(path);
    const KVQ_FileHandler handler(dropped);
    // Only a local file of a picture format is opened, as from the Open dialog; anything else is
    // refused before the question about unsaved changes.
    if (path.isEmpty() || !isLoadableFormat(handler.getExt().toUpper().toLatin1().constData())) {
        errorMessage(QLatin1String(NotLoadedText));
        return;
    }
    if (!document || !askToSave(QStringLiteral("Save"), QLatin1String(OpenChangedText)))
        return;
    if (openFile(handler.getPath(), handler.getExt(), handler.size()) == OpenOutcome::Loaded)
        backpackFile = dropped; // Open and Save As start from it, as from a file opened
}

bool KVQ_imageEditor::sizeAcceptable(qint64 size, quint64 softLimit) {
    constexpr quint64 MaxFileSize = 60000000;
    constexpr quint64 Reserve = 10000000; // kept free for decoding and the rest of the process
    const quint64 bytes = size > 0 ? quint64(size) : 0;
    if (bytes > MaxFileSize)
        return false;
    if (softLimit == NoAddressLimit)
        return true;
    const quint64 headroom = softLimit > Reserve ? softLimit - Reserve : 0;
    return bytes <= headroom;
}

void KVQ_imageEditor::setWritable(bool writable) {
    fileSaveAction->setEnabled(writable);
    QPixmap icon(writable ? QStringLiteral("imageeditorapp16x16.png")
                          : QStringLiteral("imageeditorapp32x32.png"));
    titleBar->setMenuIcon(&icon);
}

void KVQ_imageEditor::fileSave() {
    if (!fileSaveAction->isEnabled() || document->saved())
        return;
    if (!document->isFile())
        fileSaveAs();
    else if (!document->saveImage())
        errorMessage(QStringLiteral("The Image could not be Saved"));
}

void KVQ_imageEditor::closeAll() {
    if (!askToSave(QStringLiteral("Image Editor"), QLatin1String(ChangedText)))
        return;
    recovery->discard(); // saved, or thrown away on purpose
    QApplication::exit(0);
}

void KVQ_imageEditor::closeEvent(QCloseEvent* event) {
    if (!askToSave(QStringLiteral("Image Editor"), QLatin1String(ChangedText))) {
        event->ignore();
        return;
    }
    recovery->discard();
    event->accept();
}

void KVQ_imageEditor::inputFileName(const char* name) {
    const QString path = QFile::decodeName(name);
    const char* format = QImageIO::imageFormat(path);
    const auto warn = [this, &path] {
        KVQ_MessageBox::warning(this, QStringLiteral("Error Message"),
                                QLatin1String(NotLoadedText) + QLatin1Char('\n') +
                                    QDir::toNativeSeparators(path),
                                QStringLiteral("OK"), QString(), QString(), 0, -1);
    };
    if (!isLoadableFormat(format)) {
        warn();
        return;
    }
    const QFileInfo info(path);
    if (info.permission(QFileDevice::WriteUser)) {
        fileSaveAction->setEnabled(true);
    } else {
        fileSaveAction->setEnabled(false);
        setIcon(createIcon());
    }
    if (info.permission(QFileDevice::ReadUser) && document->loadImage(path, format))
        imageCaption(path);
    else
        warn();
}

void KVQ_imageEditor::imageCaption(QString name) {
    currentFileName = name;
    showName(stripName(name, true));
}

void KVQ_imageEditor::showName(const QString& shown) {
    titleBar->setText(shown);
    setCaption(windowTitleFor(shown));
}

QString KVQ_imageEditor::windowTitleFor(const QString& displayName) {
    // "[*]" in a window title is Qt's mark for unsaved changes; doubled it shows as itself.
    QString name = displayName;
    name.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    return name + QStringLiteral(" - Image Editor");
}

QString KVQ_imageEditor::getOnlyFileName(QString path) {
    return stripName(path, false);
}
