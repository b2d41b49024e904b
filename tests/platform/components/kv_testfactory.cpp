#include "kv_testfactory.h"

#include <QObject>

int KV_TestFactory::alive = 0;

KV_TestFactory::KV_TestFactory(bool refuseFactory, Maker make)
    : refuse(refuseFactory), maker(make) {
    ++alive;
}

KV_TestFactory::~KV_TestFactory() {
    --alive;
}

unsigned long KV_TestFactory::queryInterface(const QUuid& uuid, QUnknownInterface** iface) {
    *iface = nullptr;
    if (uuid == IID_QUnknown || (!refuse && uuid == IID_KVQ_ObjectFactory)) {
        *iface = this;
        addRef();
        return 0;
    }
    return 1;
}

unsigned long KV_TestFactory::addRef() {
    return count++;
}

unsigned long KV_TestFactory::release() {
    if (--count == 0) {
        delete this;
        return 0;
    }
    return count;
}

QObject* KV_TestFactory::create(QObject* parent, const char* name, const QStringList& args) {
    if (parent && parent->objectName() == QLatin1String("refuse"))
        return nullptr;
    return maker(parent, name, args);
}
