// main() of the canvas benchmarks: one QApplication on the offscreen platform. Widgets that
// benchmarks keep between runs are released through kvBenchAtExit before the application ends,
// since a widget must not outlive it.
#ifndef BENCH_MAIN_H
#define BENCH_MAIN_H

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>

#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

// A left-button pen event at p, as the view receives it (the button is up after a release).
inline QMouseEvent kvBenchMouse(QEvent::Type type, QPoint p) {
    const QPointF f(p);
    return QMouseEvent(type, f, f, f, Qt::LeftButton,
                       type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                       Qt::NoModifier, QPointingDevice::primaryPointingDevice());
}

// Functions run after the last benchmark, while the application still exists, latest first.
inline std::vector<std::function<void()>>& kvBenchAtExitList() {
    static std::vector<std::function<void()>> list;
    return list;
}

inline void kvBenchAtExit(std::function<void()> release) {
    kvBenchAtExitList().push_back(std::move(release));
}

inline void kvBenchRunAtExit() {
    auto& list = kvBenchAtExitList();
    while (!list.empty()) {
        const std::function<void()> release = std::move(list.back());
        list.pop_back();
        release();
    }
}

#define KV_BENCHMARK_MAIN()                                                                        \
    int main(int argc, char** argv) {                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        ::benchmark::Initialize(&argc, argv);                                                      \
        if (::benchmark::ReportUnrecognizedArguments(argc, argv))                                  \
            return 1;                                                                              \
        ::benchmark::RunSpecifiedBenchmarks();                                                     \
        ::benchmark::Shutdown();                                                                   \
        kvBenchRunAtExit();                                                                        \
        return 0;                                                                                  \
    }

#endif
