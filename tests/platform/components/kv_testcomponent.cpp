// Entry points of the test components. KV_REFUSE_FACTORY builds the variant whose factory does
// not offer the factory interface.
#include "kv_testfactory.h"

#ifndef KV_REFUSE_FACTORY
#define KV_REFUSE_FACTORY false
#endif

extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate() {
    QUnknownInterface* iface = nullptr;
    (new KV_TestFactory(KV_REFUSE_FACTORY))->queryInterface(IID_QUnknown, &iface);
    return iface;
}

// The number of factories alive in this library.
extern "C" Q_DECL_EXPORT int kv_test_factories_alive() {
    return KV_TestFactory::alive;
}
