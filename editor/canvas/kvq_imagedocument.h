// KVQ_ImageDocument: the drawing surface of the image editor. A QCanvasView that holds
// the picture, keeps a painter open on it, remembers its file and format, tracks unsaved
// changes, hands every pen event to its tools controller and keeps the history of the changes
// (undo and redo).
#ifndef KVQ_IMAGEDOCUMENT_H
#define KVQ_IMAGEDOCUMENT_H

#include "kv_fillrecord.h"
#include "kv_history.h"
#include "kv_picturedepth.h"
#include "kv_toolcodes.h"
#include "kv_zoomlevels.h"

#include <qcanvas.h>

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QString>

class KV_ToolsController;
class QImage;

class KVQ_ImageDocument : public QCanvasView {
    Q_OBJECT
public:
    KVQ_ImageDocument(QCanvas* canvas, QWidget* parent = nullptr, const char* name = nullptr,
                      Qt::WindowFlags flags = {});
    ~KVQ_ImageDocument() override;

    bool newImage();
    bool loadImage(const QString& fileName, const char* format);
    bool saveImage();
    bool saveImageAs(const QString& fileName, const char* format);
    // Takes image as the picture, unsaved, bound to fileName in format when fileName is not
    // empty (a picture recovered after a crash, under its original name).
    bool restoreImage(const QImage& image, const QString& fileName, const char* format);

    void updateImage();
    void updateImage(QPixmap* preview);

    void setToolColor(int which, QColor color);
    void setToolAttribute(int attribute, int value);
    void setControlKey(bool pressed, int key);

    QPainter* painter() { return &paint; }
    QPixmap* pmScaled() { return &picture; }
    void setPmScaled(const QPixmap& pm);
    QCanvas* canvas() const { return canvasPtr.data(); }
    bool saved() const { return savedFlag; }
    bool isFile() const { return fileFlag; }

    // The preview buffer, holding a fresh copy of the picture to draw a preview on and show
    // with updateImage(QPixmap*). The buffer is kept while previews follow each other, so a
    // move copies the pixels into memory already in use instead of allocating a new picture;
    // updateImage() and showPicture() let it go.
    QPixmap* previewCopy();
    // Shows the picture itself again (ending a preview) without marking a change.
    void showPicture();
    // For the editor's messages and for tests.
    QString fileName() const { return fName; }
    const char* currentFormat() const { return curFormat; }
    KV_ToolsController* toolsController() const { return tools; }
    // The depth of the file the picture was read from (32 bits for a picture made here).
    const KV_PictureDepth& pictureDepth() const { return fileDepth; }
    // Grows the picture to at least `size`, the new part white, as the beginning of one step of
    // the history that the changes until the next finishChange join. False when the picture
    // would be larger than a picture may be, or is as large already.
    bool enlargePicture(const QSize& size);
    // Repaints the view over `area` of the picture, for the current tool's overlay.
    void updateOverlay(const QRect& area);

    // The tools' side of the history. A tool reports each area of the picture before it draws
    // there, or a fill what it filled; finishChange ends the change under way as one step.
    void aboutToChange(const QRect& area);
    void recordFill(KV_FillRecord record);
    void finishChange();
    // Takes back the last change, or makes the next one again; a change under way is finished
    // first. False when there was nothing to do. Coming back to the state last saved marks the
    // picture saved.
    bool undo();
    bool redo();
    bool canUndo() const { return history.canUndo() || history.stepOpen(); }
    bool canRedo() const { return history.canRedo(); }
    KV_History* undoHistory() { return &history; }

    // Direct access to the picture's pixels, for changes a painter cannot make: takePixels ends
    // the painter and hands over the picture as an image (without copying it); putPixels makes
    // the image the picture again, with the painter open as before. Nothing may paint between.
    QImage takePixels();
    void putPixels(QImage&& image);

    // The view's zoom, a level of KV_ZoomLevels; the picture itself never changes by zooming.
    // The picture point under `anchor` (viewport coordinates) stays where it is; without an
    // anchor, the one in the middle of the view.
    int zoomLevel() const { return zoom; }
    void setZoomLevel(int level);
    void setZoomLevel(int level, const QPoint& anchor);
    void zoomIn() { setZoomLevel(KV_ZoomLevels::step(zoom, 1)); }
    void zoomOut() { setZoomLevel(KV_ZoomLevels::step(zoom, -1)); }

signals:
    // A change reached the picture (previews do not count).
    void pictureChanged();
    // The picture has no unsaved changes any more: it was saved, loaded or started anew.
    void pictureSaved();
    // Whether there is something to undo or redo may have changed.
    void historyChanged();
    void zoomChanged();

protected:
    void init();

    void contentsMousePressEvent(QMouseEvent* e) override;
    void contentsMouseReleaseEvent(QMouseEvent* e) override;
    void contentsMouseDoubleClickEvent(QMouseEvent* e) override;
    void contentsMouseMoveEvent(QMouseEvent* e) override;
    void viewportPaintEvent(QPaintEvent* e) override;
    // Control with the wheel zooms in or out about the point under the pointer.
    void wheelZoom(int delta, const QPoint& viewportPos) override;

private:
    // One of the constant format names for a format argument, or null when unsupported.
    const char* chooseFormat(const char* format) const;
    // Reads a picture file in the given format, decoding it once; false, with `out` and `depth`
    // untouched, on any fault. `depth` is the depth the file holds the picture in.
    static bool readPicture(const QString& fileName, const char* format, QPixmap* out,
                            KV_PictureDepth* depth);
    // Writes the picture through a temporary file that replaces the target only when complete;
    // BMP and PNG in the depth the picture was read at, while its pixels allow.
    bool writePicture(const QString& fileName, const char* format);
    // Sets the saved state; emits pictureSaved when it becomes true.
    void markSaved(bool saved);
    // Makes pm the picture, with the painter open on it.
    void takePicture(QPixmap& pm);
    // Shows the picture after `area` of it changed (all of it when the view shows a preview).
    void showChanged(const QRegion& area);
    // Undo (back) or redo on the picture's pixels; the picture is shown and its saved state
    // follows the history.
    bool applyHistory(bool back);
    // Opens the painter on the picture with the pen, brush and font it had when it was ended.
    void reopenPainter();
    // Drops the history of a picture that goes.
    void forgetHistory();

    bool savedFlag = true;
    bool fileFlag = false;
    const char* curFormat = nullptr;
    const char* const bmpFormat = "BMP";
    const char* const jpegFormat = "JPEG";
    const char* const pngFormat = "PNG";
    QPainter paint;
    QString fName;
    QPixmap picture;
    KV_PictureDepth fileDepth; // the depth of the file the picture was read from
    QPixmap previewBuffer;     // see previewCopy
    KV_History history{&picture};
    QRegion touched; // reported by the tools since the last updateImage
    QPen keptPen;    // the painter's state across takePixels and putPixels
    QBrush keptBrush;
    QFont keptFont;
    KV_ToolsController* tools = nullptr;
    QPointer<QCanvas> canvasPtr;
    bool penDown = false; // a press on the picture reached the tools; its drag follows
    int zoom = KV_ZoomLevels::oneToOne();
    int wheelTurn = 0; // turns of the wheel short of a notch
};

#endif
