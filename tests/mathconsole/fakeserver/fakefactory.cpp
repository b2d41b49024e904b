#include "fakefactory.h"

#include "fakemathserver.h"
#include "fakesymwatchhub.h"

FakeFactory::FakeFactory(Kind which) : kind(which) {}

unsigned long FakeFactory::queryInterface(const QUuid& uuid, QUnknownInterface** iface) {
    *iface = nullptr;
    if (uuid != IID_QUnknown && uuid != IID_KVQ_ObjectFactory)
        return 1;
    *iface = this;
    addRef();
    return 0;
}

unsigned long FakeFactory::addRef() {
    return count++;
}

unsigned long FakeFactory::release() {
    if (--count == 0) {
        delete this;
        return 0;
    }
    return count;
}

QObject* FakeFactory::create(QObject* parent, const char*, const QStringList&) {
    if (kind == SymWatchHub) {
        if (qEnvironmentVariableIsSet("KV_FAKE_NO_HUB"))
            return nullptr;
        auto* hub = new FakeSymWatchHub;
        hub->setParent(parent);
        return hub;
    }
    static int made = 0;
    bool limited = false;
    const int limit = qEnvironmentVariableIntValue("KV_FAKE_SERVERS", &limited);
    if (limited && made >= limit)
        return nullptr;
    ++made;
    auto* server = new FakeMathServer;
    server->setParent(parent);
    return server;
}

QUnknownInterface* FakeFactory::instantiate(Kind kind) {
    QUnknownInterface* iface = nullptr;
    (new FakeFactory(kind))->queryInterface(IID_QUnknown, &iface);
    return iface;
}
