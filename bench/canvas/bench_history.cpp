// bench_history: what the undo history costs on a 4096x3072 picture shown in a 1920x1080 view.
// A free-hand stroke of about 200 pixels (press, 50 moves of 4 pixels, release) with the history
// recording, against the same stroke without it; undo and redo of a stroke, of a rectangle filled
// over the whole picture and of a fill of the whole picture (each with the repaint it causes),
// against making that change; and the memory that 500 strokes keep. "photo" is a picture whose
// pixels all differ (nothing of one colour to keep compactly), else the picture is white.
#include "bench_main.h"

#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QImage>
#include <QPixmap>
#include <QRandomGenerator>

#include <chrono>
#include <memory>

namespace {

constexpr int W = 4096;
constexpr int H = 3072;

QPixmap picture(bool photo) {
    QImage im(W, H, QImage::Format_RGB32);
    im.fill(Qt::white);
    if (photo)
        for (int y = 0; y < H; ++y) {
            auto* line = reinterpret_cast<QRgb*>(im.scanLine(y));
            for (int x = 0; x < W; ++x)
                line[x] = qRgb(x & 255, y & 255, (x * 7 + y * 13) & 255);
        }
    return QPixmap::fromImage(im);
}

struct View {
    explicit View(bool photo) {
        doc = std::make_unique<KVQ_ImageDocument>(&canvas);
        doc->setPmScaled(picture(photo));
        doc->showPicture();
        doc->resize(1920, 1080);
        doc->show();
        QApplication::processEvents();
    }
    ~View() { doc.reset(); }

    void press(QPoint p) {
        QMouseEvent e = kvBenchMouse(QEvent::MouseButtonPress, p);
        doc->toolsController()->mousePress(&e);
    }
    void move(QPoint p) {
        QMouseEvent e = kvBenchMouse(QEvent::MouseMove, p);
        doc->toolsController()->draw(&e);
    }
    void release(QPoint p) {
        QMouseEvent e = kvBenchMouse(QEvent::MouseButtonRelease, p);
        doc->toolsController()->mouseRelease(&e);
    }
    // A free-hand stroke of 50 moves of (4, 1) from `from`.
    void stroke(QPoint from) {
        press(from);
        for (int i = 1; i <= 50; ++i)
            move(from + QPoint(4 * i, i));
        release(from + QPoint(200, 50));
    }
    QPoint somewhere() {
        return QPoint(int(rng.bounded(W - 260)) + 20, int(rng.bounded(H - 100)) + 20);
    }

    QCanvas canvas;
    std::unique_ptr<KVQ_ImageDocument> doc;
    QRandomGenerator rng{17};
};

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Stroke(benchmark::State& state) {
    const bool history = state.range(0) != 0;
    View v(state.range(1) != 0);
    v.doc->undoHistory()->setEnabled(history);
    v.doc->setToolAttribute(AttrPencilTool, PencilFreeForm);
    for (auto _ : state)
        v.stroke(v.somewhere());
    state.counters["steps"] = v.doc->undoHistory()->undoSteps();
}
BENCHMARK(BM_Stroke)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"history", "photo"})
    ->Unit(benchmark::kMicrosecond);

enum Change { Stroke = 0, FilledRectangle = 1, WholeFill = 2 };

// Makes the change on the view's picture.
void make(View& v, Change change) {
    switch (change) {
    case Stroke:
        v.doc->setToolAttribute(AttrTool, ToolPencil);
        v.doc->setToolAttribute(AttrPencilTool, PencilFreeForm);
        v.stroke(QPoint(1000, 1000));
        break;
    case FilledRectangle:
        v.doc->setToolAttribute(AttrTool, ToolShape);
        v.doc->setToolColor(ColorFill, Qt::black);
        v.press(QPoint(0, 0));
        v.move(QPoint(W / 2, H / 2));
        v.release(QPoint(W, H));
        break;
    case WholeFill:
        v.doc->setToolAttribute(AttrTool, ToolFill);
        v.press(QPoint(W / 2, H / 2));
        v.release(QPoint(W / 2, H / 2));
        break;
    }
}

// The change itself, taken back (untimed) after each time: the reference.
void BM_Change(benchmark::State& state) {
    const Change change = Change(state.range(0));
    View v(state.range(1) != 0);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        make(v, change);
        QApplication::processEvents(); // the repaint
        state.SetIterationTime(msSince(start));
        v.doc->undo();
        QApplication::processEvents();
    }
}

// Undo (timed) and redo (untimed) in turns, or the other way round; with the repaint.
void undoOrRedo(benchmark::State& state, bool timeUndo) {
    const Change change = Change(state.range(0));
    View v(state.range(1) != 0);
    make(v, change);
    QApplication::processEvents();
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        v.doc->undo();
        QApplication::processEvents();
        if (timeUndo)
            state.SetIterationTime(msSince(start));
        start = std::chrono::steady_clock::now();
        v.doc->redo();
        QApplication::processEvents();
        if (!timeUndo)
            state.SetIterationTime(msSince(start));
    }
    state.counters["step_bytes"] = double(v.doc->undoHistory()->bytes());
}

void BM_Undo(benchmark::State& state) {
    undoOrRedo(state, true);
}
void BM_Redo(benchmark::State& state) {
    undoOrRedo(state, false);
}

void changes(benchmark::internal::Benchmark* b) {
    b->Args({Stroke, 0})->Args({Stroke, 1});
    b->Args({FilledRectangle, 0})->Args({FilledRectangle, 1});
    b->Args({WholeFill, 0});
    b->ArgNames({"change", "photo"});
    b->UseManualTime();
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Change)->Apply(changes);
BENCHMARK(BM_Undo)->Apply(changes);
BENCHMARK(BM_Redo)->Apply(changes);

// 500 strokes in the default budget: how many steps stay and the bytes they hold.
void BM_FiveHundredStrokes(benchmark::State& state) {
    View v(state.range(0) != 0);
    KV_History* history = v.doc->undoHistory();
    history->setBudget(KV_History::DefaultBudget);
    v.doc->setToolAttribute(AttrPencilTool, PencilFreeForm);
    for (auto _ : state) {
        for (int i = 0; i < 500; ++i)
            v.stroke(v.somewhere());
    }
    state.counters["steps_kept"] = history->undoSteps();
    state.counters["MiB"] = double(history->bytes()) / (1 << 20);
    state.counters["budget_MiB"] = double(history->budget()) / (1 << 20);
}
BENCHMARK(BM_FiveHundredStrokes)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("photo")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

KV_BENCHMARK_MAIN()
