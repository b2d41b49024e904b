// Costs of the math server as the console meets them: creation through the broker, one
// evaluation, a 1,000-point table and 1,000 evaluations of one parsed function. Plain double
// arithmetic over the same 1,000 points is the reference.
#include "kvq_mathserver.h"
#include "kvq_orb.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<KVQ_MathServer> makeServer() {
    return std::unique_ptr<KVQ_MathServer>(qobject_cast<KVQ_MathServer*>(
        KVQ_ORB::createObject("KVQ_MathServer", nullptr, nullptr, QStringList())));
}

// The first creation in the process loads the engine and its definitions; run once.
void BM_FirstCreateWithEngineStart(benchmark::State& state) {
    for (auto _ : state) {
        auto server = makeServer();
        if (!server) {
            state.SkipWithError("no math server");
            return;
        }
        server->prepare("0");
    }
}
BENCHMARK(BM_FirstCreateWithEngineStart)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CreateThroughBroker(benchmark::State& state) {
    for (auto _ : state) {
        auto server = makeServer();
        if (!server) {
            state.SkipWithError("no math server");
            return;
        }
        benchmark::DoNotOptimize(server.get());
    }
}
BENCHMARK(BM_CreateThroughBroker)->Unit(benchmark::kMicrosecond);

void BM_Evaluate(benchmark::State& state) {
    auto server = makeServer();
    QString answer;
    for (auto _ : state) {
        server->evaluate("sin(0.5)^2+0.5/3", FORMATTED_ANS_NOEXPORT, answer);
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(BM_Evaluate)->Unit(benchmark::kMicrosecond);

void BM_Table1000(benchmark::State& state) {
    auto server = makeServer();
    for (auto _ : state) {
        GraphData g{};
        if (server->GC_GraphExpression("sin(x)^2+x/3", "x", 0, 9.99, 0.01, false, g) != 0 ||
            g.numPoints != 1000) {
            state.SkipWithError("table failed");
            return;
        }
        std::free(g.x);
        std::free(g.y);
        std::free(g.flags);
    }
}
BENCHMARK(BM_Table1000)->Unit(benchmark::kMillisecond);

void BM_EvalF1000(benchmark::State& state) {
    auto server = makeServer();
    ParsedFunction f{};
    server->GC_EvalFParse("sin(x)^2+x/3", f);
    char x[] = "x";
    char* names[] = {x, nullptr};
    for (auto _ : state) {
        double sum = 0, r = 0;
        for (int i = 0; i < 1000; ++i) {
            double v = i * 0.01;
            server->GC_EvalF(f, names, &v, r);
            sum += r;
        }
        benchmark::DoNotOptimize(sum);
    }
    std::free(f.data);
}
BENCHMARK(BM_EvalF1000)->Unit(benchmark::kMillisecond);

void BM_Reference1000PlainDoubles(benchmark::State& state) {
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < 1000; ++i) {
            const double v = i * 0.01;
            sum += std::sin(v) * std::sin(v) + v / 3;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Reference1000PlainDoubles)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
