// Point tables of functions: how many points a range holds, the value and flags of one point,
// and where a sampled function breaks off.
#ifndef KV_GRAPHSAMPLER_H
#define KV_GRAPHSAMPLER_H

#include <cstdint>

class KV_FunctionEvaluator;

class KV_GraphSampler {
public:
    // The number of points from min to max in steps of step; BadRange, BadStep or
    // TooManyPoints for a table that cannot be made.
    static int pointCount(double min, double max, double step, uint32_t& count);
    // The value of f at t and its flags (UNDEF, INFINITY_FLAG or MINUS_INFINITY); an undefined
    // value is NaN. Returns f's result code.
    static int samplePoint(const KV_FunctionEvaluator& f, double t, double& value,
                           unsigned char& flags);
    // Adds NOT_CONTINUOUS to the points where f resumes after undefined points and where it
    // jumps between a point and the one before.
    static void markDiscontinuities(const KV_FunctionEvaluator& f, const double* t, const double* y,
                                    unsigned char* flags, uint32_t n);
};

#endif
