// Loads component libraries and finds their entry point. A library stays loaded once its entry
// point has been found: objects it created, and their virtual tables, live in its code.
#ifndef KV_COMPONENTLOADER_H
#define KV_COMPONENTLOADER_H

#include "qunknowninterface.h"

#include <QHash>
#include <QString>

class KV_ComponentLoader {
public:
    // The entry point of the library at path, loading it if needed; null (with a diagnostic)
    // when the library cannot be loaded or does not export the entry point.
    UcmInstantiateFunction entryPoint(const QString& path);

private:
    QHash<QString, UcmInstantiateFunction> loaded;
};

#endif
