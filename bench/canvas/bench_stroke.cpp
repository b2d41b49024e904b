// bench_stroke: the per-event cost of a free-hand move, a straight-line preview move and a shape
// preview move, at 480x320 and 4096x3072, each event followed by the screen update it causes.
// The corner case previews a straight line from the top left corner to points along the right and
// bottom edges, so that every line's bounding box is the whole picture.
#include "bench_main.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMouseEvent>
#include <QPixmap>

#include <cmath>
#include <memory>

namespace {

enum Kind { FreeHand = 0, LinePreview = 1, ShapePreview = 2, CornerLine = 3 };

// The pen position of move `step`: around a circle of radius 100 about the centre, 12 pixels a
// move, or for CornerLine along the right edge and then the bottom edge, 37 pixels a move.
QPoint movePoint(Kind kind, int step, QPoint centre, int w, int h) {
    if (kind != CornerLine) {
        const double a = 0.12 * step;
        return centre + QPoint(int(100 * std::cos(a)), int(100 * std::sin(a)));
    }
    const int t = int((qint64(step) * 37) % (w + h));
    return t < h ? QPoint(w - 1, t) : QPoint(t - h, h - 1);
}

void BM_StrokeMove(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    const Kind kind = Kind(state.range(2));
    QCanvas canvas;
    KVQ_ImageDocument doc(&canvas);
    QPixmap picture(w, h);
    picture.fill(Qt::white);
    doc.setPmScaled(picture);
    doc.showPicture();
    doc.resize(480, 260);
    doc.show();
    QApplication::processEvents();
    KV_ToolsController* tools = doc.toolsController();
    if (kind == ShapePreview) {
        doc.setToolAttribute(AttrTool, ToolShape);
    } else {
        doc.setToolAttribute(AttrTool, ToolPencil);
        doc.setToolAttribute(AttrPencilTool, kind == FreeHand ? PencilFreeForm : PencilLine);
    }
    const QPoint centre(240, 160);
    const QPoint start = kind == CornerLine ? QPoint(0, 0) : centre;
    QMouseEvent press = kvBenchMouse(QEvent::MouseButtonPress, start);
    tools->mousePress(&press);
    int step = 0;
    for (auto _ : state) {
        QMouseEvent move = kvBenchMouse(QEvent::MouseMove, movePoint(kind, step++, centre, w, h));
        tools->draw(&move);
        doc.viewport()->repaint(); // the screen update of this event
    }
    QMouseEvent release = kvBenchMouse(QEvent::MouseButtonRelease, start);
    tools->mouseRelease(&release);
    doc.hide();
}

void sizes(benchmark::internal::Benchmark* b) {
    for (int kind : {FreeHand, LinePreview, ShapePreview, CornerLine}) {
        b->Args({480, 320, kind});
        b->Args({4096, 3072, kind});
    }
    b->ArgNames({"w", "h", "kind"});
    b->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_StrokeMove)->Apply(sizes);

KV_BENCHMARK_MAIN()
