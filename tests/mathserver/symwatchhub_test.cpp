// The symbol-watch hub: codes, marking, change records and synchronous notification.
#include "mathcomponent.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Records every symChanged the hub emits, with what the hub reported at that moment.
struct Receptor {
    explicit Receptor(KVQ_SymWatchHub* h) : hub(h) {
        code = hub->allocWatchCode();
        QObject::connect(hub, &KVQ_SymWatchHub::symChanged, [this](unsigned long events) {
            this->events.push_back(events);
            hub->getChangedVariables(changedAll, 7);
        });
    }
    KVQ_SymWatchHub* hub;
    unsigned long code = 0;
    std::vector<unsigned long> events;
    QStringList changedAll;
};

class Hub : public ::testing::Test {
protected:
    void SetUp() override {
        server.reset(MathComponent::server());
        ASSERT_TRUE(server);
        server->ST_ClearSymbolTable();
    }
    void TearDown() override { server->ST_ClearSymbolTable(); }
    std::unique_ptr<KVQ_MathServer> server;
};

TEST_F(Hub, CodesAreSingleBitsUpToThirtyTwo) {
    std::unique_ptr<KVQ_SymWatchHub> a(MathComponent::hub());
    std::unique_ptr<KVQ_SymWatchHub> b(MathComponent::hub());
    ASSERT_TRUE(a && b);
    unsigned long seen = 0;
    int count = 0;
    for (;;) {
        const unsigned long code = (count % 2 ? a : b)->allocWatchCode();
        if (code == 0)
            break;
        EXPECT_EQ(code & (code - 1), 0ul) << "one bit";
        EXPECT_EQ(seen & code, 0ul) << "process-wide unique";
        seen |= code;
        ++count;
        ASSERT_LE(count, 32);
    }
    EXPECT_EQ(count, 32);
    // A hub frees only its own codes; the freed bit is handed out again.
    a->freeWatchCode(1ul);
    const unsigned long again = a->allocWatchCode();
    b->freeWatchCode(again);
    EXPECT_EQ(b->allocWatchCode(), 0ul);
    a->freeWatchCode(again);
    EXPECT_EQ(b->allocWatchCode(), again);
    // Destroying a hub frees what it holds.
    a.reset();
    EXPECT_NE(b->allocWatchCode(), 0ul);
}

TEST_F(Hub, MarkedVariablesAreReportedByKindInsideTheServerCall) {
    std::unique_ptr<KVQ_SymWatchHub> hub(MathComponent::hub());
    Receptor r(hub.get());
    ASSERT_NE(r.code, 0ul);
    ASSERT_EQ(hub->markVariableList(r.code, {"va", "vb"}, true), 0);

    ASSERT_EQ(server->ST_DefVar("va", "1", 0), 0);
    ASSERT_EQ(r.events.size(), 1u) << "emitted before the call returned";
    EXPECT_EQ(r.events[0] & r.code, r.code);
    EXPECT_EQ(r.changedAll, QStringList{"va"});

    ASSERT_EQ(server->ST_DefVar("other", "1", 0), 0);
    EXPECT_EQ(r.events.size(), 1u) << "unwatched variable";

    ASSERT_EQ(server->ST_DefVar("vb", "2", 0), 0);
    hub->resetWatchFlags(r.code);
    ASSERT_EQ(server->ST_DefVar("va", "5", 0), 0);
    ASSERT_EQ(server->ST_DefVar("vb", "", 0), 0);
    QStringList names;
    hub->getChangedVariables(names, 1);
    EXPECT_TRUE(names.isEmpty());
    hub->getChangedVariables(names, 2);
    EXPECT_EQ(names, QStringList{"vb"});
    hub->getChangedVariables(names, 4);
    EXPECT_EQ(names, QStringList{"va"});
    hub->getChangedVariables(names, 7);
    EXPECT_EQ(names, (QStringList{"va", "vb"}));
    EXPECT_EQ(r.events.size(), 4u);
}

TEST_F(Hub, EveryHubHearsTheTouchedBits) {
    std::unique_ptr<KVQ_SymWatchHub> h1(MathComponent::hub());
    std::unique_ptr<KVQ_SymWatchHub> h2(MathComponent::hub());
    Receptor r1(h1.get()), r2(h2.get());
    ASSERT_EQ(h1->markVariableList(r1.code, {"w1"}, false), 0);
    ASSERT_EQ(h2->markVariableList(r2.code, {"w2"}, false), 0);
    ASSERT_EQ(server->ST_DefVar("w1", "3", 0), 0);
    ASSERT_EQ(r1.events.size(), 1u);
    ASSERT_EQ(r2.events.size(), 1u);
    EXPECT_EQ(r1.events[0], r1.code);
    EXPECT_EQ(r2.events[0], r1.code) << "irrelevant to the second receptor";
    EXPECT_TRUE(r2.changedAll.isEmpty());
    ASSERT_EQ(server->ST_ClearSymbolTable(), 0);
    EXPECT_EQ(r2.events.back(), r1.code) << "w1 deleted; w2 never existed";
}

TEST_F(Hub, MarkingWatchesEveryChangedVariable) {
    std::unique_ptr<KVQ_SymWatchHub> hub(MathComponent::hub());
    Receptor r(hub.get());
    server->ST_DefVar("before", "1", 0);
    hub->startMarking(r.code, true);
    server->ST_DefVar("m1", "1", 0);
    server->ST_DefVar("m1", "2", 0);
    QString answer;
    server->evaluate("7", FULL_PRECISION_ANS, answer);
    hub->stopMarking(r.code);
    server->ST_DefVar("after", "1", 0);
    QStringList names;
    hub->getChangedVariables(names, 1);
    EXPECT_EQ(names, (QStringList{"ans", "m1"}));
    EXPECT_EQ(r.events.size(), 3u) << "created, modified, ans";
    // Still watched after marking stopped.
    server->ST_DefVar("m1", "", 0);
    hub->getChangedVariables(names, 1);
    EXPECT_EQ(names, QStringList{"ans"});
    EXPECT_EQ(r.events.size(), 4u);
}

TEST_F(Hub, BadCodesAndNames) {
    std::unique_ptr<KVQ_SymWatchHub> hub(MathComponent::hub());
    std::unique_ptr<KVQ_SymWatchHub> other(MathComponent::hub());
    const unsigned long code = hub->allocWatchCode();
    EXPECT_NE(hub->markVariableList(0, {"a1"}, false), 0);
    EXPECT_NE(hub->markVariableList(3, {"a1"}, false), 0);
    EXPECT_NE(other->markVariableList(code, {"a1"}, false), 0) << "not its code";
    const int bad = hub->markVariableList(code, {"1abc"}, false);
    EXPECT_NE(bad, 0);
    QString text;
    server->errorString(bad, text);
    EXPECT_TRUE(text.contains("name"));
    EXPECT_EQ(hub->markVariableList(code, {}, true), 0);
}

} // namespace
