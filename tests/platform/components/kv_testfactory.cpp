#include "kv_testfactory.h"

#include <QObject>
#include <QVariant>

int KV_TestFactory::alive = 0;

KV_TestFactory::KV_TestFactory(bool refuseFactory) : refuse(refuseFactory) {
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
    auto* object = new QObject(parent);
    object->setObjectName(QString::fromUtf8(name));
    object->setProperty("args", args);
    return object;
}
