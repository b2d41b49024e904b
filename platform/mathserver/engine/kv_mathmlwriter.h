// Presentation MathML of a formatted engine structure.
#ifndef KV_MATHMLWRITER_H
#define KV_MATHMLWRITER_H

#include <QString>

class MathStructure;
struct PrintOptions;

class KV_MathMLWriter {
public:
    // A complete <math> element for value, whose leaves are printed with po.
    static QString write(const MathStructure& value, const PrintOptions& po);

private:
    static QString node(const MathStructure& m, const PrintOptions& po);
    static QString number(const MathStructure& m, const PrintOptions& po);
    static QString function(const MathStructure& m, const PrintOptions& po);
    static QString vector(const MathStructure& m, const PrintOptions& po);
    static QString list(const MathStructure& m, const PrintOptions& po);
    static QString grouped(const MathStructure& m, const PrintOptions& po);
    static QString leaf(const char* tag, const QString& text);
};

#endif
