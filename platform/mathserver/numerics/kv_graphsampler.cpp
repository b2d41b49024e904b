#include "numerics/kv_graphsampler.h"

#include "engine/kv_matherrors.h"
#include "numerics/kv_functionevaluator.h"

#include "kv_mathtypes.h"

#include <cmath>

namespace {

// True when f jumps between a and b: halving the interval towards the larger change does not
// make the change shrink as a continuous function's would.
bool jumpsBetween(const KV_FunctionEvaluator& f, double a, double fa, double b, double fb) {
    const double initial = std::fabs(fb - fa);
    for (int i = 0; i < 40; ++i) {
        const double m = a + (b - a) / 2;
        double fm = 0;
        if (m <= a || m >= b)
            break;
        if (f.evaluate(m, fm) != KV_MathErrors::Ok || !std::isfinite(fm))
            return true;
        if (std::fabs(fm - fa) > std::fabs(fb - fm)) {
            b = m;
            fb = fm;
        } else {
            a = m;
            fa = fm;
        }
        if (std::fabs(fb - fa) < 1e-3 * initial)
            return false;
    }
    return std::fabs(fb - fa) > 1e-9 * (1 + std::fabs(fa));
}

// Segments worth a closer look: a change well above both neighbouring changes, or a change of
// sign above both (a pole between two steep branches, as tan has).
bool suspicious(const double* y, uint32_t i, uint32_t n) {
    const double d = std::fabs(y[i] - y[i - 1]);
    const double before = i >= 2 ? std::fabs(y[i - 1] - y[i - 2]) : 0;
    const double after = i + 1 < n ? std::fabs(y[i + 1] - y[i]) : 0;
    if (d > 0 && y[i - 1] * y[i] < 0 && d > before && d > after)
        return true;
    return d > 0 && d > 3 * before && d > 3 * after;
}

} // namespace

int KV_GraphSampler::pointCount(double min, double max, double step, uint32_t& count) {
    if (!std::isfinite(min) || !std::isfinite(max) || min > max)
        return KV_MathErrors::BadRange;
    if (!std::isfinite(step) || step <= 0)
        return KV_MathErrors::BadStep;
    const double n = std::floor((max - min) / step * (1 + 1e-12)) + 1;
    if (!(n <= double(KV_MathErrors::MaxGraphPoints)))
        return KV_MathErrors::TooManyPoints;
    count = uint32_t(n);
    return KV_MathErrors::Ok;
}

int KV_GraphSampler::samplePoint(const KV_FunctionEvaluator& f, double t, double& value,
                                 unsigned char& flags) {
    const int code = f.evaluate(t, value);
    flags = 0;
    if (code != KV_MathErrors::Ok) {
        flags = UNDEF;
        value = std::nan("");
    } else if (std::isinf(value)) {
        flags = value > 0 ? INFINITY_FLAG : MINUS_INFINITY;
    }
    return code;
}

void KV_GraphSampler::markDiscontinuities(const KV_FunctionEvaluator& f, const double* t,
                                          const double* y, unsigned char* flags, uint32_t n) {
    for (uint32_t i = 1; i < n; ++i) {
        const bool here = (flags[i] & (UNDEF | INFINITY_FLAG | MINUS_INFINITY)) == 0;
        const bool before = (flags[i - 1] & (UNDEF | INFINITY_FLAG | MINUS_INFINITY)) == 0;
        if (here && !before)
            flags[i] |= NOT_CONTINUOUS;
        else if (here && before && suspicious(y, i, n) &&
                 jumpsBetween(f, t[i - 1], y[i - 1], t[i], y[i]))
            flags[i] |= NOT_CONTINUOUS;
    }
}
