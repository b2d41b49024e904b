// Marshals values in the little-endian D-Bus wire format, aligning each to its natural
// boundary measured from the start of the message.
#ifndef KV_DBUSWRITER_H
#define KV_DBUSWRITER_H

#include <QByteArray>

class KV_DBusWriter {
public:
    // Message types of the header.
    enum Type { MethodCall = 1, MethodReturn = 2, Error = 3, Signal = 4 };
    // Header fields.
    enum Field { Path = 1, Interface = 2, Member = 3, Destination = 6, Signature = 8 };

    void align(int boundary);
    void putByte(quint8 value);
    void putUint32(quint32 value);
    // A string or object path: length, bytes, terminating zero.
    void putString(const QByteArray& value);
    void putSignature(const QByteArray& value);
    // An array of bytes: length, then the bytes.
    void putBytes(const QByteArray& value);
    // A header field: struct of field code and variant.
    void putField(Field field, char type, const QByteArray& value);

    const QByteArray& bytes() const { return out; }

    // A whole message. fields holds marshalled header fields (from putField, starting at offset
    // 16 of a message); body the marshalled body, which starts on an 8-byte boundary.
    static QByteArray message(Type type, quint32 serial, const QByteArray& fields,
                              const QByteArray& body);

private:
    QByteArray out;
};

#endif
