#include "component/kvq_mathcomponentfactory.h"

#include "server/kvq_qalcmathserver.h"
#include "symbols/kvq_qalcsymwatchhub.h"

#include <QPointer>

#include <algorithm>
#include <vector>

KVQ_MathComponentFactory::KVQ_MathComponentFactory(Builder builder) : builder_(builder) {}

unsigned long KVQ_MathComponentFactory::queryInterface(const QUuid& uuid,
                                                       QUnknownInterface** iface) {
    if (!iface)
        return 1;
    *iface = nullptr;
    if (uuid != IID_QUnknown && uuid != IID_KVQ_ObjectFactory)
        return 1;
    *iface = this;
    addRef();
    return 0;
}

unsigned long KVQ_MathComponentFactory::addRef() {
    return refCount_++;
}

unsigned long KVQ_MathComponentFactory::release() {
    if (--refCount_ == 0) {
        delete this;
        return 0;
    }
    return refCount_;
}

QObject* KVQ_MathComponentFactory::create(QObject* parent, const char* name, const QStringList&) {
    return builder_(parent, name);
}

QUnknownInterface* KVQ_MathComponentFactory::instantiate(Builder builder) {
    auto* factory = new KVQ_MathComponentFactory(builder);
    QUnknownInterface* result = nullptr;
    factory->queryInterface(IID_QUnknown, &result);
    return result;
}

QObject* KVQ_MathComponentFactory::buildMathServer(QObject* parent, const char* name) {
    auto* server = new KVQ_QalcMathServer(parent);
    if (name)
        server->setObjectName(QString::fromUtf8(name));
    return server;
}

QObject* KVQ_MathComponentFactory::buildSymWatchHub(QObject* parent, const char* name) {
    // A hub's users give back their watch codes but never delete the hub itself, so the
    // component keeps every hub made without a parent and deletes those left at exit.
    static struct Orphans {
        std::vector<QPointer<QObject>> hubs;
        ~Orphans() {
            for (const QPointer<QObject>& hub : hubs)
                delete hub.data();
        }
    } orphans;
    auto* hub = new KVQ_QalcSymWatchHub(parent);
    if (name)
        hub->setObjectName(QString::fromUtf8(name));
    if (!parent) {
        orphans.hubs.erase(std::remove(orphans.hubs.begin(), orphans.hubs.end(), nullptr),
                           orphans.hubs.end());
        orphans.hubs.emplace_back(hub);
    }
    return hub;
}
