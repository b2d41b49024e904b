#include "kvq_orb.h"

#include "kv_componentloader.h"
#include "kv_componentregistry.h"
#include "kvq_objectfactoryinterface.h"

#include <QObject>
#include <QtGlobal>

namespace {

struct BrokerState {
    KV_ComponentRegistry registry;
    KV_ComponentLoader loader;
    QString scannedPath; // KV_COMPONENT_PATH when the registry was last read
    bool scanned = false;
};

BrokerState& state() {
    static BrokerState s;
    return s;
}

// The registry, read again when KV_COMPONENT_PATH changed since the last reading.
KV_ComponentRegistry& registry() {
    BrokerState& s = state();
    const QString path = qEnvironmentVariable("KV_COMPONENT_PATH");
    if (!s.scanned || path != s.scannedPath) {
        s.registry.rescan();
        s.scannedPath = path;
        s.scanned = true;
    }
    return s.registry;
}

// The library serving className; a miss reads the index files again, since components may have
// been installed since the last reading.
QString libraryFor(const QString& className) {
    QString library = registry().libraryFor(className);
    if (library.isEmpty()) {
        state().registry.rescan();
        library = state().registry.libraryFor(className);
    }
    return library;
}

} // namespace

QObject* KVQ_ORB::createObject(const char* className, QObject* parent, const char* name,
                               const QStringList& args) {
    if (!className || !*className) {
        qWarning("KVQ_ORB: no class name given");
        return nullptr;
    }
    const QString library = libraryFor(QString::fromUtf8(className));
    if (library.isEmpty()) {
        qWarning("KVQ_ORB: no component serves class \"%s\"", className);
        return nullptr;
    }
    const UcmInstantiateFunction instantiate = state().loader.entryPoint(library);
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
    KV_ComponentRegistry& r = registry();
    r.rescan();
    return r.classNames();
}

QStringList KVQ_ORB::componentFolders() {
    return KV_ComponentRegistry::searchFolders();
}

int KVQ_ORB::main(int argc, char** argv) {
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return 1;
}
