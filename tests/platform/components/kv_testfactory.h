// A component factory for the broker tests. It counts the factories alive so that tests can
// check that the broker gives back every reference it takes.
#ifndef KV_TESTFACTORY_H
#define KV_TESTFACTORY_H

#include "kvq_objectfactoryinterface.h"

class KV_TestFactory final : public KVQ_ObjectFactoryInterface {
public:
    using Maker = QObject* (*)(QObject* parent, const char* name, const QStringList& args);

    // refuseFactory: queryInterface offers only QUnknownInterface. make builds the objects.
    KV_TestFactory(bool refuseFactory, Maker make);
    ~KV_TestFactory();

    unsigned long queryInterface(const QUuid& uuid, QUnknownInterface** iface) override;
    unsigned long addRef() override;
    unsigned long release() override;
    // What the maker builds; null when the parent's object name is "refuse".
    QObject* create(QObject* parent, const char* name, const QStringList& args) override;

    static int alive;

private:
    unsigned long count = 0;
    bool refuse;
    Maker maker;
};

#endif
