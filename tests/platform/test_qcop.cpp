// QCopEnvelope and QCopChannel in one process, on a private bus.
#include "kv_privatebus.h"
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
