// The pieces behind ferry: bus addresses, the sender's failure paths, percent decoding.
#include "kv_busaddress.h"
#include "kv_ferryquery.h"
#include "kv_qcopsender.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

TEST(BusAddress, ParsesLocalSocketsAndReportsTheRest) {
    QStringList problems;
    const auto endpoints = KV_BusAddress::parse(
        "tcp:host=localhost,port=1;unix:path=/tmp/a%20b,guid=01;;unix:abstract=/tmp/x;nonsense;"
        "unix:path=%zz;unix:guid=02",
        &problems);
    ASSERT_EQ(endpoints.size(), 2);
    EXPECT_EQ(endpoints[0].path, "/tmp/a b");
    EXPECT_FALSE(endpoints[0].abstract);
    EXPECT_EQ(endpoints[1].path, "/tmp/x");
    EXPECT_TRUE(endpoints[1].abstract);
    ASSERT_EQ(problems.size(), 4);
    EXPECT_TRUE(problems[0].contains("tcp"));
    EXPECT_TRUE(problems[1].contains("nonsense"));
}

TEST(BusAddress, Unescape) {
    QByteArray out;
    EXPECT_TRUE(KV_BusAddress::unescape("a%2fb%2Cc", &out));
    EXPECT_EQ(out, "a/b,c");
    EXPECT_FALSE(KV_BusAddress::unescape("a%2", &out));
    EXPECT_FALSE(KV_BusAddress::unescape("a%g0", &out));
}

TEST(QCopSender, RefusesZeroBytesInNames) {
    QString error;
    EXPECT_FALSE(KV_QCopSender::send(QByteArray("KV/App/a\0b", 10), "show()", {}, &error));
    EXPECT_TRUE(error.contains("zero byte"));
}

TEST(QCopSender, GivesUpOnABusThatNeverAnswers) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.filePath("bus"));
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    qstrncpy(addr.sun_path, path.constData(), sizeof addr.sun_path);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(server, 4), 0); // connections wait in the backlog, never answered

    const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + path);
    QString error;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(KV_QCopSender::send("KV/App/calc", "show()", {}, &error, 300));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(error.contains("did not answer")) << qPrintable(error);
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
    ::close(server);
}

TEST(FerryQuery, DecodesOnlyWellFormedEscapes) {
    EXPECT_EQ(KV_FerryQuery::decode("my%20app"), "my app");
    EXPECT_EQ(KV_FerryQuery::decode("%41%4a%4A%7e"), "AJJ~");
    EXPECT_EQ(KV_FerryQuery::decode("%zz%4%"), "%zz%4%");
    EXPECT_EQ(KV_FerryQuery::decode("%%41"), "%A");
    EXPECT_EQ(KV_FerryQuery::decode("%e9"), QString(QChar(0xe9)));
    EXPECT_EQ(KV_FerryQuery::decode("%C3%A9").size(), 2); // two Latin-1 characters, as bytes
}

TEST(FerryQuery, FieldsChannelAndMessage) {
    const KV_FerryQuery q("&a%20b&&f%28%29&x%20y&&z&");
    ASSERT_TRUE(q.isValid());
    EXPECT_EQ(q.channel(), "KV/App/a b");
    EXPECT_EQ(q.message(), "f()");
    EXPECT_EQ(q.arguments(), QStringList({"x%20y", "z"}));
    EXPECT_FALSE(KV_FerryQuery("calc&&").isValid());
    EXPECT_FALSE(KV_FerryQuery("").isValid());
}

} // namespace
