// A component that ends the process before its object exists: KV_EXIT_IN_ENTRY builds the
// variant whose entry point calls exit(0); the other calls exit(0) in its object's constructor,
// or quick_exit(0) when its first argument is "quick".
#include "kv_testfactory.h"

#include <QObject>

#include <cstdlib>

namespace {

class Quitter : public QObject {
public:
    Quitter(QObject* parent, const QStringList& args) : QObject(parent) {
        if (args.value(0) == QLatin1String("quick"))
            std::quick_exit(0);
        std::exit(0);
    }
};

QObject* makeQuitter(QObject* parent, const char*, const QStringList& args) {
    return new Quitter(parent, args);
}

} // namespace

extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate() {
#ifdef KV_EXIT_IN_ENTRY
    std::exit(0);
#endif
    QUnknownInterface* iface = nullptr;
    (new KV_TestFactory(false, makeQuitter))->queryInterface(IID_QUnknown, &iface);
    return iface;
}
