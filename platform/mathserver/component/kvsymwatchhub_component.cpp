// Entry point of the component library that serves "KVQ_SymWatchHub".
#include "component/kvq_mathcomponentfactory.h"

extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate() {
    return KVQ_MathComponentFactory::instantiate(&KVQ_MathComponentFactory::buildSymWatchHub);
}
