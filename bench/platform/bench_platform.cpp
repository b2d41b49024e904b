// ferry end to end against dbus-send on the same private bus, and object creation through the
// broker.
#include "kv_benchprocess.h"
#include "kv_privatebus.h"
#include "kvq_orb.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

KV_PrivateBus* bus = nullptr;

// This process's environment with DBUS_SESSION_BUS_ADDRESS naming the private bus.
KV_BenchProcess onBus() {
    return KV_BenchProcess({"DBUS_SESSION_BUS_ADDRESS=" + bus->address().toStdString()});
}

// The ferry query and the dbus-send command for the same signal: one string argument.
const std::vector<std::string> ferryCommand = {KV_FERRY, "calc&setText(QString)&hello"};

std::vector<std::string> dbusSendCommand() {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << QStringLiteral("hello");
    std::string bytes = "array:byte:";
    for (int i = 0; i < data.size(); ++i)
        bytes += (i ? "," : "") + std::to_string(uchar(data.at(i)));
    return {"dbus-send",           "--session",          "--type=signal",           "/QCop",
            "org.kv.QCop.message", "string:KV/App/calc", "string:setText(QString)", bytes};
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Each iteration runs ferry and dbus-send once, alternately; the time is ferry's and the
// counter "ratio" is ferry's total time over dbus-send's.
void BM_FerryAgainstDbusSend(benchmark::State& state) {
    const KV_BenchProcess child = onBus();
    const std::vector<std::string> reference = dbusSendCommand();
    double ferryTotal = 0, referenceTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (child.run(reference) != 0) {
            state.SkipWithError("dbus-send failed");
            break;
        }
        referenceTotal += seconds(start);
        start = std::chrono::steady_clock::now();
        if (child.run(ferryCommand) != 0) {
            state.SkipWithError("ferry failed");
            break;
        }
        const double ferryTime = seconds(start);
        ferryTotal += ferryTime;
        state.SetIterationTime(ferryTime);
    }
    if (referenceTotal > 0) {
        state.counters["ratio"] = ferryTotal / referenceTotal;
        state.counters["dbus_send_ms"] = 1000 * referenceTotal / double(state.iterations());
    }
}
BENCHMARK(BM_FerryAgainstDbusSend)->UseManualTime()->Unit(benchmark::kMillisecond);

// The floor: a Qt program that only starts and leaves, against dbus-send.
void BM_QtIdleAgainstDbusSend(benchmark::State& state) {
    const KV_BenchProcess child = onBus();
    const std::vector<std::string> reference = dbusSendCommand();
    const std::vector<std::string> idle = {KV_QTIDLE};
    double idleTotal = 0, referenceTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        child.run(reference);
        referenceTotal += seconds(start);
        start = std::chrono::steady_clock::now();
        child.run(idle);
        const double t = seconds(start);
        idleTotal += t;
        state.SetIterationTime(t);
    }
    if (referenceTotal > 0)
        state.counters["ratio"] = idleTotal / referenceTotal;
}
BENCHMARK(BM_QtIdleAgainstDbusSend)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BrokerCreateObject(benchmark::State& state) {
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(KV_TEST_COMPONENT_DIR "/libkvtestcomponent.so"),
                dir.filePath("libkvtestcomponent.so"));
    QFile index(dir.filePath("bench.index"));
    index.open(QIODevice::WriteOnly);
    index.write("KV_TestObject libkvtestcomponent.so\n");
    index.close();
    qputenv("KV_COMPONENT_PATH", QFile::encodeName(dir.path()));
    for (auto _ : state) {
        QObject* object = KVQ_ORB::createObject("KV_TestObject", nullptr, "bench", {});
        if (!object) {
            state.SkipWithError("no object");
            break;
        }
        benchmark::DoNotOptimize(object);
        delete object;
    }
    qunsetenv("KV_COMPONENT_PATH");
}
BENCHMARK(BM_BrokerCreateObject)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    KV_PrivateBus privateBus;
    if (!privateBus.isRunning()) {
        std::fprintf(stderr, "bench_platform: cannot start dbus-daemon\n");
        return 1;
    }
    bus = &privateBus;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
