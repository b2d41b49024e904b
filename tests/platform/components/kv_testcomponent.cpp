// Entry point of the object test components. KV_REFUSE_FACTORY builds the variant whose factory
// does not offer the factory interface.
#include "kv_testfactory.h"

#include <QObject>
#include <QVariant>

#ifndef KV_REFUSE_FACTORY
#define KV_REFUSE_FACTORY false
#endif

namespace {
// A QObject named name, with the arguments in its property "args".
QObject* makeObject(QObject* parent, const char* name, const QStringList& args) {
    auto* object = new QObject(parent);
    object->setObjectName(QString::fromUtf8(name));
    object->setProperty("args", args);
    return object;
}
} // namespace

extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate() {
    QUnknownInterface* iface = nullptr;
    (new KV_TestFactory(KV_REFUSE_FACTORY, makeObject))->queryInterface(IID_QUnknown, &iface);
    return iface;
}

// The number of factories alive in this library.
extern "C" Q_DECL_EXPORT int kv_test_factories_alive() {
    return KV_TestFactory::alive;
}
