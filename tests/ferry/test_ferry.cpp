// ferry as a user runs it, against a private bus with a QCopChannel listening.
#include "kv_ferrytest.h"
#include "qcopchannel.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using Message = FerryMessage;
class Ferry : public KV_FerryTest {};

TEST_F(Ferry, SendsFunctionWithoutArgumentsAndLogsIt) {
    QCopChannel channel("KV/App/calc");
    ASSERT_TRUE(channel.isListening());
    QSignalSpy spy(&channel, &QCopChannel::received);
    const FerryRun r = ferry({"calc&show()"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
    const QList<Message> got = drain(channel, spy);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].name, "show()");
    EXPECT_TRUE(got[0].arguments.isEmpty());
    const QByteArray record = log();
    EXPECT_EQ(record.count('\n'), 1);
    EXPECT_TRUE(record.contains(" 16 - ferry:55 function is show()\n")) << record.constData();
}

TEST_F(Ferry, EmptyFieldsDoNotCountAndExtraWordsAreIgnored) {
    QCopChannel channel("KV/App/calc");
    QSignalSpy spy(&channel, &QCopChannel::received);
    EXPECT_EQ(ferry({"&&calc&&show()&&"}).status, 0);
    EXPECT_EQ(ferry({"calc&add(QString,QString)&&x&y&", "ignored&words()"}).status, 0);
    const QList<Message> got = drain(channel, spy);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].name, "show()");
    EXPECT_TRUE(got[0].arguments.isEmpty());
    EXPECT_EQ(got[1].name, "add(QString,QString)");
    EXPECT_EQ(got[1].arguments, QStringList({"x", "y"}));
}

TEST_F(Ferry, DecodesNameAndFunctionButNotArguments) {
    QCopChannel channel("KV/App/my app");
    QCopChannel other("KV/App/my%20app");
    QSignalSpy spy(&channel, &QCopChannel::received);
    QSignalSpy otherSpy(&other, &QCopChannel::received);
    EXPECT_EQ(ferry({"my%20app&setText(QString)&a%20b"}).status, 0);
    // An encoded "&" is part of its field, since fields are split before decoding.
    EXPECT_EQ(ferry({"my%20app&set%28QString%29&x%26y"}).status, 0);
    const QList<Message> got = drain(channel, spy);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].name, "setText(QString)");
    EXPECT_EQ(got[0].arguments, QStringList({"a%20b"}));
    EXPECT_EQ(got[1].name, "set(QString)");
    EXPECT_EQ(got[1].arguments, QStringList({"x%26y"}));
    EXPECT_TRUE(drain(other, otherSpy).isEmpty());
}

TEST_F(Ferry, MalformedEscapesStayAsTheyAre) {
    QCopChannel channel("KV/App/a%zz%4");
    QSignalSpy spy(&channel, &QCopChannel::received);
    EXPECT_EQ(ferry({"a%zz%4&f%2"}).status, 0);
    EXPECT_EQ(ferry({"a%zz%4&%"}).status, 0);
    const QList<Message> got = drain(channel, spy);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].name, "f%2");
    EXPECT_EQ(got[1].name, "%");
}

TEST_F(Ferry, NamesAreLatin1AndCutAtAZeroByte) {
    QCopChannel latin(QByteArray("KV/App/caf\xe9"));
    QCopChannel unmappable("KV/App/?uro");
    QCopChannel cut("KV/App/calc");
    QSignalSpy latinSpy(&latin, &QCopChannel::received);
    QSignalSpy unmappableSpy(&unmappable, &QCopChannel::received);
    QSignalSpy cutSpy(&cut, &QCopChannel::received);
    EXPECT_EQ(ferry({QString::fromUtf8("caf\xc3\xa9&show()&\xe2\x82\xac 5")}).status, 0);
    EXPECT_EQ(ferry({QString::fromUtf8("%E9\xe2\x82\xacuro&show()")}).status, 0);
    EXPECT_EQ(ferry({"calc%00junk&show%00()"}).status, 0);

    const QList<Message> l = drain(latin, latinSpy);
    ASSERT_EQ(l.size(), 1);
    // Arguments are strings, not 8-bit names: the euro sign arrives intact.
    EXPECT_EQ(l[0].arguments, QStringList({QString::fromUtf8("\xe2\x82\xac 5")}));
    EXPECT_TRUE(drain(unmappable, unmappableSpy).isEmpty());
    const QList<Message> c = drain(cut, cutSpy);
    ASSERT_EQ(c.size(), 1);
    EXPECT_EQ(c[0].name, "show");

    QCopChannel decoded(QByteArray("KV/App/\xe9?uro"));
    QSignalSpy decodedSpy(&decoded, &QCopChannel::received);
    EXPECT_EQ(ferry({QString::fromUtf8("%E9\xe2\x82\xacuro&show()")}).status, 0);
    EXPECT_EQ(drain(decoded, decodedSpy).size(), 1);
}

// Linux limits one command-line word to 128 KiB including its terminating zero, so this is the
// largest query a shell can hand to ferry.
TEST_F(Ferry, LargestPossibleQueries) {
    QCopChannel channel("KV/App/calc");
    QSignalSpy spy(&channel, &QCopChannel::received);
    const QString big(128 * 1024 - 1 - 22, QLatin1Char('x'));
    EXPECT_EQ(ferry({"calc&setText(QString)&" + big}).status, 0);
    const QList<Message> got = drain(channel, spy);
    ASSERT_EQ(got.size(), 1);
    ASSERT_EQ(got[0].arguments.size(), 1);
    EXPECT_EQ(got[0].arguments[0], big);

    const QString bigQuery(128 * 1024 - 1, QLatin1Char('y'));
    const FerryRun invalid = ferry({bigQuery});
    EXPECT_EQ(invalid.status, 255);
    EXPECT_EQ(invalid.out, "ferry: invalid query string " + bigQuery.toLatin1() + "\n");
}

TEST_F(Ferry, UsageAndInvalidQueriesSendNothing) {
    QCopChannel channel("KV/App/calc");
    QSignalSpy spy(&channel, &QCopChannel::received);
    const FerryRun none = ferry({});
    EXPECT_EQ(none.status, 255);
    EXPECT_EQ(none.out, "Usage: ferry query_string\n");
    const FerryRun single = ferry({"calc"});
    EXPECT_EQ(single.status, 255);
    EXPECT_EQ(single.out, "ferry: invalid query string calc\n");
    const FerryRun empty = ferry({"&&&"});
    EXPECT_EQ(empty.status, 255);
    EXPECT_EQ(empty.out, "ferry: invalid query string &&&\n");
    const FerryRun blank = ferry({""});
    EXPECT_EQ(blank.status, 255);
    EXPECT_EQ(blank.out, "ferry: invalid query string \n");
    // The undecoded query is printed, in Latin-1.
    const FerryRun latin = ferry({QString::fromUtf8("caf%C3\xc3\xa9")});
    EXPECT_EQ(latin.out, "ferry: invalid query string caf%C3\xe9\n");
    EXPECT_TRUE(drain(channel, spy).isEmpty());
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(Ferry, UnreachableBusIsAOneLineErrorWithStatusOne) {
    for (const char* address :
         {"disabled:", "unix:path=/nonexistent/bus", "tcp:host=x,port=1", ""}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        const FerryRun r = ferry({"calc&show()"}, {}, env);
        EXPECT_EQ(r.status, 1) << address;
        EXPECT_TRUE(r.out.isEmpty()) << address;
        EXPECT_TRUE(r.err.startsWith("ferry: ")) << address << ": " << r.err.constData();
        EXPECT_EQ(r.err.count('\n'), 1) << address;
        EXPECT_TRUE(r.err.endsWith('\n'));
    }
    // Without any address, and no bus in the runtime folder.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    env.insert("XDG_RUNTIME_DIR", logDir.path());
    const FerryRun r = ferry({"calc&show()"}, {}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.count('\n'), 1);
}

} // namespace
