#include "kv_ferryquery.h"

namespace {
int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}
} // namespace

KV_FerryQuery::KV_FerryQuery(const QString& query)
    : fields(query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {}

QString KV_FerryQuery::decode(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('%') && i + 2 < text.size() &&
            hexValue(text.at(i + 1)) >= 0 && hexValue(text.at(i + 2)) >= 0) {
            out += QChar(char16_t(hexValue(text.at(i + 1)) * 16 + hexValue(text.at(i + 2))));
            i += 2;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

QByteArray KV_FerryQuery::cString(const QString& text) {
    QByteArray bytes = text.toLatin1();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return bytes;
}

QByteArray KV_FerryQuery::channel() const {
    return "KV/App/" + (isValid() ? cString(decode(fields.at(0))) : QByteArray());
}

QByteArray KV_FerryQuery::message() const {
    return cString(function());
}

QString KV_FerryQuery::function() const {
    return isValid() ? decode(fields.at(1)) : QString();
}
