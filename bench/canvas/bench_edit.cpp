// bench_edit: typing one character of text (with the screen update it causes) at 480x320 and
// 4096x3072, against a free-hand pen move on the same picture; and copying a whole 4096x3072
// selection to the clipboard and pasting it back (floating, then put down as one change),
// against copying the picture's pixels once (QPixmap::toImage), all in the same run.
#include "bench_main.h"

#include "kv_selectionmodel.h"
#include "kv_textmodel.h"
#include "kv_toolscontroller.h"
#include "kvq_imagedocument.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPixmap>

#include <chrono>
#include <cmath>
#include <memory>

namespace {

struct Shown {
    QCanvas canvas;
    KVQ_ImageDocument doc{&canvas};
};

std::unique_ptr<Shown> showPicture(int w, int h) {
    auto shown = std::make_unique<Shown>();
    QPixmap picture(w, h);
    picture.fill(Qt::white);
    shown->doc.setPmScaled(picture);
    shown->doc.showPicture();
    shown->doc.resize(480, 260);
    shown->doc.show();
    QApplication::processEvents();
    return shown;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_TypeCharacter(benchmark::State& state) {
    auto shown = showPicture(int(state.range(0)), int(state.range(1)));
    KVQ_ImageDocument& doc = shown->doc;
    doc.setToolAttribute(AttrTool, ToolText);
    KV_TextModel* text = doc.toolsController()->textModel();
    const QString letters = QStringLiteral("The quick brown fox jumps over");
    int typed = 0;
    for (auto _ : state) {
        if (typed % letters.size() == 0) // a new line of text, not timed
            text->begin(QPoint(20, 40));
        const auto start = std::chrono::steady_clock::now();
        text->insert(letters.mid(typed % letters.size(), 1));
        doc.viewport()->repaint(); // the screen update of this key
        state.SetIterationTime(seconds(start));
        ++typed;
    }
    text->drop();
    if (text->isTyping())
        state.SkipWithError("the text was not dropped");
}

void BM_FreeHandMove(benchmark::State& state) {
    auto shown = showPicture(int(state.range(0)), int(state.range(1)));
    KVQ_ImageDocument& doc = shown->doc;
    doc.setToolAttribute(AttrTool, ToolPencil);
    doc.setToolAttribute(AttrPencilTool, PencilFreeForm);
    KV_ToolsController* tools = doc.toolsController();
    const QPoint centre(240, 130);
    QMouseEvent press = kvBenchMouse(QEvent::MouseButtonPress, centre);
    tools->mousePress(&press);
    int step = 0;
    for (auto _ : state) {
        const double a = 0.12 * step++;
        const auto start = std::chrono::steady_clock::now();
        QMouseEvent move = kvBenchMouse(
            QEvent::MouseMove, centre + QPoint(int(100 * std::cos(a)), int(100 * std::sin(a))));
        tools->draw(&move);
        doc.viewport()->repaint();
        state.SetIterationTime(seconds(start));
    }
    QMouseEvent release = kvBenchMouse(QEvent::MouseButtonRelease, centre);
    tools->mouseRelease(&release);
}

Shown& large() {
    static Shown* shown = [] {
        Shown* made = showPicture(4096, 3072).release();
        kvBenchAtExit([made] { delete made; });
        return made;
    }();
    return *shown;
}

void BM_PictureToImage(benchmark::State& state) {
    Shown& shown = large();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QImage copy = shown.doc.pmScaled()->toImage();
        benchmark::DoNotOptimize(copy.constBits());
        state.SetIterationTime(seconds(start));
    }
}

void BM_CopySelectionToClipboard(benchmark::State& state) {
    Shown& shown = large();
    shown.doc.setToolAttribute(AttrTool, ToolSelect);
    KV_SelectionModel* selection = shown.doc.toolsController()->selectionModel();
    selection->selectAll();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QGuiApplication::clipboard()->setImage(selection->selectedImage());
        state.SetIterationTime(seconds(start));
    }
    if (QGuiApplication::clipboard()->image().size() != QSize(4096, 3072))
        state.SkipWithError("the clipboard does not hold the selection");
}

void BM_PasteFromClipboard(benchmark::State& state) {
    Shown& shown = large();
    shown.doc.setToolAttribute(AttrTool, ToolSelect);
    KV_SelectionModel* selection = shown.doc.toolsController()->selectionModel();
    // Blue and white by turns, so that each paste changes every pixel.
    QImage pieces[2] = {QImage(4096, 3072, QImage::Format_RGB32),
                        QImage(4096, 3072, QImage::Format_RGB32)};
    pieces[0].fill(Qt::blue);
    pieces[1].fill(Qt::white);
    const int stepsBefore = shown.doc.undoHistory()->undoSteps();
    int turn = 0;
    for (auto _ : state) {
        QGuiApplication::clipboard()->setImage(pieces[turn++ % 2]); // not timed
        const auto start = std::chrono::steady_clock::now();
        selection->paste(QGuiApplication::clipboard()->image(), QPoint(0, 0));
        selection->putDown();
        shown.doc.viewport()->repaint();
        state.SetIterationTime(seconds(start));
    }
    if (selection->isFloating() || shown.doc.undoHistory()->undoSteps() == stepsBefore)
        state.SkipWithError("the paste was not put down as a change");
}

void textSizes(benchmark::internal::Benchmark* b) {
    b->Args({480, 320});
    b->Args({4096, 3072});
    b->ArgNames({"w", "h"});
    b->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300)->Repetitions(5);
    b->ReportAggregatesOnly(true);
}

void largeRuns(benchmark::internal::Benchmark* b) {
    b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5);
    b->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK(BM_TypeCharacter)->Apply(textSizes);
BENCHMARK(BM_FreeHandMove)->Apply(textSizes);
BENCHMARK(BM_PictureToImage)->Apply(largeRuns);
BENCHMARK(BM_CopySelectionToClipboard)->Apply(largeRuns);
BENCHMARK(BM_PasteFromClipboard)->Apply(largeRuns);

KV_BENCHMARK_MAIN()
