// A ferry query: "application&function&argument&...", fields separated by "&", empty fields
// dropped. Application and function are percent-encoded; arguments are taken as they stand.
#ifndef KV_FERRYQUERY_H
#define KV_FERRYQUERY_H

#include <QByteArray>
#include <QString>
#include <QStringList>

class KV_FerryQuery {
public:
    explicit KV_FerryQuery(const QString& query);

    // At least an application and a function.
    bool isValid() const { return fields.size() >= 2; }
    // "KV/App/" and the decoded application name in Latin-1, cut at a decoded zero byte.
    QByteArray channel() const;
    // The decoded function in Latin-1, cut at a decoded zero byte.
    QByteArray message() const;
    QString function() const;
    QStringList arguments() const { return fields.mid(2); }

    // "%" and two hexadecimal digits become the character with that code; a "%" not followed
    // by two hexadecimal digits stays as it is.
    static QString decode(const QString& text);

private:
    static QByteArray cString(const QString& text);

    QStringList fields;
};

#endif
