#include "mathcomponent.h"

#include "kvq_objectfactoryinterface.h"

#include <dlfcn.h>

QUnknownInterface* MathComponent::factory(const char* library) {
    const QByteArray path = QByteArray(KV_COMPONENT_DIR) + "/lib" + library + ".so";
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    auto entry = reinterpret_cast<UcmInstantiateFunction>(dlsym(handle, UCM_INSTANTIATE_SYMBOL));
    return entry ? entry() : nullptr;
}

QObject* MathComponent::create(const char* library) {
    QUnknownInterface* unknown = factory(library);
    if (!unknown)
        return nullptr;
    QUnknownInterface* iface = nullptr;
    QObject* object = nullptr;
    if (unknown->queryInterface(IID_KVQ_ObjectFactory, &iface) == 0) {
        object = static_cast<KVQ_ObjectFactoryInterface*>(iface)->create(nullptr, nullptr, {});
        iface->release();
    }
    unknown->release();
    return object;
}

KVQ_MathServer* MathComponent::server() {
    return qobject_cast<KVQ_MathServer*>(create("kvmathserver"));
}

KVQ_SymWatchHub* MathComponent::hub() {
    return qobject_cast<KVQ_SymWatchHub*>(create("kvsymwatchhub"));
}
