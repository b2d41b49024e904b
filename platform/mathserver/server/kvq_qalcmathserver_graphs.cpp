// Point tables and real values.
#include "server/kvq_qalcmathserver.h"

#include "engine/kv_enginescope.h"
#include "numerics/kv_freedeleter.h"
#include "numerics/kv_functionevaluator.h"
#include "numerics/kv_graphsampler.h"
#include "server/kvq_qalcmathservercall.h"

#include <libqalculate/qalculate.h>

int KVQ_QalcMathServer::GC_GraphExpression(const QString& function, const QString& xvar,
                                           double xmin, double xmax, double xstep,
                                           bool detectDiscontinuities, GraphData& data) {
    Call call(this);
    if (const int code = call.start())
        return code;
    uint32_t n = 0;
    if (const int code = KV_GraphSampler::pointCount(xmin, xmax, xstep, n))
        return code;
    std::unique_ptr<KV_FunctionEvaluator> f;
    if (const int code = functionOf(function, xvar, f))
        return code;
    auto x = kvMallocArray<double>(n);
    auto y = kvMallocArray<double>(n);
    auto flags = kvMallocArray<unsigned char>(n);
    if (!x || !y || !flags)
        return KV_MathErrors::TooManyPoints;
    KV_EngineScope scope(timeLimitMs_, warnings_);
    bool aborted = false;
    for (uint32_t i = 0; i < n && !aborted; ++i) {
        x[i] = xmin + xstep * i;
        aborted = KV_GraphSampler::samplePoint(*f, x[i], y[i], flags[i]) == KV_MathErrors::TimedOut;
    }
    if (!aborted && detectDiscontinuities)
        KV_GraphSampler::markDiscontinuities(*f, x.get(), y.get(), flags.get(), n);
    if (aborted || scope.aborted())
        return KV_MathErrors::TimedOut;
    data.x = x.release();
    data.y = y.release();
    data.flags = flags.release();
    data.numPoints = n;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_GraphParametric(const QString& xFunction, const QString& yFunction,
                                           const QString& tvar, double tmin, double tmax,
                                           double tstep, bool detectDiscontinuities,
                                           ParametricGraphData& data) {
    Call call(this);
    if (const int code = call.start())
        return code;
    uint32_t n = 0;
    if (const int code = KV_GraphSampler::pointCount(tmin, tmax, tstep, n))
        return code;
    std::unique_ptr<KV_FunctionEvaluator> fx, fy;
    if (const int code = functionOf(xFunction, tvar, fx))
        return code;
    if (const int code = functionOf(yFunction, tvar, fy))
        return code;
    auto t = kvMallocArray<double>(n);
    auto x = kvMallocArray<double>(n);
    auto y = kvMallocArray<double>(n);
    auto flags = kvMallocArray<unsigned char>(n);
    auto yflags = kvMallocArray<unsigned char>(n);
    if (!t || !x || !y || !flags || !yflags)
        return KV_MathErrors::TooManyPoints;
    KV_EngineScope scope(timeLimitMs_, warnings_);
    bool aborted = false;
    for (uint32_t i = 0; i < n && !aborted; ++i) {
        t[i] = tmin + tstep * i;
        const int cx = KV_GraphSampler::samplePoint(*fx, t[i], x[i], flags[i]);
        const int cy = KV_GraphSampler::samplePoint(*fy, t[i], y[i], yflags[i]);
        aborted = cx == KV_MathErrors::TimedOut || cy == KV_MathErrors::TimedOut;
    }
    if (!aborted && detectDiscontinuities) {
        KV_GraphSampler::markDiscontinuities(*fx, t.get(), x.get(), flags.get(), n);
        KV_GraphSampler::markDiscontinuities(*fy, t.get(), y.get(), yflags.get(), n);
    }
    if (aborted || scope.aborted())
        return KV_MathErrors::TimedOut;
    for (uint32_t i = 0; i < n; ++i)
        flags[i] |= yflags[i];
    data.t = t.release();
    data.x = x.release();
    data.y = y.release();
    data.flags = flags.release();
    data.numPoints = n;
    return KV_MathErrors::Ok;
}

int KVQ_QalcMathServer::GC_RealValue(const QString& expression, double& value) {
    Call call(this);
    MathStructure result;
    if (const int code = call.start(expression, true, result))
        return code;
    return KV_QalcEngine::realValue(result, value) ? KV_MathErrors::Ok
                                                   : KV_MathErrors::NotRealNumber;
}

int KVQ_QalcMathServer::GC_GetRealArray(const QString& expression, RealArray& array) {
    Call call(this);
    MathStructure result;
    if (const int code = call.start(expression, true, result))
        return code;
    size_t rows = 1, cols = 0;
    if (result.isMatrix()) {
        rows = result.size();
        cols = result[0].size();
    } else if (result.isVector()) {
        rows = result.size();
    }
    const size_t count = cols == 0 ? rows : rows * cols;
    if (count > KV_MathErrors::MaxGraphPoints)
        return KV_MathErrors::TooManyPoints;
    auto values = kvMallocArray<double>(count);
    if (!values)
        return KV_MathErrors::TooManyPoints;
    bool real = true;
    for (size_t i = 0; i < count && real; ++i) {
        const MathStructure& e = cols                ? result[i / cols][i % cols]
                                 : result.isVector() ? result[i]
                                                     : result;
        real = KV_QalcEngine::realValue(e, values[i]);
    }
    if (!real)
        return KV_MathErrors::NotRealArray;
    array.values = values.release();
    array.rows = int32_t(rows);
    array.cols = int32_t(cols);
    return KV_MathErrors::Ok;
}
