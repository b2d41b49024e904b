// The component libraries: entry point, factory reference counting and the objects built.
#include "mathcomponent.h"

#include "kvq_objectfactoryinterface.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(MathComponentFactory, ReferenceCountingAndInterfaces) {
    for (const char* library : {"kvmathserver", "kvsymwatchhub"}) {
        QUnknownInterface* unknown = MathComponent::factory(library);
        ASSERT_TRUE(unknown) << library;
        QUnknownInterface* iface = reinterpret_cast<QUnknownInterface*>(1);
        EXPECT_EQ(unknown->queryInterface(QUuid::createUuid(), &iface), 1u);
        EXPECT_EQ(iface, nullptr);
        EXPECT_EQ(unknown->queryInterface(IID_KVQ_ObjectFactory, &iface), 0u);
        EXPECT_EQ(iface, unknown);
        EXPECT_EQ(unknown->addRef(), 2u);
        EXPECT_EQ(unknown->release(), 2u);
        EXPECT_EQ(iface->release(), 1u);
        EXPECT_EQ(unknown->release(), 0u);
    }
}

TEST(MathComponentFactory, EachLibraryBuildsItsClass) {
    std::unique_ptr<QObject> server(MathComponent::create("kvmathserver"));
    std::unique_ptr<QObject> hub(MathComponent::create("kvsymwatchhub"));
    ASSERT_TRUE(server && hub);
    EXPECT_TRUE(server->inherits("KVQ_MathServer"));
    EXPECT_FALSE(server->inherits("KVQ_SymWatchHub"));
    EXPECT_TRUE(hub->inherits("KVQ_SymWatchHub"));
    EXPECT_GE(hub->metaObject()->indexOfSignal("symChanged(ulong)"), 0);
}

TEST(MathComponentFactory, ParentAndNameAreKept) {
    QObject parent;
    QUnknownInterface* unknown = MathComponent::factory("kvmathserver");
    ASSERT_TRUE(unknown);
    QUnknownInterface* iface = nullptr;
    ASSERT_EQ(unknown->queryInterface(IID_KVQ_ObjectFactory, &iface), 0u);
    QObject* server =
        static_cast<KVQ_ObjectFactoryInterface*>(iface)->create(&parent, "calc", QStringList());
    iface->release();
    unknown->release();
    ASSERT_TRUE(server);
    EXPECT_EQ(server->parent(), &parent);
    EXPECT_EQ(server->objectName(), "calc");
}

TEST(MathComponentFactory, TwoServersWorkSideBySide) {
    std::unique_ptr<KVQ_MathServer> first(MathComponent::server());
    std::unique_ptr<KVQ_MathServer> second(MathComponent::server());
    ASSERT_TRUE(first && second);
    first->prepare("0");
    QString a, b;
    EXPECT_EQ(first->evaluate("2+2", FORMATTED_ANS_NOEXPORT, a), 0);
    first.reset();
    EXPECT_EQ(second->evaluate("3*3", FORMATTED_ANS_NOEXPORT, b), 0);
    EXPECT_EQ(a, "4");
    EXPECT_EQ(b, "9");
}

} // namespace

#include "kvq_orb.h"

namespace {

TEST(MathComponentBroker, ServesBothClasses) {
    std::unique_ptr<QObject> server(
        KVQ_ORB::createObject("KVQ_MathServer", nullptr, nullptr, QStringList()));
    QObject* hubObject = KVQ_ORB::createObject("KVQ_SymWatchHub", nullptr, nullptr, QStringList());
    std::unique_ptr<QObject> hubOwner(hubObject);
    auto* math = qobject_cast<KVQ_MathServer*>(server.get());
    auto* hub = qobject_cast<KVQ_SymWatchHub*>(hubObject);
    ASSERT_TRUE(math);
    ASSERT_TRUE(hub);
    const unsigned long code = hub->allocWatchCode();
    ASSERT_NE(code, 0ul);
    unsigned long seen = 0;
    QObject::connect(hub, &KVQ_SymWatchHub::symChanged, [&](unsigned long e) { seen = e; });
    ASSERT_EQ(hub->markVariableList(code, {"brokered"}, true), 0);
    ASSERT_EQ(math->ST_DefVar("brokered", "1", 0), 0);
    EXPECT_EQ(seen, code);
    EXPECT_EQ(math->ST_DefVar("brokered", "", 0), 0);
}

} // namespace
