// bench_view: painting the picture view at each zoom level, and a pen move with a preview
// enlarged. A 1920x1080 view of a 4096x3072 picture (all its pixels different) is repainted
// whole, at every level from 1/8 to 32 (1:1, the reference, is level 3); below 1:1 once with the
// reduced picture kept from the paint before ("warm") and once with it dropped ("cold"). A move of
// a straight line's preview, the event sent to the view and the repaint it causes, at 1:1 and 8:1.
#include "bench_main.h"

#include "kv_toolscontroller.h"
#include "kv_zoomlevels.h"
#include "kvq_imagedocument.h"

#include <QImage>
#include <QPixmap>

#include <cmath>
#include <memory>

namespace {

constexpr int W = 4096;
constexpr int H = 3072;

struct View {
    View() {
        QImage im(W, H, QImage::Format_RGB32);
        for (int y = 0; y < H; ++y) {
            auto* line = reinterpret_cast<QRgb*>(im.scanLine(y));
            for (int x = 0; x < W; ++x)
                line[x] = qRgb(x & 255, y & 255, (x * 7 + y * 13) & 255);
        }
        doc = std::make_unique<KVQ_ImageDocument>(&canvas);
        doc->setPmScaled(QPixmap::fromImage(im));
        doc->showPicture();
        doc->resize(1920, 1080);
        doc->show();
        QApplication::processEvents();
    }
    ~View() { doc.reset(); }

    QCanvas canvas;
    std::unique_ptr<KVQ_ImageDocument> doc;
};

void BM_Repaint(benchmark::State& state) {
    const int level = int(state.range(0));
    const bool cold = state.range(1) != 0;
    View v;
    // The middle of the picture in the middle of the view.
    v.doc->setZoomLevel(level, QPoint(0, 0));
    const QPoint middle(W / 2, H / 2);
    v.doc->setContentsPos(
        middle.x() - 960 * KV_ZoomLevels::scale(level).den / KV_ZoomLevels::scale(level).num,
        middle.y() - 540 * KV_ZoomLevels::scale(level).den / KV_ZoomLevels::scale(level).num);
    v.doc->viewport()->repaint();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            v.canvas.setAllChanged(); // the reduced picture is computed again
            state.ResumeTiming();
        }
        v.doc->viewport()->repaint();
    }
    state.SetLabel(KV_ZoomLevels::text(level).toStdString());
    state.counters["view_w"] = v.doc->viewport()->width();
    state.counters["view_h"] = v.doc->viewport()->height();
}

void levels(benchmark::internal::Benchmark* b) {
    for (int level = 0; level < KV_ZoomLevels::count(); ++level) {
        b->Args({level, 0});
        if (level < KV_ZoomLevels::oneToOne())
            b->Args({level, 1});
    }
    b->ArgNames({"level", "cold"});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Repaint)->Apply(levels);

void BM_PreviewMove(benchmark::State& state) {
    const int level = int(state.range(0));
    View v;
    v.doc->setZoomLevel(level, QPoint(0, 0));
    v.doc->setContentsPos(1000, 1000);
    v.doc->setToolAttribute(AttrPencilTool, PencilLine);
    QWidget* vp = v.doc->viewport();
    const QPoint centre(960, 540);
    const auto send = [&](QEvent::Type type, QPoint p) {
        QMouseEvent e = kvBenchMouse(type, p);
        QApplication::sendEvent(vp, &e);
    };
    send(QEvent::MouseButtonPress, centre);
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        // Around a circle of 40 picture pixels about the start, 5 degrees a move.
        const double a = 0.087 * step++;
        const int r = 40 * KV_ZoomLevels::scale(level).num / KV_ZoomLevels::scale(level).den;
        send(QEvent::MouseMove, centre + QPoint(int(r * std::cos(a)), int(r * std::sin(a))));
        QApplication::processEvents(); // the repaint
    }
    send(QEvent::MouseButtonRelease, centre);
    state.SetLabel(KV_ZoomLevels::text(level).toStdString());
}
BENCHMARK(BM_PreviewMove)
    ->Arg(KV_ZoomLevels::oneToOne())
    ->Arg(KV_ZoomLevels::nearest(800))
    ->ArgName("level")
    ->Unit(benchmark::kMicrosecond);

} // namespace

KV_BENCHMARK_MAIN()
