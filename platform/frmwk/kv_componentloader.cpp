#include "kv_componentloader.h"

#include "kv_componentfile.h"

#include <QFile>
#include <QtGlobal>

#include <dlfcn.h>

UcmInstantiateFunction KV_ComponentLoader::entryPoint(const QString& path) {
    const auto it = loaded.constFind(path);
    if (it != loaded.constEnd())
        return it.value();

    const QByteArray file = QFile::encodeName(path);
    QString why;
    if (!KV_ComponentFile::isLoadable(path, &why)) {
        qWarning("KVQ_ORB: cannot load component library %s: %s", file.constData(),
                 qPrintable(why));
        return nullptr;
    }
    // RTLD_GLOBAL: a component resolves framework symbols from the process, and later components
    // may resolve symbols of earlier ones.
    void* handle = dlopen(file.constData(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        qWarning("KVQ_ORB: cannot load component library %s: %s", file.constData(), dlerror());
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(handle, UCM_INSTANTIATE_SYMBOL);
    if (!symbol) {
        qWarning("KVQ_ORB: component library %s has no entry point %s", file.constData(),
                 UCM_INSTANTIATE_SYMBOL);
        dlclose(handle);
        return nullptr;
    }
    if (!KV_ComponentFile::isFunction(symbol)) {
        qWarning("KVQ_ORB: cannot load component library %s: its entry point %s is not a function",
                 file.constData(), UCM_INSTANTIATE_SYMBOL);
        dlclose(handle);
        return nullptr;
    }
    const auto function = reinterpret_cast<UcmInstantiateFunction>(symbol);
    loaded.insert(path, function);
    return function;
}
