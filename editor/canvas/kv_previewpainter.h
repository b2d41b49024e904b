// KV_PreviewPainter: shows a tool's preview (a drawing over the picture) in the document's
// preview buffer. The first preview after the picture was shown copies the picture whole; each
// following one puts back only the picture's pixels under the previous preview, draws the new
// one, and has the view repaint only the old and the new area.
#ifndef KV_PREVIEWPAINTER_H
#define KV_PREVIEWPAINTER_H

#include <QPoint>
#include <QRect>
#include <QtGlobal>

#include <functional>
#include <vector>

class KVQ_ImageDocument;
class QPainter;
class QPixmap;

class KV_PreviewPainter {
public:
    using Paint = std::function<void(QPainter*)>;
    // Rectangles that may overlap (a union of rectangles costs more than copying twice).
    using Area = std::vector<QRect>;

    // Shows on `doc` its picture with `paint` drawn over it. `area` must hold every pixel that
    // `paint` may change: pixels outside it are not put back before the next preview.
    void show(KVQ_ImageDocument* doc, const Area& area, const Paint& paint);

    // The square of half side `radius` around p.
    static QRect around(QPoint p, int radius);
    // Pixels within `margin` of the segment from a to b, as rectangles along it (the segment's
    // bounding box would be the whole picture for a diagonal across it), added to `area`.
    static void addLine(Area& area, QPoint a, QPoint b, int margin);

private:
    // True when the buffer still shows our last preview over an unchanged picture.
    bool canRestore(KVQ_ImageDocument* doc) const;
    void remember(KVQ_ImageDocument* doc, const Area& area);

    QPixmap* buffer = nullptr;
    qint64 bufferKey = 0;
    qint64 pictureKey = 0;
    Area covered;
};

#endif
