#include "kvq_imageeditortestobjfactory.h"

#include "kvq_imageeditor.h"

unsigned long KVQ_PXTestObjFactory::queryInterface(const QUuid& uuid, QUnknownInterface** iface) {
    *iface = nullptr;
    if (uuid != IID_QUnknown && uuid != IID_KVQ_ObjectFactory)
        return 1;
    *iface = this;
    (*iface)->addRef();
    return 0;
}

unsigned long KVQ_PXTestObjFactory::addRef() {
    return refCount++;
}

unsigned long KVQ_PXTestObjFactory::release() {
    if (--refCount == 0) {
        delete this;
        return 0;
    }
    return refCount;
}

QObject* KVQ_PXTestObjFactory::create(QObject* parent, const char* name, const QStringList& args) {
    if (parent && !parent->isWidgetType())
        return nullptr;
    return new KVQ_imageEditor(static_cast<QWidget*>(parent), name,
                               args.isEmpty() ? QString() : args.first());
}

extern "C" QUnknownInterface* ucm_instantiate() {
    QUnknownInterface* iface = nullptr;
    (new KVQ_PXTestObjFactory)->queryInterface(IID_QUnknown, &iface);
    return iface;
}
