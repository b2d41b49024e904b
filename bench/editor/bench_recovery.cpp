// bench_recovery: what the recovery file costs the GUI thread, where the user draws, on a
// 4096x3072 picture: one snapshot taken for writing (the encoding and the disk write go to a
// worker thread and are not counted), against QPixmap::toImage, the copy a snapshot would
// otherwise take, measured in the same run.
#include "bench_main.h"
#include "kv_recoveryfile.h"
#include "kvq_imagedocument.h"

#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace {

struct Picture {
    QTemporaryDir state;
    std::unique_ptr<QCanvas> canvas;
    std::unique_ptr<KVQ_ImageDocument> doc;
    std::unique_ptr<KV_RecoveryFile> recovery;
};

Picture& picture() {
    static Picture* p = [] {
        auto* made = new Picture;
        qputenv("XDG_STATE_HOME", QFile::encodeName(made->state.path()));
        made->canvas = std::make_unique<QCanvas>(480, 320);
        made->doc = std::make_unique<KVQ_ImageDocument>(made->canvas.get());
        QPixmap large(4096, 3072);
        large.fill(Qt::white);
        made->doc->setPmScaled(large);
        made->doc->updateImage(); // unsaved
        made->recovery = std::make_unique<KV_RecoveryFile>(made->doc.get());
        kvBenchAtExit([made] { delete made; });
        return made;
    }();
    return *p;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_ToImage(benchmark::State& state) {
    Picture& p = picture();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QImage copy = p.doc->pmScaled()->toImage();
        benchmark::DoNotOptimize(copy.constBits());
        state.SetIterationTime(seconds(start));
    }
}
BENCHMARK(BM_ToImage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RecoverySnapshot(benchmark::State& state) {
    Picture& p = picture();
    p.recovery->writeNow(); // the first write makes the buffer, on the worker
    p.recovery->waitForWrite();
    for (auto _ : state) {
        p.doc->painter()->drawPoint(10, 10); // a change to copy
        const auto start = std::chrono::steady_clock::now();
        p.recovery->writeNow();
        state.SetIterationTime(seconds(start));
        p.recovery->waitForWrite();
    }
    if (!QFile::exists(p.recovery->path()))
        state.SkipWithError("no recovery file was written");
}
BENCHMARK(BM_RecoverySnapshot)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

KV_BENCHMARK_MAIN()
