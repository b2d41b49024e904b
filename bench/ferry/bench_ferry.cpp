// A script that sends 1,000 queries to an application: through one "ferry -" reading them from
// a file, against 1,000 runs of ferry with one query each, in turns within each iteration so
// that both meet the same load. Both run on a private bus, where a QCopChannel counts what
// arrives: an iteration counts only once all 1,000 messages of each form have arrived, and the
// wait for them is not timed. The counters are the medians over the iterations and the ratio
// of the single runs' median to the batch's; the benchmark's time is the batch's.
#include "kv_benchprocess.h"
#include "kv_privatebus.h"
#include "qcopchannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int queryCount = 1000;

KV_PrivateBus* bus = nullptr;

// The queries of a drawing script: tool choices, colours and points.
std::vector<std::string> script() {
    std::vector<std::string> queries;
    for (int i = 0; i < queryCount; ++i) {
        switch (i % 4) {
        case 0:
            queries.push_back("px&fViewPickerToolOne(bool)&true");
            break;
        case 1:
            queries.push_back("px&setLineColor(QString)&#" + std::to_string(100000 + i));
            break;
        case 2:
            queries.push_back("px&penTo(int,int)&" + std::to_string(i % 480) + "&" +
                              std::to_string(i % 320));
            break;
        default:
            queries.push_back("px&sLineToolThree(bool)&false");
        }
    }
    return queries;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Waits until the channel has counted target messages, or 30 s have passed.
bool arrived(const int& count, int target) {
    QElapsedTimer clock;
    clock.start();
    while (count < target && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    return count == target;
}

void BM_FerryBatchAgainstSingleRuns(benchmark::State& state) {
    if (!bus->isRunning()) {
        state.SkipWithError("cannot start dbus-daemon");
        return;
    }
    QTemporaryDir dir;
    const QString inputPath = dir.filePath("script");
    const std::vector<std::string> queries = script();
    {
        QFile input(inputPath);
        if (!input.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the script");
            return;
        }
        for (const std::string& q : queries)
            input.write((q + "\n").c_str());
    }
    const QByteArray inputFile = QFile::encodeName(inputPath);
    // No log file: the log records go to the discarded standard error.
    const KV_BenchProcess child({"DBUS_SESSION_BUS_ADDRESS=" + bus->address().toStdString()},
                                {"KV_LOG_FILE"});
    QCopChannel channel("KV/App/px");
    if (!channel.isListening()) {
        state.SkipWithError("cannot listen on the private bus");
        return;
    }
    int count = 0;
    QObject::connect(&channel, &QCopChannel::received, [&count] { ++count; });

    const std::vector<std::string> batch = {KV_FERRY, "-"};
    auto runBatch = [&] { return child.run(batch, inputFile.constData()) == 0; };
    auto runSingles = [&] {
        for (const std::string& q : queries)
            if (child.run({KV_FERRY, q}) != 0)
                return false;
        return true;
    };

    std::vector<double> batchTimes, singleTimes;
    bool batchFirst = false;
    for (auto _ : state) {
        double batchTime = 0, singleTime = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool isBatch = (turn == 0) == batchFirst;
            count = 0;
            const auto start = std::chrono::steady_clock::now();
            const bool ok = isBatch ? runBatch() : runSingles();
            (isBatch ? batchTime : singleTime) = seconds(start);
            if (!ok || !arrived(count, queryCount)) {
                state.SkipWithError(!ok ? "ferry failed" : "not every message arrived");
                return;
            }
        }
        batchFirst = !batchFirst;
        batchTimes.push_back(batchTime);
        singleTimes.push_back(singleTime);
        state.SetIterationTime(batchTime);
    }
    state.counters["batch_ms"] = 1e3 * median(batchTimes);
    state.counters["single_runs_ms"] = 1e3 * median(singleTimes);
    state.counters["ratio"] = median(singleTimes) / median(batchTimes);
}
// Each iteration takes several seconds: a fixed count, and no repetitions even when asked.
BENCHMARK(BM_FerryBatchAgainstSingleRuns)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    KV_PrivateBus privateBus;
    privateBus.useInThisProcess();
    bus = &privateBus;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
