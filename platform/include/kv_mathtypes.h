// Records and codes shared by the math server, the symbol-watch hub and their callers.
// Arrays inside the records are allocated by the server with malloc and freed by the caller
// with free, also after a failed call.
#ifndef KV_MATHTYPES_H
#define KV_MATHTYPES_H

#include <cstdint>

enum AnsType {
    FULL_PRECISION_ANS = 0,
    FORMATTED_ANS = 1,
    MATHML_ANS = 2,
    FULL_PRECISION_ANS_NOEXPORT = 3,
    FORMATTED_ANS_NOEXPORT = 4,
    MATHML_ANS_NOEXPORT = 5
};

enum VarType {
    ANY_TYPE = 0,
    EXPRESSION_TYPE = 1,
    FUNCTION_TYPE = 2,
    LIST_TYPE = 3,
    MATRIX_TYPE = 4,
    STRING_TYPE = 5
};

// Validation levels of ST_DefVar.
enum DefVarValidation { FULL_VALIDATION = 0, FULL_SIMPLIFICATION = 1, MINIMAL_VALIDATION = 2 };

// Calculation and display modes: eight bytes, fields from the lowest bits of the first byte up.
struct Modes {
    uint32_t arith : 4;         // 0 auto, 1 exact, 2 approx
    uint32_t angle : 4;         // 0 radians, 1 degrees
    uint32_t domain : 4;        // 0 real-calc, 1 complex, 2 real-result
    uint32_t complexForm : 4;   // 0 a+b*i, 1 r*exp(i*theta)
    uint32_t units : 4;         // 0 SI, 1 ENG_US
    uint32_t vectorForm : 4;    // 0 rectangular, 1 cylindrical, 2 spherical
    uint32_t decimalStyle : 4;  // 0 float, 1 fixed
    uint32_t exponentStyle : 4; // 0 norm, 1 sci, 2 eng
    uint32_t digits : 8;        // 0-12; 0 with float means automatic
    uint32_t reserved : 24;     // carried through unchanged
};
static_assert(sizeof(Modes) == 8, "Modes is an 8-byte record");

// A number format passed by value in one 32-bit word; the upper half carries nothing.
struct FloatFormat {
    uint32_t decimalStyle : 4;
    uint32_t exponentStyle : 4;
    uint32_t digits : 8;
    uint32_t unused : 16;
};
static_assert(sizeof(FloatFormat) == 4, "FloatFormat is one 32-bit word");

// Flag bits of one graph point.
enum GraphPointFlag : unsigned char {
    UNDEF = 0x02,
    MINUS_INFINITY = 0x04,
    INFINITY_FLAG = 0x08, // "INFINITY" is taken by <cmath>
    NOT_CONTINUOUS = 0x10
};

struct GraphData {
    double* x;
    double* y;
    uint32_t numPoints;
    unsigned char* flags; // one byte per point, or null
};

struct ParametricGraphData {
    double* t;
    double* x;
    double* y;
    uint32_t numPoints;
    unsigned char* flags; // one byte per point, or null
};

struct RealArray {
    double* values; // row by row
    int32_t rows;
    int32_t cols; // 0: a list of `rows` elements
};

struct ParsedFunction {
    void* data;        // set by the server
    uint32_t reserved; // zeroed by the caller, never read
};

#endif
