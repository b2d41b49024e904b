// KVQ_ORB's object creation, in the broker library without widgets (libkvorb): the class
// name leads through the component registry to a library, its entry point to a factory.
#include "kvq_orb.h"

#include "kv_componentloader.h"
#include "kv_componentregistry.h"
#include "kvq_objectfactoryinterface.h"

#include <QObject>

namespace {

KV_ComponentLoader& loader() {
    static KV_ComponentLoader l;
    return l;
}

} // namespace

QObject* KVQ_ORB::createObject(const char* className, QObject* parent, const char* name,
                               const QStringList& args) {
    if (!className || !*className) {
        qWarning("KVQ_ORB: no class name given");
        return nullptr;
    }
    const QString library =
        KV_ComponentRegistry::shared().findLibrary(QString::fromUtf8(className));
    if (library.isEmpty()) {
        qWarning("KVQ_ORB: no component serves class \"%s\"", className);
        return nullptr;
    }
    const UcmInstantiateFunction instantiate = loader().entryPoint(library);
    if (!instantiate)
        return nullptr;

    QUnknownInterface* unknown = instantiate();
    if (!unknown) {
        qWarning("KVQ_ORB: %s returned no interface in %s", UCM_INSTANTIATE_SYMBOL,
                 qPrintable(library));
        return nullptr;
    }
    QUnknownInterface* iface = nullptr;
    if (unknown->queryInterface(IID_KVQ_ObjectFactory, &iface) != 0 || !iface) {
        qWarning("KVQ_ORB: component %s does not offer the object factory interface",
                 qPrintable(library));
        unknown->release();
        return nullptr;
    }
    auto* factory = static_cast<KVQ_ObjectFactoryInterface*>(iface);
    QObject* object = factory->create(parent, name, args);
    factory->release();
    unknown->release();
    if (!object)
        qWarning("KVQ_ORB: the factory in %s built no object of class \"%s\"", qPrintable(library),
                 className);
    return object;
}

QStringList KVQ_ORB::classNames() {
    KV_ComponentRegistry& r = KV_ComponentRegistry::shared();
    r.rescan();
    return r.classNames();
}

QStringList KVQ_ORB::componentFolders() {
    return KV_ComponentRegistry::searchFolders();
}
