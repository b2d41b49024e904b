// The factory interface a component library offers to the broker.
#ifndef KVQ_OBJECTFACTORYINTERFACE_H
#define KVQ_OBJECTFACTORYINTERFACE_H

#include "qunknowninterface.h"

#include <QStringList>

class QObject;

// Identifier of KVQ_ObjectFactoryInterface.
inline const QUuid IID_KVQ_ObjectFactory(0x1282edd2, 0x5470, 0x42e7, 0x80, 0xf0, 0xaf, 0x48, 0x35,
                                         0x54, 0xc0, 0xd6);

class KVQ_ObjectFactoryInterface : public QUnknownInterface {
public:
    // Builds a new object, or returns null when it cannot. The caller owns the result unless
    // parent owns it.
    virtual QObject* create(QObject* parent, const char* name, const QStringList& args) = 0;

protected:
    ~KVQ_ObjectFactoryInterface() = default;
};

#endif
