// Numeric methods on real functions of one variable, on top of GSL.
#ifndef KV_NUMERICS_H
#define KV_NUMERICS_H

#include <functional>

class KV_Numerics {
public:
    // Returns a result code (0 when the value is real and finite) and writes y.
    using Function = std::function<int(double x, double& y)>;

    // A local minimum of f in [a, b], near guess when guess brackets one.
    static int minimum(const Function& f, double a, double b, double guess, double& x, double& y);
    // A zero of f in [a, b], the one nearest to guess.
    static int root(const Function& f, double a, double b, double guess, double& x);
    // The integral of f from a to b; bounds may be infinite. probe is f for the method's own
    // looks at it beyond the points it sums (its tails, beside a pole), whose messages are not
    // the caller's. An integral that grows past every bound, at a pole or towards infinity, is
    // DivergentIntegral; a tail that oscillates without shrinking, NotConverged.
    static int integral(const Function& f, const Function& probe, double a, double b,
                        double& value);
    // The derivative of f at x0.
    static int derivative(const Function& f, double x0, double& value);

    // Points of the grids used to find a bracket.
    static constexpr int GridPoints = 400;
};

#endif
