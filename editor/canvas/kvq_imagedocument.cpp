#include "kvq_imagedocument.h"

#include "kv_picturefilevalidator.h"
#include "kv_picturereader.h"
#include "kv_toolscontroller.h"

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QMouseEvent>
#include <QSaveFile>

namespace {

constexpr int PictureWidth = 480;
constexpr int PictureHeight = 320;
// The view shows at most this much of the picture; larger pictures scroll.
constexpr QSize ViewSize(480, 260);

} // namespace

KVQ_ImageDocument::KVQ_ImageDocument(QCanvas* canvas, QWidget* parent, const char* name,
                                     Qt::WindowFlags flags)
    : QCanvasView(canvas, parent, name, flags), canvasPtr(canvas) {
    init();
}

KVQ_ImageDocument::~KVQ_ImageDocument() {
    delete tools;
    tools = nullptr;
    if (paint.isActive())
        paint.end();
    // The canvas outlives us possibly; it must not keep showing our picture by reference.
    if (canvasPtr) {
        canvasPtr->releaseBackgroundPixmap(&picture);
        canvasPtr->releaseBackgroundPixmap(&previewBuffer);
    }
}

void KVQ_ImageDocument::init() {
    // Qt's readers refuse pictures over 128 MB unless told otherwise; the document takes
    // pictures up to its own limit. The limit is the whole process's, so it is raised here,
    // before any dialog's readers run in other threads, and never lowered.
    const int neededMegabytes = int(KV_PictureFileValidator::MaxPixels * 4 / (1024 * 1024));
    const int limit = QImageReader::allocationLimit();
    if (limit != 0 && limit < neededMegabytes)
        QImageReader::setAllocationLimit(neededMegabytes);
    setViewSizeLimit(ViewSize);
    setVScrollBarMode(QScrollView::Auto);
    setHScrollBarMode(QScrollView::Auto);
    tools = new KV_ToolsController(this);
    if (tools)
        newImage();
}

void KVQ_ImageDocument::showPicture() {
    if (!canvasPtr)
        return;
    canvasPtr->resize(picture.width(), picture.height());
    canvasPtr->setBackgroundPixmapRef(&picture);
    previewBuffer = QPixmap();
}

bool KVQ_ImageDocument::newImage() {
    bool ended = true;
    if (paint.isActive())
        ended = paint.end();
    picture = QPixmap(PictureWidth, PictureHeight);
    picture.fill(Qt::white);
    fileDepth = KV_PictureDepth();
    showPicture();
    const bool begun = paint.begin(&picture);
    updateImage();
    if (tools)
        tools->resetFlags();
    fileFlag = false;
    markSaved(true);
    return ended && begun;
}

const char* KVQ_ImageDocument::chooseFormat(const char* format) const {
    const QString f = QString::fromLatin1(format);
    if (f == QLatin1String("BMP"))
        return bmpFormat;
    if (f == QLatin1String("JPG") || f == QLatin1String("JPEG"))
        return jpegFormat;
    if (f == QLatin1String("PNG"))
        return pngFormat;
    return nullptr;
}

bool KVQ_ImageDocument::readPicture(const QString& fileName, const char* format, QPixmap* out,
                                    KV_PictureDepth* depth) {
    QImage image;
    if (!KV_PictureReader::read(fileName, format, &image))
        return false;
    const KV_PictureDepth read = KV_PictureDepth::of(image);
    // A 32-bit picture becomes the pixmap without a copy.
    QPixmap pm = QPixmap::fromImage(std::move(image));
    if (pm.isNull())
        return false;
    out->swap(pm);
    *depth = read;
    return true;
}

bool KVQ_ImageDocument::loadImage(const QString& fileName, const char* format) {
    if (fileName.isNull())
        return false;
    // A load that fails (unsupported format included) keeps the previous
    // file name, format, flags and picture, so that a later Save cannot overwrite the file that
    // failed to load. The painter stays open on the picture throughout.
    const char* chosen = chooseFormat(format);
    if (!chosen)
        return false;
    QPixmap loaded;
    if (!readPicture(fileName, chosen, &loaded, &fileDepth))
        return false;
    takePicture(loaded);
    fName = fileName;
    curFormat = chosen;
    fileFlag = true;
    markSaved(true);
    return true;
}

bool KVQ_ImageDocument::restoreImage(const QImage& image, const QString& fileName,
                                     const char* format) {
    const char* chosen = chooseFormat(format);
    QPixmap restored = QPixmap::fromImage(image);
    if (restored.isNull() || (!fileName.isEmpty() && !chosen))
        return false;
    takePicture(restored);
    fileDepth = KV_PictureDepth();
    if (tools)
        tools->resetFlags();
    fName = fileName;
    curFormat = fileName.isEmpty() ? nullptr : chosen;
    fileFlag = !fileName.isEmpty();
    markSaved(false);
    return true;
}

void KVQ_ImageDocument::takePicture(QPixmap& pm) {
    if (paint.isActive())
        paint.end();
    picture.swap(pm);
    pm = QPixmap();
    showPicture();
    updateImage();
    paint.begin(&picture);
}

bool KVQ_ImageDocument::writePicture(const QString& fileName, const char* format) {
    if (!format || fileName.isEmpty() || picture.isNull())
        return false;
    QImage image = picture.toImage();
    if (qstrcmp(format, jpegFormat) != 0)
        image = fileDepth.apply(image);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, QByteArray(format).toLower());
    if (!writer.write(image)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool KVQ_ImageDocument::saveImage() {
    if (fName.isEmpty())
        return false;
    // Only a successful write counts as saved.
    const bool ok = writePicture(fName, curFormat);
    if (ok) {
        fileFlag = true;
        markSaved(true);
    }
    return ok;
}

bool KVQ_ImageDocument::saveImageAs(const QString& fileName, const char* format) {
    if (fileName.isEmpty())
        return false;
    const QString previousName = fName;
    const char* previousFormat = curFormat;
    if (const char* chosen = chooseFormat(format))
        curFormat = chosen;
    fName = fileName;
    const bool ok = writePicture(fName, curFormat);
    if (ok) {
        fileFlag = true;
        markSaved(true);
    } else {
        fName = previousName;
        curFormat = previousFormat;
    }
    return ok;
}

void KVQ_ImageDocument::contentsMousePressEvent(QMouseEvent* e) {
    if (tools)
        tools->mousePress(e);
}

void KVQ_ImageDocument::contentsMouseReleaseEvent(QMouseEvent* e) {
    if (tools)
        tools->mouseRelease(e);
}

void KVQ_ImageDocument::contentsMouseDoubleClickEvent(QMouseEvent* e) {
    contentsMousePressEvent(e);
}

void KVQ_ImageDocument::contentsMouseMoveEvent(QMouseEvent* e) {
    if (tools)
        tools->draw(e);
}

void KVQ_ImageDocument::viewportPaintEvent(QPaintEvent* e) {
    QCanvasView::viewportPaintEvent(e);
    const int vw = viewport()->width();
    const int vh = viewport()->height();
    const int clipWidth = vw > picture.width() ? picture.width() : 0;
    const int clipHeight = vh > picture.height() ? picture.height() : 0;
    if (clipWidth == 0 && clipHeight == 0) {
        resize(ViewSize);
        return;
    }
    if (clipWidth != 0)
        viewport()->resize(clipWidth, viewport()->height());
    if (clipHeight != 0)
        viewport()->resize(viewport()->width(), clipHeight);
}

void KVQ_ImageDocument::updateImage() {
    if (canvasPtr)
        canvasPtr->setBackgroundPixmapRef(&picture);
    previewBuffer = QPixmap();
    update();
    savedFlag = false;
    emit pictureChanged();
}

void KVQ_ImageDocument::markSaved(bool saved) {
    const bool becameSaved = saved && !savedFlag;
    savedFlag = saved;
    if (becameSaved)
        emit pictureSaved();
}

void KVQ_ImageDocument::updateImage(QPixmap* preview) {
    // The preview buffer is shown by reference: a shared copy would make the next preview's
    // painter copy the whole buffer again.
    if (canvasPtr && preview == &previewBuffer)
        canvasPtr->setBackgroundPixmapRef(preview);
    else if (canvasPtr && preview)
        canvasPtr->setBackgroundPixmap(*preview);
    update();
    savedFlag = false;
}

void KVQ_ImageDocument::setToolColor(int which, QColor color) {
    if (tools)
        tools->setToolColor(which, color);
}

void KVQ_ImageDocument::setToolAttribute(int attribute, int value) {
    if (tools)
        tools->setToolAttribute(attribute, value);
}

void KVQ_ImageDocument::setControlKey(bool pressed, int key) {
    if (tools)
        tools->setControlKey(pressed, key);
}

QPixmap* KVQ_ImageDocument::previewCopy() {
    if (previewBuffer.size() != picture.size() ||
        previewBuffer.hasAlphaChannel() != picture.hasAlphaChannel()) {
        // toImage copies the pixels of a pixmap being painted on (once); fromImage of that
        // image takes them over without a copy (same format).
        previewBuffer = QPixmap::fromImage(picture.toImage());
    } else {
        QPainter painter(&previewBuffer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(0, 0, picture);
    }
    return &previewBuffer;
}

void KVQ_ImageDocument::setPmScaled(const QPixmap& pm) {
    if (&pm == &picture)
        return;
    // Qt 6 refuses to assign to a pixmap that is being painted on: the painter is closed for
    // the assignment and opened again with the pen, brush and font it had.
    if (!paint.isActive()) {
        picture = pm;
        return;
    }
    const QPen pen = paint.pen();
    const QBrush brush = paint.brush();
    const QFont font = paint.font();
    paint.end();
    picture = pm;
    paint.begin(&picture);
    paint.setPen(pen);
    paint.setBrush(brush);
    paint.setFont(font);
}
