// Entry point of the fake math server component.
#include "fakefactory.h"

extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate() {
    return FakeFactory::instantiate(FakeFactory::MathServer);
}
