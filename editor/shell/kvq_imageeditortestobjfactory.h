// KVQ_PXTestObjFactory: the factory the image editor component library hands to the broker.
// Reference counted; every create() builds an editor window.
#ifndef KVQ_IMAGEEDITORTESTOBJFACTORY_H
#define KVQ_IMAGEEDITORTESTOBJFACTORY_H

#include "kvq_objectfactoryinterface.h"

class KVQ_PXTestObjFactory final : public KVQ_ObjectFactoryInterface {
public:
    KVQ_PXTestObjFactory() = default;
    KVQ_PXTestObjFactory(const KVQ_PXTestObjFactory&) = delete;
    KVQ_PXTestObjFactory& operator=(const KVQ_PXTestObjFactory&) = delete;

    // Offers QUnknownInterface and KVQ_ObjectFactoryInterface: 0 with *iface set and a
    // reference added; 1 with *iface null otherwise.
    unsigned long queryInterface(const QUuid& uuid, QUnknownInterface** iface) override;
    // The count before the increment.
    unsigned long addRef() override;
    // The count after the decrement; the factory deletes itself at 0.
    unsigned long release() override;
    // A new editor window; the first argument names a picture to open. Null, building
    // nothing, when parent is not a widget.
    QObject* create(QObject* parent, const char* name, const QStringList& args) override;

private:
    ~KVQ_PXTestObjFactory() = default;

    unsigned long refCount = 0;
};

extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate();

#endif
