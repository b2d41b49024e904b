// bench_colours: the whole fill of a press on a blank 4096x4096 picture in red against the same
// fill in black (the colour must not make the fill slower), and one pen move of the eraser at
// 32 pixels on 4096x3072 against a free-hand pencil move of the thick pen, each followed by the
// screen update it causes. Medians over repetitions.
#include "bench_main.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QMouseEvent>
#include <QPixmap>

#include <cmath>
#include <memory>

namespace {

void BM_FloodFillPress(benchmark::State& state) {
    const int w = 4096;
    const int h = 4096;
    const QColor colour = state.range(0) ? QColor(Qt::red) : QColor(Qt::black);
    QPixmap base(w, h);
    base.fill(Qt::white);
    QCanvas canvas;
    KVQ_ImageDocument doc(&canvas);
    doc.resize(480, 260);
    doc.show();
    doc.setToolAttribute(AttrTool, ToolFill);
    doc.setToolColor(ColorFlood, colour);
    for (auto _ : state) {
        state.PauseTiming();
        doc.setPmScaled(base.copy());
        doc.showPicture();
        QApplication::processEvents();
        state.ResumeTiming();
        QMouseEvent press = kvBenchMouse(QEvent::MouseButtonPress, QPoint(1, 1));
        doc.toolsController()->mousePress(&press);
        doc.viewport()->repaint();
    }
    if (doc.pmScaled()->toImage().pixel(w - 1, h - 1) != colour.rgb())
        state.SkipWithError("the press did not fill the picture");
    doc.hide();
}

void BM_EraserMove(benchmark::State& state) {
    const bool eraser = state.range(0) != 0;
    QCanvas canvas;
    KVQ_ImageDocument doc(&canvas);
    QPixmap picture(4096, 3072);
    picture.fill(Qt::black);
    doc.setPmScaled(picture);
    doc.showPicture();
    doc.resize(480, 260);
    doc.show();
    QApplication::processEvents();
    KV_ToolsController* tools = doc.toolsController();
    if (eraser) {
        doc.setToolAttribute(AttrTool, ToolEraser);
        tools->setEraserSize(32);
    } else {
        doc.setToolAttribute(AttrTool, ToolPencil);
        doc.setToolAttribute(AttrPencilTool, PencilFreeForm);
        doc.setToolAttribute(AttrLineThickness, ThicknessThick);
    }
    // Around a circle of radius 100 about the centre, 12 pixels a move.
    const QPoint centre(240, 160);
    QMouseEvent press = kvBenchMouse(QEvent::MouseButtonPress, centre + QPoint(100, 0));
    tools->mousePress(&press);
    int step = 0;
    for (auto _ : state) {
        const double a = 0.12 * ++step;
        const QPoint p = centre + QPoint(int(100 * std::cos(a)), int(100 * std::sin(a)));
        QMouseEvent move = kvBenchMouse(QEvent::MouseMove, p);
        tools->draw(&move);
        doc.viewport()->repaint();
    }
    QMouseEvent release = kvBenchMouse(QEvent::MouseButtonRelease, centre);
    tools->mouseRelease(&release);
    if (eraser && doc.pmScaled()->toImage().pixel(centre.x() + 100, centre.y()) != 0xffffffffu)
        state.SkipWithError("the eraser left the picture as it was");
    doc.hide();
}

} // namespace

BENCHMARK(BM_FloodFillPress)
    ->ArgName("red")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(6) // each is prepared with a fresh copy of the picture, outside the timing
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_EraserMove)
    ->ArgName("eraser")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

KV_BENCHMARK_MAIN()
