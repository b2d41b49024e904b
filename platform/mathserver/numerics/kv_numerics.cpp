#include "numerics/kv_numerics.h"

#include "engine/kv_matherrors.h"

#include <gsl/gsl_deriv.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_integration.h>
#include <gsl/gsl_min.h>
#include <gsl/gsl_roots.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr int MaxIterations = 200;
constexpr size_t IntegrationIntervals = 1000;

// Bridges a KV_Numerics::Function to GSL's plain function pointer; the first failure of the
// function is kept, and the method sees NaN.
struct Adapter {
    const KV_Numerics::Function* f;
    int failure = KV_MathErrors::Ok;
    double failedAt = 0; // where the first failure happened

    static double call(double x, void* self) {
        auto* a = static_cast<Adapter*>(self);
        double y = 0;
        const int code = (*a->f)(x, y);
        if (code != KV_MathErrors::Ok || !std::isfinite(y)) {
            if (a->failure == KV_MathErrors::Ok) {
                a->failure = code != KV_MathErrors::Ok ? code : KV_MathErrors::NotRealNumber;
                a->failedAt = x;
            }
            return std::numeric_limits<double>::quiet_NaN();
        }
        return y;
    }
    gsl_function function() {
        gsl_function g;
        g.function = &Adapter::call;
        g.params = this;
        return g;
    }
};

// GSL's default handler aborts the process; every status is checked here instead.
void quietGsl() {
    static const bool done = [] {
        gsl_set_error_handler_off();
        return true;
    }();
    (void)done;
}

struct Grid {
    std::vector<double> x;
    std::vector<double> y;
    std::vector<bool> ok;
};

int sample(const KV_Numerics::Function& f, double a, double b, Grid& g) {
    const int n = KV_Numerics::GridPoints;
    g.x.resize(n + 1);
    g.y.resize(n + 1);
    g.ok.resize(n + 1);
    for (int i = 0; i <= n; ++i) {
        g.x[i] = i == n ? b : a + (b - a) * i / n;
        const int code = f(g.x[i], g.y[i]);
        if (code == KV_MathErrors::TimedOut)
            return code;
        g.ok[i] = code == KV_MathErrors::Ok && std::isfinite(g.y[i]);
    }
    return KV_MathErrors::Ok;
}

bool validInterval(double a, double b) {
    return std::isfinite(a) && std::isfinite(b) && a < b;
}

// Whether f has a pole at x on the given side (-1 below, 1 above): its values grow at least as
// fast as 1/|x - pole| (a thousandth of the distance gives nearly a thousand times the value),
// which no integral up to x survives.
bool poleBeside(const KV_Numerics::Function& f, double x, double side) {
    const double scale = std::max(1.0, std::fabs(x));
    double near = 0, nearer = 0;
    return f(x + side * 1e-4 * scale, near) == KV_MathErrors::Ok &&
           f(x + side * 1e-7 * scale, nearer) == KV_MathErrors::Ok && std::isfinite(near) &&
           std::isfinite(nearer) && std::fabs(nearer) > 900 * std::fabs(near);
}

bool poleAt(const KV_Numerics::Function& f, double x) {
    return poleBeside(f, x, -1) || poleBeside(f, x, 1);
}

enum class Tail { Decays, Grows, Oscillates };

// How f behaves on the way from start to infinity in direction (-1 or 1): whether |x f(x)|
// shrinks between a window a thousand times the scale out and one a million times out. A
// tail that does not shrink leaves no integral to infinity: it grows past every bound, or,
// changing its sign, oscillates without settling.
Tail tailOf(const KV_Numerics::Function& f, double start, double direction) {
    constexpr int Samples = 16;
    const double scale = std::max(1.0, std::fabs(start));
    double largest[2] = {0, 0};
    int signChanges = 0;
    for (int w = 0; w < 2; ++w) {
        const double from = start + direction * scale * (w == 0 ? 1e3 : 1e6);
        double previous = 0;
        for (int i = 0; i < Samples; ++i) {
            const double x = from + direction * std::fabs(from - start) * i / Samples;
            double y = 0;
            if (f(x, y) != KV_MathErrors::Ok)
                return Tail::Decays; // the method reports what fails there
            if (!std::isfinite(y))
                return Tail::Grows;
            largest[w] = std::max(largest[w], std::fabs(x * y));
            if (w == 1 && i > 0 && (previous < 0) != (y < 0) && y != 0 && previous != 0)
                ++signChanges;
            previous = y;
        }
    }
    if (largest[1] == 0 || largest[1] < 0.9 * largest[0])
        return Tail::Decays;
    return signChanges > 0 ? Tail::Oscillates : Tail::Grows;
}

} // namespace

int KV_Numerics::minimum(const Function& f, double a, double b, double guess, double& x,
                         double& y) {
    quietGsl();
    if (!validInterval(a, b) || std::isnan(guess))
        return KV_MathErrors::BadRange;
    double lo = a, hi = b, mid = guess;
    double flo = 0, fhi = 0, fmid = 0;
    const bool direct = guess > a && guess < b && f(a, flo) == 0 && f(b, fhi) == 0 &&
                        f(guess, fmid) == 0 && fmid < flo && fmid < fhi;
    if (!direct) {
        Grid g;
        if (const int code = sample(f, a, b, g))
            return code;
        int best = -1;
        for (int i = 1; i < GridPoints; ++i) {
            if (!g.ok[i - 1] || !g.ok[i] || !g.ok[i + 1])
                continue;
            if (!(g.y[i] < g.y[i - 1] && g.y[i] <= g.y[i + 1]))
                continue;
            const bool closer =
                best < 0 ||
                (guess >= a && guess <= b ? std::fabs(g.x[i] - guess) < std::fabs(g.x[best] - guess)
                                          : g.y[i] < g.y[best]);
            if (closer)
                best = i;
        }
        if (best < 0)
            return KV_MathErrors::NoMinimum;
        lo = g.x[best - 1];
        hi = g.x[best + 1];
        mid = g.x[best];
        fmid = g.y[best];
        if (!(g.y[best] < g.y[best + 1])) {
            // A flat bottom: the grid point is as good as the method can do.
            x = mid;
            y = fmid;
            return KV_MathErrors::Ok;
        }
    }
    Adapter adapter{&f};
    gsl_function F = adapter.function();
    std::unique_ptr<gsl_min_fminimizer, void (*)(gsl_min_fminimizer*)> s(
        gsl_min_fminimizer_alloc(gsl_min_fminimizer_brent), gsl_min_fminimizer_free);
    if (!s || gsl_min_fminimizer_set(s.get(), &F, mid, lo, hi) != GSL_SUCCESS)
        return adapter.failure ? adapter.failure : KV_MathErrors::NotConverged;
    int status = GSL_CONTINUE;
    for (int i = 0; i < MaxIterations && status == GSL_CONTINUE; ++i) {
        if (gsl_min_fminimizer_iterate(s.get()) != GSL_SUCCESS)
            break;
        status = gsl_min_test_interval(gsl_min_fminimizer_x_lower(s.get()),
                                       gsl_min_fminimizer_x_upper(s.get()), 1e-12, 1e-12);
    }
    if (adapter.failure)
        return adapter.failure;
    x = gsl_min_fminimizer_x_minimum(s.get());
    const int code = f(x, y);
    return code ? code : KV_MathErrors::Ok;
}

int KV_Numerics::root(const Function& f, double a, double b, double guess, double& x) {
    quietGsl();
    if (!validInterval(a, b) || std::isnan(guess))
        return KV_MathErrors::BadRange;
    Grid g;
    if (const int code = sample(f, a, b, g))
        return code;
    std::vector<int> brackets;
    for (int i = 0; i < GridPoints; ++i) {
        if (g.ok[i] && g.ok[i + 1] && (g.y[i] == 0 || (g.y[i] < 0) != (g.y[i + 1] < 0)))
            brackets.push_back(i);
    }
    if (g.ok[GridPoints] && g.y[GridPoints] == 0)
        brackets.push_back(GridPoints);
    const double centre = guess >= a && guess <= b ? guess : (a + b) / 2;
    std::sort(brackets.begin(), brackets.end(), [&](int p, int q) {
        return std::fabs(g.x[p] - centre) < std::fabs(g.x[q] - centre);
    });
    for (int i : brackets) {
        if (g.y[i] == 0) {
            x = g.x[i];
            return KV_MathErrors::Ok;
        }
        Adapter adapter{&f};
        gsl_function F = adapter.function();
        std::unique_ptr<gsl_root_fsolver, void (*)(gsl_root_fsolver*)> s(
            gsl_root_fsolver_alloc(gsl_root_fsolver_brent), gsl_root_fsolver_free);
        if (!s || gsl_root_fsolver_set(s.get(), &F, g.x[i], g.x[i + 1]) != GSL_SUCCESS)
            continue;
        int status = GSL_CONTINUE;
        for (int k = 0; k < MaxIterations && status == GSL_CONTINUE; ++k) {
            if (gsl_root_fsolver_iterate(s.get()) != GSL_SUCCESS)
                break;
            status = gsl_root_test_interval(gsl_root_fsolver_x_lower(s.get()),
                                            gsl_root_fsolver_x_upper(s.get()), 1e-15, 1e-15);
        }
        if (adapter.failure == KV_MathErrors::TimedOut)
            return adapter.failure;
        const double r = gsl_root_fsolver_root(s.get());
        double fr = 0;
        // A sign change across a pole is no zero.
        const double scale = 1e-6 * (1 + std::fabs(g.y[i]) + std::fabs(g.y[i + 1]));
        if (f(r, fr) == KV_MathErrors::Ok && std::fabs(fr) <= scale) {
            x = r;
            return KV_MathErrors::Ok;
        }
    }
    return KV_MathErrors::NoIntersection;
}

int KV_Numerics::integral(const Function& f, const Function& probe, double a, double b,
                          double& value) {
    quietGsl();
    if (std::isnan(a) || std::isnan(b))
        return KV_MathErrors::BadRange;
    if (a == b) {
        value = 0;
        return KV_MathErrors::Ok;
    }
    const double sign = a < b ? 1.0 : -1.0;
    const double lo = std::min(a, b), hi = std::max(a, b);
    for (const double direction : {-1.0, 1.0}) {
        const double end = direction < 0 ? lo : hi;
        if (!std::isinf(end))
            continue;
        const double start = std::isinf(direction < 0 ? hi : lo) ? 0.0 : (direction < 0 ? hi : lo);
        switch (tailOf(probe, start, direction)) {
        case Tail::Grows:
            return KV_MathErrors::DivergentIntegral;
        case Tail::Oscillates:
            return KV_MathErrors::NotConverged;
        case Tail::Decays:
            break;
        }
    }
    Adapter adapter{&f};
    gsl_function F = adapter.function();
    std::unique_ptr<gsl_integration_workspace, void (*)(gsl_integration_workspace*)> w(
        gsl_integration_workspace_alloc(IntegrationIntervals), gsl_integration_workspace_free);
    if (!w)
        return KV_MathErrors::NotConverged;
    double result = 0, error = 0;
    int status;
    const double epsabs = 1e-12, epsrel = 1e-10;
    if (std::isinf(lo) && std::isinf(hi))
        status = gsl_integration_qagi(&F, epsabs, epsrel, IntegrationIntervals, w.get(), &result,
                                      &error);
    else if (std::isinf(hi))
        status = gsl_integration_qagiu(&F, lo, epsabs, epsrel, IntegrationIntervals, w.get(),
                                       &result, &error);
    else if (std::isinf(lo))
        status = gsl_integration_qagil(&F, hi, epsabs, epsrel, IntegrationIntervals, w.get(),
                                       &result, &error);
    else
        status = gsl_integration_qags(&F, lo, hi, epsabs, epsrel, IntegrationIntervals, w.get(),
                                      &result, &error);
    if (adapter.failure == KV_MathErrors::NotRealNumber && poleAt(probe, adapter.failedAt))
        return KV_MathErrors::DivergentIntegral;
    if (adapter.failure)
        return adapter.failure;
    if (status == GSL_EDIVERGE)
        return KV_MathErrors::DivergentIntegral;
    // Round-off limits on the requested accuracy still leave a usable value.
    if ((status != GSL_SUCCESS && status != GSL_EROUND) || !std::isfinite(result)) {
        // The method never evaluates the bounds themselves: a pole there shows beside them.
        if ((std::isfinite(lo) && poleBeside(probe, lo, 1)) ||
            (std::isfinite(hi) && poleBeside(probe, hi, -1)))
            return KV_MathErrors::DivergentIntegral;
        return KV_MathErrors::NotConverged;
    }
    value = sign * result;
    return KV_MathErrors::Ok;
}

int KV_Numerics::derivative(const Function& f, double x0, double& value) {
    quietGsl();
    if (!std::isfinite(x0))
        return KV_MathErrors::BadArgument;
    // A function without a real value at x0 says so; one that has it but fails beside it
    // (sqrt(x) at 0) is not differentiable there.
    double y0 = 0;
    if (const int code = f(x0, y0))
        return code;
    if (!std::isfinite(y0))
        return KV_MathErrors::NotRealNumber;
    Adapter adapter{&f};
    gsl_function F = adapter.function();
    const double h = 1e-4 * std::max(1.0, std::fabs(x0));
    double result = 0, error = 0;
    const int status = gsl_deriv_central(&F, x0, h, &result, &error);
    // A corner (abs(x) at 0) or a jump has different slopes on its two sides, which the
    // central difference averages away: the slopes from either side must agree, and their mean
    // with it, within their own error (the central error grows with a jump).
    double forward = 0, forwardError = 0, backward = 0, backwardError = 0;
    gsl_deriv_forward(&F, x0, h, &forward, &forwardError);
    gsl_deriv_backward(&F, x0, h, &backward, &backwardError);
    if (adapter.failure == KV_MathErrors::TimedOut)
        return adapter.failure;
    if (adapter.failure)
        return KV_MathErrors::NotDifferentiable;
    if (status != GSL_SUCCESS || !std::isfinite(result))
        return KV_MathErrors::NotConverged;
    const double tolerance =
        10 * (forwardError + backwardError) + 1e-6 * std::max(1.0, std::fabs(result));
    if (!(std::fabs(forward - backward) <= tolerance &&
          std::fabs(result - (forward + backward) / 2) <= tolerance))
        return KV_MathErrors::NotDifferentiable;
    value = result;
    return KV_MathErrors::Ok;
}
