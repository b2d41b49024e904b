// The factory of the fake math server and hub components: each component library makes one
// factory for its own class. KV_FAKE_NO_HUB makes the hub factory refuse; KV_FAKE_SERVERS=n
// makes the server factory refuse after the first n servers.
#ifndef FAKEFACTORY_H
#define FAKEFACTORY_H

#include "kvq_objectfactoryinterface.h"

class FakeFactory final : public KVQ_ObjectFactoryInterface {
public:
    enum Kind { MathServer, SymWatchHub };

    explicit FakeFactory(Kind kind);

    unsigned long queryInterface(const QUuid& uuid, QUnknownInterface** iface) override;
    unsigned long addRef() override;
    unsigned long release() override;
    QObject* create(QObject* parent, const char* name, const QStringList& args) override;

    // A new factory with one reference, as an entry point returns it.
    static QUnknownInterface* instantiate(Kind kind);

private:
    Kind kind;
    unsigned long count = 0;
};

#endif
