#include "kvq_imagedocument.h"

#include "kv_picturefilevalidator.h"
#include "kv_picturereader.h"
#include "kv_tool.h"
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
// The size the view asks for; it takes whatever room it is given.
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
    touched = QRegion();
}

bool KVQ_ImageDocument::newImage() {
    // Typed text or a floating piece belongs to the picture that goes.
    if (tools)
        tools->abandonTools();
    bool ended = true;
    if (paint.isActive())
        ended = paint.end();
    forgetHistory();
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
    if (tools)
        tools->abandonTools();
    takePicture(loaded);
    if (tools)
        tools->resetFlags();
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
    if (tools)
        tools->abandonTools();
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
    forgetHistory();
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
    if (tools)
        tools->settleTools();
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
    if (tools)
        tools->settleTools();
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
    // The view may be larger than the picture: a press beside it reaches no tool, and nor does
    // the drag that follows. A drag begun on the picture goes on beyond its edge.
    if (!picture.rect().contains(e->position().toPoint())) {
        e->ignore();
        return;
    }
    penDown = true;
    if (tools)
        tools->mousePress(e);
}

void KVQ_ImageDocument::contentsMouseReleaseEvent(QMouseEvent* e) {
    if (!penDown) {
        e->ignore();
        return;
    }
    if (e->buttons() == Qt::NoButton)
        penDown = false;
    if (tools)
        tools->mouseRelease(e);
}

void KVQ_ImageDocument::contentsMouseDoubleClickEvent(QMouseEvent* e) {
    contentsMousePressEvent(e);
}

void KVQ_ImageDocument::contentsMouseMoveEvent(QMouseEvent* e) {
    if (!penDown) {
        e->ignore();
        return;
    }
    if (tools)
        tools->draw(e);
}

void KVQ_ImageDocument::viewportPaintEvent(QPaintEvent* e) {
    // The view takes the room its parent gives it; beside a small picture lies the background.
    QCanvasView::viewportPaintEvent(e);
    // The current tool's marks over the picture (typed text, a selection) are not part of it.
    if (!tools || !tools->currentTool())
        return;
    QPainter overlay(viewport());
    overlay.setClipRegion(e->region());
    tools->currentTool()->paintOverlay(&overlay);
}

void KVQ_ImageDocument::updateOverlay(const QRect& area) {
    if (area.isEmpty())
        return;
    // A margin for outlines drawn around the area, at any zoom.
    viewport()->update(contentsToViewport(area).adjusted(-3, -3, 3, 3));
}

bool KVQ_ImageDocument::enlargePicture(const QSize& size) {
    const QSize grown = size.expandedTo(picture.size());
    if (grown == picture.size() ||
        qint64(grown.width()) * grown.height() > KV_PictureFileValidator::MaxPixels)
        return false;
    QImage before = takePixels();
    QImage larger(grown, before.format());
    larger.fill(Qt::white);
    {
        QPainter copy(&larger);
        copy.setCompositionMode(QPainter::CompositionMode_Source);
        copy.drawImage(0, 0, before);
    }
    if (history.replaceWhole(std::move(before)))
        emit historyChanged();
    putPixels(std::move(larger));
    showPicture();
    savedFlag = false;
    emit pictureChanged();
    return true;
}

void KVQ_ImageDocument::setZoomLevel(int level) {
    setZoomLevel(level, viewport()->rect().center());
}

void KVQ_ImageDocument::setZoomLevel(int level, const QPoint& anchor) {
    level = KV_ZoomLevels::step(level, 0);
    if (level == zoom)
        return;
    zoom = level;
    const KV_ZoomLevels::Scale s = KV_ZoomLevels::scale(level);
    setScale(s.num, s.den, anchor);
    emit zoomChanged();
}

void KVQ_ImageDocument::wheelZoom(int delta, const QPoint& viewportPos) {
    wheelTurn += delta;
    const int notches = wheelTurn / 120;
    if (notches == 0)
        return;
    wheelTurn -= notches * 120;
    setZoomLevel(KV_ZoomLevels::step(zoom, notches), viewportPos);
}

void KVQ_ImageDocument::updateImage() {
    showChanged(touched);
    touched = QRegion();
    savedFlag = false;
    emit pictureChanged();
}

void KVQ_ImageDocument::showChanged(const QRegion& area) {
    if (canvasPtr) {
        // Where the view shows the picture already and the tools said where they drew, only
        // that is repainted; otherwise the picture is shown anew.
        if (&canvasPtr->shownPixmap() == &picture && !area.isEmpty()) {
            for (const QRect& r : area)
                canvasPtr->setChanged(r);
        } else {
            canvasPtr->setBackgroundPixmapRef(&picture);
        }
    }
    previewBuffer = QPixmap();
}

void KVQ_ImageDocument::markSaved(bool saved) {
    const bool becameSaved = saved && !savedFlag;
    savedFlag = saved;
    if (saved) {
        // A change under way when the picture is saved ends there: undoing what follows comes
        // back to the state saved.
        if (history.stepOpen())
            finishChange();
        history.markSaved();
    }
    if (becameSaved)
        emit pictureSaved();
}

void KVQ_ImageDocument::aboutToChange(const QRect& area) {
    const QRect inside = area & picture.rect();
    if (inside.isEmpty())
        return;
    touched += inside;
    if (history.aboutToChange(inside))
        emit historyChanged();
}

void KVQ_ImageDocument::recordFill(KV_FillRecord record) {
    for (const KV_PixelRun& run : record.runs)
        touched += QRect(run.x0, run.y, run.x1 - run.x0, 1);
    if (history.recordFill(std::move(record)))
        emit historyChanged();
}

void KVQ_ImageDocument::finishChange() {
    if (!history.stepOpen())
        return;
    history.commit();
    emit historyChanged();
}

bool KVQ_ImageDocument::undo() {
    return applyHistory(true);
}

bool KVQ_ImageDocument::redo() {
    return applyHistory(false);
}

bool KVQ_ImageDocument::applyHistory(bool back) {
    if (tools)
        tools->resetFlags();
    if (back ? !history.canUndo() : !history.canRedo())
        return false;
    QImage image = takePixels();
    const QSize sizeBefore = image.size();
    const QRect area = back ? history.undo(&image) : history.redo(&image);
    const bool resized = image.size() != sizeBefore;
    putPixels(std::move(image));
    touched = QRegion();
    if (resized)
        showPicture();
    showChanged(QRegion(area));
    emit pictureChanged();
    // Back at the state last saved, the picture is saved again.
    if (history.atSaved())
        markSaved(true);
    else
        savedFlag = false;
    emit historyChanged();
    return true;
}

QImage KVQ_ImageDocument::takePixels() {
    if (paint.isActive()) {
        keptPen = paint.pen();
        keptBrush = paint.brush();
        keptFont = paint.font();
        paint.end();
    }
    // With the painter ended and the pixmap let go, the image holds the only reference to the
    // pixels: neither this nor putPixels copies them.
    QImage image = picture.toImage();
    picture = QPixmap();
    return image;
}

void KVQ_ImageDocument::putPixels(QImage&& image) {
    picture = QPixmap::fromImage(std::move(image));
    reopenPainter();
}

void KVQ_ImageDocument::forgetHistory() {
    history.clear();
    emit historyChanged();
}

void KVQ_ImageDocument::reopenPainter() {
    if (picture.isNull() || !paint.begin(&picture))
        return;
    paint.setPen(keptPen);
    paint.setBrush(keptBrush);
    paint.setFont(keptFont);
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
    if (tools)
        tools->abandonTools();
    // A new picture: the steps of the old one cannot apply to it.
    forgetHistory();
    if (savedFlag)
        history.markSaved();
    // Qt 6 refuses to assign to a pixmap that is being painted on: the painter is closed for
    // the assignment and opened again with the pen, brush and font it had.
    if (!paint.isActive()) {
        picture = pm;
        return;
    }
    keptPen = paint.pen();
    keptBrush = paint.brush();
    keptFont = paint.font();
    paint.end();
    picture = pm;
    reopenPainter();
}
