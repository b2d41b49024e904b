#include "kv_dbuswriter.h"

#include <QtEndian>

void KV_DBusWriter::align(int boundary) {
    while (out.size() % boundary)
        out.append('\0');
}

void KV_DBusWriter::putByte(quint8 value) {
    out.append(char(value));
}

void KV_DBusWriter::putUint32(quint32 value) {
    align(4);
    char raw[4];
    qToLittleEndian(value, raw);
    out.append(raw, 4);
}

void KV_DBusWriter::putString(const QByteArray& value) {
    putUint32(quint32(value.size()));
    out.append(value);
    out.append('\0');
}

void KV_DBusWriter::putSignature(const QByteArray& value) {
    putByte(quint8(value.size()));
    out.append(value);
    out.append('\0');
}

void KV_DBusWriter::putBytes(const QByteArray& value) {
    putUint32(quint32(value.size()));
    out.append(value);
}

void KV_DBusWriter::putField(Field field, char type, const QByteArray& value) {
    align(8);
    putByte(quint8(field));
    putSignature(QByteArray(1, type));
    if (type == 'g')
        putSignature(value);
    else
        putString(value);
}

QByteArray KV_DBusWriter::message(Type type, quint32 serial, const QByteArray& fields,
                                  const QByteArray& body) {
    KV_DBusWriter w;
    w.putByte('l');
    w.putByte(quint8(type));
    w.putByte(0); // flags
    w.putByte(1); // protocol version
    w.putUint32(quint32(body.size()));
    w.putUint32(serial);
    w.putUint32(quint32(fields.size()));
    w.out.append(fields);
    w.align(8);
    w.out.append(body);
    return w.out;
}
