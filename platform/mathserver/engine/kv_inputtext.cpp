#include "engine/kv_inputtext.h"

#include "engine/kv_matherrors.h"

namespace {

constexpr char32_t ByteOrderMark = 0xFEFF;

bool isInvisible(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return (category == QChar::Other_Control && c != U'\t') || category == QChar::Other_Format;
}

// Compatibility forms whose plain form the engine reads as the user meant it.
bool takesPlainForm(char32_t c) {
    switch (QChar::decompositionTag(c)) {
    case QChar::NoDecomposition:
    case QChar::Canonical:
    case QChar::Super:
    case QChar::Sub:
    case QChar::Fraction:
        return false;
    default:
        return true;
    }
}

QString hexCode(char32_t c) {
    return QStringLiteral("U+") +
           QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

} // namespace

int KV_InputText::normalize(QString& text, QStringList& warnings) {
    QString in = text;
    while (in.endsWith(QLatin1Char('\n')) || in.endsWith(QLatin1Char('\r')))
        in.chop(1);
    const QList<uint> codes = in.toUcs4();
    QString out;
    out.reserve(in.size());
    for (int i = 0; i < codes.size(); ++i) {
        const char32_t c = codes.at(i);
        if (i == 0 && c == ByteOrderMark)
            continue;
        if (isInvisible(c)) {
            warnings << QStringLiteral("Invisible or control character %1 at position %2")
                            .arg(hexCode(c))
                            .arg(i + 1);
            return KV_MathErrors::InvisibleCharacter;
        }
        const QString one = QString::fromUcs4(&c, 1);
        out += takesPlainForm(c) ? one.normalized(QString::NormalizationForm_KC) : one;
    }
    text = out;
    return KV_MathErrors::Ok;
}

bool KV_InputText::hasInvisible(const QString& text) {
    for (const uint c : text.toUcs4()) {
        if (isInvisible(c))
            return true;
    }
    return false;
}
