// The factory a math component library hands to the broker. Each component library makes one
// with the function that builds the class it serves.
#ifndef KVQ_MATHCOMPONENTFACTORY_H
#define KVQ_MATHCOMPONENTFACTORY_H

#include "kvq_objectfactoryinterface.h"

class KVQ_MathComponentFactory final : public KVQ_ObjectFactoryInterface {
public:
    using Builder = QObject* (*)(QObject* parent, const char* name);

    explicit KVQ_MathComponentFactory(Builder builder);

    unsigned long queryInterface(const QUuid& uuid, QUnknownInterface** iface) override;
    unsigned long addRef() override;
    unsigned long release() override;
    // Builds the served object; a parent is kept as the object's Qt parent.
    QObject* create(QObject* parent, const char* name, const QStringList& args) override;

    // The entry point's work: a new factory holding one reference.
    static QUnknownInterface* instantiate(Builder builder);

    static QObject* buildMathServer(QObject* parent, const char* name);
    static QObject* buildSymWatchHub(QObject* parent, const char* name);

private:
    ~KVQ_MathComponentFactory() = default;

    Builder builder_;
    unsigned long refCount_ = 0;
};

#endif
