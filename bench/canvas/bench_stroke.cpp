// bench_stroke: the per-event cost of a free-hand move, a straight-line preview move and a shape
// preview move, at 480x320 and 4096x3072, each event followed by the screen update it causes.
#include "bench_main.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMouseEvent>
#include <QPixmap>

#include <cmath>
#include <memory>

namespace {

enum Kind { FreeHand = 0, LinePreview = 1, ShapePreview = 2 };

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
    QMouseEvent press = kvBenchMouse(QEvent::MouseButtonPress, centre);
    tools->mousePress(&press);
    int step = 0;
    for (auto _ : state) {
        // Around a circle of radius 100, 12 pixels a move.
        const double a = 0.12 * step++;
        const QPoint p = centre + QPoint(int(100 * std::cos(a)), int(100 * std::sin(a)));
        QMouseEvent move = kvBenchMouse(QEvent::MouseMove, p);
        tools->draw(&move);
        doc.viewport()->repaint(); // the screen update of this event
    }
    QMouseEvent release = kvBenchMouse(QEvent::MouseButtonRelease, centre);
    tools->mouseRelease(&release);
    doc.hide();
}

void sizes(benchmark::internal::Benchmark* b) {
    for (int kind : {FreeHand, LinePreview, ShapePreview}) {
        b->Args({480, 320, kind});
        b->Args({4096, 3072, kind});
    }
    b->ArgNames({"w", "h", "kind"});
    b->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_StrokeMove)->Apply(sizes);

KV_BENCHMARK_MAIN()
