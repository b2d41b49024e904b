// One document of the backpack, the store of the user's documents.
#ifndef KV_BACKPACKITEM_H
#define KV_BACKPACKITEM_H

#include <QDateTime>
#include <QPixmap>
#include <QString>

// An abstract item. It is not a QObject: the backpack file gets its QObject from QIODevice,
// and a second QObject base would make every conversion to QObject ambiguous.
class KV_BackpackItem {
public:
    virtual ~KV_BackpackItem();

    // A small picture of the item (a thumbnail for images), or a null pixmap.
    virtual QPixmap pixmap() const = 0;
    // Gives the item a new name in the same folder; false when that is not possible.
    virtual bool rename(const QString& newName) = 0;
    // The size in bytes, or -1 when unknown.
    virtual qint64 size() const = 0;
    // The time of the last change, or an invalid time when unknown.
    virtual QDateTime date() const = 0;
};

#endif
