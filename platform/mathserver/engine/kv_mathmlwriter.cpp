#include "engine/kv_mathmlwriter.h"

#include "engine/kv_qalcengine.h"

#include <libqalculate/qalculate.h>

QString KV_MathMLWriter::write(const MathStructure& value, const PrintOptions& po) {
    return QStringLiteral("<math xmlns=\"http://www.w3.org/1998/Math/MathML\">") + node(value, po) +
           QStringLiteral("</math>");
}

QString KV_MathMLWriter::leaf(const char* tag, const QString& text) {
    return QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), text.toHtmlEscaped());
}

// A child that needs brackets inside a product or power.
QString KV_MathMLWriter::grouped(const MathStructure& m, const PrintOptions& po) {
    const bool compound = m.isAddition() || m.isMultiplication() || m.isNegate() ||
                          m.isDivision() || m.isPower() ||
                          (m.isNumber() && (m.number().isNegative() || !m.number().isReal()));
    if (!compound)
        return node(m, po);
    return QStringLiteral("<mrow><mo>(</mo>") + node(m, po) + QStringLiteral("<mo>)</mo></mrow>");
}

// The children of m, separated by commas.
QString KV_MathMLWriter::list(const MathStructure& m, const PrintOptions& po) {
    QString out;
    for (size_t i = 0; i < m.size(); ++i) {
        if (i > 0)
            out += QStringLiteral("<mo>,</mo>");
        out += node(m[i], po);
    }
    return out;
}

// A number; a fraction in fractional form.
QString KV_MathMLWriter::number(const MathStructure& m, const PrintOptions& po) {
    const Number& n = m.number();
    if (n.isRational() && !n.isInteger() && po.number_fraction_format == FRACTION_FRACTIONAL) {
        Number num(n.numerator());
        const Number den(n.denominator());
        if (num.isNegative())
            num.negate();
        const QString frac =
            QStringLiteral("<mfrac>") + leaf("mn", KV_QalcEngine::fromEngine(num.print(po))) +
            leaf("mn", KV_QalcEngine::fromEngine(den.print(po))) + QStringLiteral("</mfrac>");
        return n.isNegative()
                   ? QStringLiteral("<mrow><mo>-</mo>") + frac + QStringLiteral("</mrow>")
                   : frac;
    }
    const QString text = KV_QalcEngine::fromEngine(m.print(po));
    if (text.startsWith(QLatin1Char('-')))
        return QStringLiteral("<mrow><mo>-</mo>") + leaf("mn", text.mid(1)) +
               QStringLiteral("</mrow>");
    return leaf("mn", text);
}

// A function call; sqrt and abs in their own notation.
QString KV_MathMLWriter::function(const MathStructure& m, const PrintOptions& po) {
    const QString name = KV_QalcEngine::fromEngine(m.function()->referenceName());
    if (name == QLatin1String("sqrt") && m.size() == 1)
        return QStringLiteral("<msqrt>") + node(m[0], po) + QStringLiteral("</msqrt>");
    if (name == QLatin1String("abs") && m.size() == 1)
        return QStringLiteral("<mrow><mo>|</mo>") + node(m[0], po) +
               QStringLiteral("<mo>|</mo></mrow>");
    return QStringLiteral("<mrow>") + leaf("mi", name) +
           QStringLiteral("<mo>&#x2061;</mo><mrow><mo>(</mo>") + list(m, po) +
           QStringLiteral("<mo>)</mo></mrow></mrow>");
}

// A matrix as a table, a vector as a bracketed list.
QString KV_MathMLWriter::vector(const MathStructure& m, const PrintOptions& po) {
    if (m.isMatrix()) {
        QString out = QStringLiteral("<mrow><mo>[</mo><mtable>");
        for (size_t r = 0; r < m.size(); ++r) {
            out += QStringLiteral("<mtr>");
            for (size_t c = 0; c < m[r].size(); ++c)
                out += QStringLiteral("<mtd>") + node(m[r][c], po) + QStringLiteral("</mtd>");
            out += QStringLiteral("</mtr>");
        }
        return out + QStringLiteral("</mtable><mo>]</mo></mrow>");
    }
    return QStringLiteral("<mrow><mo>[</mo>") + list(m, po) + QStringLiteral("<mo>]</mo></mrow>");
}

QString KV_MathMLWriter::node(const MathStructure& m, const PrintOptions& po) {
    switch (m.type()) {
    case STRUCT_NUMBER:
        return number(m, po);
    case STRUCT_ADDITION: {
        QString out = QStringLiteral("<mrow>");
        for (size_t i = 0; i < m.size(); ++i) {
            if (i > 0 && m[i].isNegate()) {
                out += QStringLiteral("<mo>-</mo>") + grouped(m[i][0], po);
                continue;
            }
            if (i > 0)
                out += QStringLiteral("<mo>+</mo>");
            out += node(m[i], po);
        }
        return out + QStringLiteral("</mrow>");
    }
    case STRUCT_MULTIPLICATION: {
        QString out = QStringLiteral("<mrow>");
        for (size_t i = 0; i < m.size(); ++i) {
            if (i > 0)
                out += QStringLiteral("<mo>&#x22C5;</mo>");
            out += m[i].isAddition() ? grouped(m[i], po) : node(m[i], po);
        }
        return out + QStringLiteral("</mrow>");
    }
    case STRUCT_DIVISION:
        return QStringLiteral("<mfrac>") + node(m[0], po) + node(m[1], po) +
               QStringLiteral("</mfrac>");
    case STRUCT_INVERSE:
        return QStringLiteral("<mfrac><mn>1</mn>") + node(m[0], po) + QStringLiteral("</mfrac>");
    case STRUCT_NEGATE:
        return QStringLiteral("<mrow><mo>-</mo>") + grouped(m[0], po) + QStringLiteral("</mrow>");
    case STRUCT_POWER:
        return QStringLiteral("<msup>") + grouped(m[0], po) + node(m[1], po) +
               QStringLiteral("</msup>");
    case STRUCT_FUNCTION:
        return function(m, po);
    case STRUCT_VECTOR:
        return vector(m, po);
    case STRUCT_COMPARISON: {
        // In the order of the engine's comparison types.
        static const char* const signs[] = {"&lt;",     "&gt;", "&#x2264;",
                                            "&#x2265;", "=",    "&#x2260;"};
        const int t = int(m.comparisonType());
        const char* sign = t >= 0 && t < 6 ? signs[t] : "=";
        return QStringLiteral("<mrow>") + node(m[0], po) +
               QStringLiteral("<mo>%1</mo>").arg(QLatin1String(sign)) + node(m[1], po) +
               QStringLiteral("</mrow>");
    }
    case STRUCT_VARIABLE:
    case STRUCT_SYMBOLIC:
    case STRUCT_UNIT:
        return leaf("mi", KV_QalcEngine::fromEngine(m.print(po)));
    default:
        return leaf("mtext", KV_QalcEngine::fromEngine(m.print(po)));
    }
}
