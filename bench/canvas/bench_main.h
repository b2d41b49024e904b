// main() of the canvas benchmarks: one QApplication on the offscreen platform.
#ifndef BENCH_MAIN_H
#define BENCH_MAIN_H

#include <QApplication>

#include <benchmark/benchmark.h>

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
        return 0;                                                                                  \
    }

#endif
