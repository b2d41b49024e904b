// QCopEnvelope and QCopChannel in one process, on a private bus.
#include "kv_privatebus.h"
#include "kv_qcopsender.h"
#include "qcopchannel.h"
#include "qcopenvelope.h"
#include "resource.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

TEST(QCop, EnvelopeArgumentsReachTheChannel) {
    KV_PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    bus.useInThisProcess();
    QCopChannel channel("KV/App/calc");
    QCopChannel other("KV/App/other");
    ASSERT_TRUE(channel.isListening());
    EXPECT_EQ(channel.channel(), "KV/App/calc");
    QSignalSpy spy(&channel, &QCopChannel::received);
    QSignalSpy otherSpy(&other, &QCopChannel::received);
    {
        QCopEnvelope e("KV/App/calc", "setValue(QString,int)");
        e << QString("pi") << qint32(3);
    }
    EXPECT_TRUE(QCopEnvelope::lastError().isEmpty());
    EXPECT_TRUE(QCopChannel::send("KV/App/calc", "raise()"));
    for (int i = 0; i < 50 && spy.size() < 2; ++i)
        spy.wait(100);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy[0][0].toByteArray(), "setValue(QString,int)");
    QDataStream in(spy[0][1].toByteArray());
    QString name;
    qint32 value = 0;
    in >> name >> value;
    EXPECT_EQ(name, "pi");
    EXPECT_EQ(value, 3);
    EXPECT_EQ(spy[1][0].toByteArray(), "raise()");
    EXPECT_TRUE(spy[1][1].toByteArray().isEmpty());
    EXPECT_TRUE(otherSpy.isEmpty());
}

TEST(QCop, WithoutABusSendingFailsAtOnceAndChannelsStayDeaf) {
    const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    QLoggingCategory::setFilterRules("kv.qcop.warning=false");
    QElapsedTimer clock;
    clock.start();
    { QCopEnvelope e("KV/App/calc", "show()"); }
    EXPECT_FALSE(QCopEnvelope::lastError().isEmpty());
    EXPECT_TRUE(QCopEnvelope::lastError().contains("/nonexistent/bus"));
    EXPECT_FALSE(QCopChannel::send("KV/App/calc", "show()"));
    EXPECT_LT(clock.elapsed(), 2000);
    QCopChannel deaf("KV/App/calc");
    EXPECT_FALSE(deaf.isListening());
    QLoggingCategory::setFilterRules(QString());
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
}

// The sender closes its connection right after sending: a message far larger than the socket
// buffers must still arrive whole.
TEST(QCop, LargeMessagesArriveWhole) {
    KV_PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    bus.useInThisProcess();
    QCopChannel channel("KV/App/calc");
    QSignalSpy spy(&channel, &QCopChannel::received);
    QByteArray data(4 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 7 + i / 251);
    QString error;
    ASSERT_TRUE(KV_QCopSender::send("KV/App/calc", "load(QByteArray)", data, &error))
        << qPrintable(error);
    for (int i = 0; i < 50 && spy.isEmpty(); ++i)
        spy.wait(100);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toByteArray(), "load(QByteArray)");
    EXPECT_TRUE(spy[0][1].toByteArray() == data);
}

TEST(QCopSender, RefusesZeroBytesInNames) {
    QString error;
    EXPECT_FALSE(KV_QCopSender::send(QByteArray("KV/App/a\0b", 10), "show()", {}, &error));
    EXPECT_TRUE(error.contains("zero byte"));
    EXPECT_FALSE(KV_QCopSender::send("KV/App/a", QByteArray("sh\0w()", 7), {}, &error));
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

TEST(Resource, FindsPicturesByName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath("icon.png")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("cwd"));
    ASSERT_TRUE(image.save(dir.filePath("cwd/local.png")));

    const QString oldCwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.filePath("cwd")));
    qputenv("KV_PICS_PATH", QFile::encodeName("/nonexistent:" + dir.path()));
    EXPECT_EQ(Resource::findPixmap("local.png"), "local.png"); // the working folder first
    EXPECT_EQ(Resource::findPixmap("icon"), QDir(dir.path()).filePath("icon.png"));
    EXPECT_EQ(Resource::loadPixmap("icon.png").size(), QSize(4, 4));
    EXPECT_EQ(Resource::loadImage("icon").pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_TRUE(Resource::loadPixmap("missing.png").isNull());
    EXPECT_TRUE(Resource::loadPixmap("").isNull());
    EXPECT_TRUE(Resource::findPixmap("/nonexistent/icon.png").isNull());
    qunsetenv("KV_PICS_PATH");
    QDir::setCurrent(oldCwd);
}

} // namespace
