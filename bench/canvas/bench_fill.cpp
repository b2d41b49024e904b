// bench_fill: KV_FillModel::fillRegion alone, and the whole fill of a press (picture to image,
// fill, image back to picture, screen update), on a blank white picture and on a picture crossed
// by one-pixel black lines with gaps, at 480x320 and 4096x4096; with OpenCV's floodFill
// (4-connected, exact match, one 32-bit channel) on the same pictures when OpenCV is installed.
#include "bench_main.h"

#include "kv_fillmodel.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointingDevice>

#include <cstring>
#include <memory>

#if defined(KV_HAVE_OPENCV)
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr QRgb WhitePixel = 0xffffffffu;
constexpr QRgb OtherPixel = 0xff3060c0u;

enum Pattern { Blank = 0, Lines = 1 };

// White, or white crossed every 16 pixels by one-pixel black lines that have a 3-pixel gap every
// 64 pixels, so that the white part is one region that runs through the gaps.
QImage makePicture(int w, int h, Pattern pattern) {
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(WhitePixel);
    if (pattern == Lines) {
        for (int y = 8; y < h; y += 16)
            for (int x = 0; x < w; ++x)
                if (x % 64 >= 3)
                    im.setPixel(x, y, 0xff000000u);
        for (int x = 8; x < w; x += 16)
            for (int y = 0; y < h; ++y)
                if (y % 64 >= 35 || y % 64 < 32)
                    if (y % 16 != 8 || x % 64 < 3)
                        im.setPixel(x, y, 0xff000000u);
    }
    return im;
}

struct Fixture {
    std::unique_ptr<QCanvas> canvas;
    std::unique_ptr<KVQ_ImageDocument> doc;
    Fixture() {
        canvas = std::make_unique<QCanvas>();
        doc = std::make_unique<KVQ_ImageDocument>(canvas.get());
    }
};

// Made on first use and released before the application ends.
Fixture& fixture() {
    static std::unique_ptr<Fixture> f;
    if (!f) {
        f = std::make_unique<Fixture>();
        kvBenchAtExit([] { f.reset(); });
    }
    return *f;
}

// Fills the region at (1, 1) once per iteration with fill(colour), alternating two colours so
// that the same region is filled every time without copying the picture.
template <class Fill>
void alternateFills(benchmark::State& state, Fill fill) {
    bool toOther = true;
    for (auto _ : state) {
        fill(toOther ? OtherPixel : WhitePixel);
        toOther = !toOther;
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0) * state.range(1) * 4);
}

void BM_FillRegion(benchmark::State& state) {
    QImage im = makePicture(int(state.range(0)), int(state.range(1)), Pattern(state.range(2)));
    KV_FillModel* fill = fixture().doc->toolsController()->fillModel();
    alternateFills(state, [&](QRgb colour) { fill->fillRegion(&im, colour, 1, 1); });
}

void BM_FillPress(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    const QPixmap base = QPixmap::fromImage(makePicture(w, h, Pattern(state.range(2))));
    Fixture& f = fixture();
    KVQ_ImageDocument* doc = f.doc.get();
    doc->resize(480, 260);
    doc->show();
    doc->setToolAttribute(AttrTool, ToolFill);
    const QPointF at(1, 1);
    for (auto _ : state) {
        state.PauseTiming();
        doc->setPmScaled(base.copy());
        doc->showPicture();
        QApplication::processEvents();
        state.ResumeTiming();
        QMouseEvent press(QEvent::MouseButtonPress, at, at, at, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier, QPointingDevice::primaryPointingDevice());
        doc->toolsController()->mousePress(&press);
        doc->viewport()->repaint(); // the screen update
    }
    // The last press must have filled the white region, out to the far side (the row at 33
    // lies in a band that the gaps of the vertical lines join from edge to edge).
    if (doc->pmScaled()->toImage().pixel(w - 1, 33) != 0xff000000u)
        state.SkipWithError("the press did not fill the region");
    doc->hide();
}

#if defined(KV_HAVE_OPENCV)
void BM_OpenCVFloodFill(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    const QImage im = makePicture(w, h, Pattern(state.range(2)));
    cv::Mat mat(h, w, CV_32SC1);
    for (int y = 0; y < h; ++y)
        std::memcpy(mat.ptr(y), im.constScanLine(y), size_t(w) * 4);
    alternateFills(state, [&](QRgb colour) {
        cv::floodFill(mat, cv::Point(1, 1), cv::Scalar(int(colour)), nullptr, cv::Scalar(0),
                      cv::Scalar(0), 4);
    });
}

// Once, before the measurements: our fill and OpenCV's paint the same pixels.
void BM_SameRegionAsOpenCV(benchmark::State& state) {
    const int w = int(state.range(0));
    const int h = int(state.range(1));
    for (auto _ : state) {
        QImage ours = makePicture(w, h, Pattern(state.range(2)));
        cv::Mat mat(h, w, CV_32SC1);
        for (int y = 0; y < h; ++y)
            std::memcpy(mat.ptr(y), ours.constScanLine(y), size_t(w) * 4);
        fixture().doc->toolsController()->fillModel()->fillRegion(&ours, OtherPixel, 1, 1);
        cv::floodFill(mat, cv::Point(1, 1), cv::Scalar(int(OtherPixel)), nullptr, cv::Scalar(0),
                      cv::Scalar(0), 4);
        for (int y = 0; y < h; ++y)
            if (std::memcmp(mat.ptr(y), ours.constScanLine(y), size_t(w) * 4) != 0) {
                state.SkipWithError("fillRegion and cv::floodFill filled different pixels");
                return;
            }
    }
}
#endif

void sizes(benchmark::internal::Benchmark* b) {
    for (int pattern : {Blank, Lines}) {
        b->Args({480, 320, pattern});
        b->Args({4096, 4096, pattern});
    }
    b->ArgNames({"w", "h", "lines"});
    b->Unit(benchmark::kMillisecond);
}

} // namespace

#if defined(KV_HAVE_OPENCV)
BENCHMARK(BM_SameRegionAsOpenCV)->Apply(sizes)->Iterations(1);
BENCHMARK(BM_OpenCVFloodFill)->Apply(sizes);
#endif
BENCHMARK(BM_FillRegion)->Apply(sizes);
BENCHMARK(BM_FillPress)->Apply(sizes);

KV_BENCHMARK_MAIN()
