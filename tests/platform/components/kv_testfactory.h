// A component factory for the broker tests. It counts the factories alive so that tests can
// check that the broker gives back every reference it takes.
#ifndef KV_TESTFACTORY_H
#define KV_TESTFACTORY_H

#include "kvq_objectfactoryinterface.h"

class KV_TestFactory : public KVQ_ObjectFactoryInterface {
public:
    // refuseFactory: queryInterface offers only QUnknownInterface.
    explicit KV_TestFactory(bool refuseFactory);
    ~KV_TestFactory() override;

    unsigned long queryInterface(const QUuid& uuid, QUnknownInterface** iface) override;
    unsigned long addRef() override;
    unsigned long release() override;
    // A QObject named name, with the arguments in its property "args"; null for a parent
    // that is not a widget when that parent's object name is "refuse".
    QObject* create(QObject* parent, const char* name, const QStringList& args) override;

    static int alive;

private:
    unsigned long count = 0;
    bool refuse;
};

#endif
