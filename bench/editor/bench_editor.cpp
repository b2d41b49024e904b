// bench_editor: the editor's start-up (process start to the window's first paint) against a
// bare Qt process showing an empty main window, measured in the same run; and the cost of one
// pen move with a preview through the whole window (event in, picture repainted) at 480x320.
#include "bench_main.h"
#include "kv_toolcodes.h"
#include "kvq_imagedocument.h"
#include "kvq_imageeditor.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

bool failed = false;

// Runs bench_firstpaint in the icon folder, with output discarded; false when it failed.
bool firstPaint(const char* mode) {
    std::string program = KV_FIRSTPAINT;
    char* argv[] = {program.data(), const_cast<char*>(mode), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void BM_StartToFirstPaint(benchmark::State& state, const char* mode) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!firstPaint(mode)) {
            failed = true;
            state.SkipWithError("the window was not painted");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK_CAPTURE(BM_StartToFirstPaint, bare_mainwindow, "mainwindow")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_StartToFirstPaint, editor, "editor")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        count += e->type() == QEvent::Paint;
        return false;
    }
    long long count = 0;
};

// One move of a straight-line or shape preview: the event goes to the view as the pen's would,
// and the repaint it schedules is done before the next one.
void BM_PenMoveInWindow(benchmark::State& state) {
    KVQ_imageEditor editor(nullptr, "editor", QString());
    editor.show();
    QApplication::processEvents();
    KVQ_ImageDocument* doc = editor.imageDocument();
    if (state.range(0) == 0) {
        doc->setToolAttribute(AttrPencilTool, PencilLine);
    } else {
        doc->setToolAttribute(AttrTool, ToolShape);
    }
    QWidget* view = doc->viewport();
    PaintCounter paints;
    view->installEventFilter(&paints);
    const QPoint centre(240, 130);
    QMouseEvent press = kvBenchMouse(QEvent::MouseButtonPress, centre);
    QApplication::sendEvent(view, &press);
    int step = 0;
    for (auto _ : state) {
        const double a = 0.12 * step++;
        const QPoint p = centre + QPoint(int(100 * std::cos(a)), int(100 * std::sin(a)));
        QMouseEvent move = kvBenchMouse(QEvent::MouseMove, p);
        QApplication::sendEvent(view, &move);
        QApplication::processEvents(); // the repaint the move scheduled
    }
    QMouseEvent release = kvBenchMouse(QEvent::MouseButtonRelease, centre);
    QApplication::sendEvent(view, &release);
    if (doc->saved() || paints.count < state.iterations()) {
        failed = true;
        state.SkipWithError("the moves did not show");
    }
    state.counters["paints"] = double(paints.count);
}
BENCHMARK(BM_PenMoveInWindow)->Arg(0)->Arg(1)->ArgName("shape")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QDir::setCurrent(QStringLiteral(KV_PX_ICON_DIR)))
        return 1;
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    if (::benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return failed ? 1 : 0;
}
