// KV_RemoteControl: QCop messages calling the public slots of an object, with their string
// arguments converted; everything else refused with one log record.
#include "kv_modalanswer.h"
#include "kv_privatebus.h"
#include "kv_remotecontrol.h"
#include "qcopchannel.h"

#include <QDataStream>
#include <QDialog>
#include <QFile>
#include <QLoggingCategory>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

#include <gtest/gtest.h>

namespace {

class Target : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void invokable() { calls << QStringLiteral("invokable"); }
    QVariantList calls;

public slots:
    void takeBool(bool v) { calls << v; }
    void takeInt(int v) { calls << v; }
    void takeUInt(uint v) { calls << v; }
    void takeLong(long v) { calls << QVariant::fromValue(v); }
    void takeLongLong(qlonglong v) { calls << v; }
    void takeDouble(double v) { calls << v; }
    void takeString(const QString& v) { calls << v; }
    void takeBytes(const QByteArray& v) { calls << v; }
    void takeThree(bool b, int i, const QString& s) { calls << QVariant(QVariantList{b, i, s}); }
    void takePoint(const QPoint& p) { calls << p; }
    void none() { calls << QStringLiteral("none"); }

signals:
    void changed(int);

protected slots:
    void guarded() { calls << QStringLiteral("guarded"); }

private slots:
    void secret() { calls << QStringLiteral("secret"); }
};

// A window class of the system's own on top of a base class that is not Qt's either.
class BaseWindow : public QWidget {
    Q_OBJECT

public:
    QStringList calls;

public slots:
    void fromBase() { calls << QStringLiteral("fromBase"); }
};

class Window : public BaseWindow {
    Q_OBJECT

public slots:
    void own() { calls << QStringLiteral("own"); }
    // Runs a modal dialog, or a popup menu, until the test closes it.
    void openDialog() {
        calls << QStringLiteral("dialog");
        QDialog dialog(this);
        dialog.exec();
        calls << QStringLiteral("dialog closed");
    }
    void openPopup() {
        calls << QStringLiteral("popup");
        QMenu menu(this);
        menu.addAction(QStringLiteral("item"));
        menu.exec(QPoint(0, 0));
        calls << QStringLiteral("popup closed");
    }
};

QByteArray strings(const QStringList& list) {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    for (const QString& s : list)
        out << s;
    return data;
}

class RemoteControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(logDir.isValid());
        qputenv("KV_LOG_FILE", QFile::encodeName(logDir.filePath("log")));
        // Tests run without a session bus: the channel says so once, which is not under test.
        QLoggingCategory::setFilterRules("kv.qcop.warning=false");
    }
    void TearDown() override {
        QLoggingCategory::setFilterRules(QString());
        qunsetenv("KV_LOG_FILE");
    }
    QList<QByteArray> logLines() {
        QFile f(logDir.filePath("log"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    QTemporaryDir logDir;
    Target target;
};

TEST_F(RemoteControl, ConvertsStringArgumentsToTheSlotsTypes) {
    KV_RemoteControl remote(&target, "KV/App/unit");
    const struct {
        const char* message;
        QStringList args;
        QVariant expected;
    } cases[] = {
        {"takeBool(bool)", {"true"}, true},
        {"takeBool(bool)", {"false"}, false},
        {"takeBool(bool)", {"1"}, true},
        {"takeBool(bool)", {"0"}, false},
        {"takeInt(int)", {"-12"}, -12},
        {"takeInt(int)", {"2147483647"}, 2147483647},
        {"takeUInt(uint)", {"4294967295"}, 4294967295u},
        {"takeLong(long)", {"-9000000000"}, QVariant::fromValue(-9000000000L)},
        {"takeLongLong(qlonglong)", {"-9000000000"}, qlonglong(-9000000000LL)},
        {"takeDouble(double)", {"2.5"}, 2.5},
        {"takeDouble(double)", {"-1e3"}, -1000.0},
        {"takeString(QString)", {"a b&c"}, QStringLiteral("a b&c")},
        {"takeString(QString)", {""}, QString()},
        {"takeBytes(QByteArray)", {QString::fromUtf8("caf\xc3\xa9")}, QByteArray("caf\xc3\xa9")},
        // The message name is taken as a signature and normalised.
        {"takeString(const QString&)", {"x"}, QStringLiteral("x")},
        {"takeThree( bool , int, const QString & )",
         {"true", "3", "t"},
         QVariant(QVariantList{true, 3, QStringLiteral("t")})},
        {"none()", {}, QStringLiteral("none")},
    };
    for (const auto& c : cases) {
        target.calls.clear();
        EXPECT_TRUE(remote.invoke(c.message, strings(c.args))) << c.message;
        ASSERT_EQ(target.calls.size(), 1) << c.message;
        EXPECT_EQ(target.calls[0].metaType(), c.expected.metaType()) << c.message;
        EXPECT_EQ(target.calls[0], c.expected) << c.message << " " << qPrintable(c.args.join(','));
    }
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(RemoteControl, RefusesWhatItCannotCarryOutWithOneLogRecordEach) {
    KV_RemoteControl remote(&target, "KV/App/unit");
    QByteArray truncated = strings({"abcdef"});
    truncated.chop(2);
    const struct {
        const char* message;
        QByteArray data;
    } cases[] = {
        {"nosuch()", {}},
        {"takeInt", strings({"1"})},
        {"changed(int)", strings({"1"})}, // a signal
        {"guarded()", {}},                // protected
        {"secret()", {}},                 // private
        {"invokable()", {}},              // a method, not a slot
        {"none()", strings({"extra"})},
        {"takeThree(bool,int,QString)", strings({"true", "1"})},
        {"takeInt(int)", {}},
        {"takeBool(bool)", strings({"maybe"})},
        {"takeBool(bool)", strings({"TRUE"})},
        {"takeInt(int)", strings({"12x"})},
        {"takeInt(int)", strings({"1.5"})},
        {"takeInt(int)", strings({""})},
        {"takeInt(int)", strings({"2147483648"})},
        {"takeUInt(uint)", strings({"-1"})},
        {"takeLongLong(qlonglong)", strings({"0x10"})},
        {"takeDouble(double)", strings({"two"})},
        {"takeThree(bool,int,QString)", strings({"true", "many", "x"})},
        {"takePoint(QPoint)", strings({"1,2"})}, // no conversion from text
        {"takeString(QString)", truncated},
        {"takeString(QString)", QByteArray("\x01", 1)},
    };
    int expectedLines = 0;
    for (const auto& c : cases) {
        EXPECT_FALSE(remote.invoke(c.message, c.data)) << c.message;
        EXPECT_EQ(logLines().size(), ++expectedLines) << c.message;
    }
    EXPECT_TRUE(target.calls.isEmpty()) << target.calls.size();
    const QList<QByteArray> lines = logLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].contains(" KV/App/unit kv_remotecontrol:")) << lines[0].constData();
    EXPECT_TRUE(lines[0].contains("nosuch()")) << lines[0].constData();
}

TEST_F(RemoteControl, ObjectGoneIsRefused) {
    auto* gone = new Target;
    KV_RemoteControl remote(gone, "KV/App/unit");
    delete gone;
    EXPECT_FALSE(remote.invoke("none()", {}));
    EXPECT_EQ(logLines().size(), 1);
}

TEST_F(RemoteControl, QtsOwnSlotsAreRefusedTheObjectsOwnAndItsBasesAreCalled) {
    Window window;
    window.setWindowTitle(QStringLiteral("title"));
    window.show();
    const QPointer<Window> alive(&window);
    KV_RemoteControl remote(&window, "KV/App/unit");
    const struct {
        const char* message;
        QStringList args;
    } qts[] = {{"deleteLater()", {}},
               {"hide()", {}},
               {"close()", {}},
               {"setWindowTitle(QString)", {"other"}},
               {"setStyleSheet(QString)", {"QWidget { color: red }"}},
               {"setEnabled(bool)", {"false"}}};
    int expectedLines = 0;
    for (const auto& q : qts) {
        remote.receive(q.message, strings(q.args));
        EXPECT_EQ(logLines().size(), ++expectedLines) << q.message;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(alive);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(window.windowTitle(), "title");
    EXPECT_TRUE(window.styleSheet().isEmpty());
    EXPECT_TRUE(logLines().value(0).contains("deleteLater() is a slot of Qt's QWidget"))
        << logLines().value(0).constData();

    remote.receive("own()", {});
    remote.receive("fromBase()", {});
    EXPECT_EQ(window.calls.join(',').toStdString(), "own,fromBase");
    EXPECT_EQ(logLines().size(), expectedLines);
}

TEST_F(RemoteControl, MessagesOverTheLimitAreRefusedBeforeTheirDataIsRead) {
    KV_RemoteControl remote(&target, "KV/App/unit");
    // Not a list of strings: decoding it would log another complaint.
    const QByteArray tooLarge(KV_RemoteControl::MaxMessageBytes, '\xff');
    remote.receive("takeString(QString)", tooLarge);
    ASSERT_EQ(logLines().size(), 1);
    const QByteArray size = QByteArray::number(19 + KV_RemoteControl::MaxMessageBytes);
    EXPECT_TRUE(logLines()[0].contains(size + " bytes is refused")) << logLines()[0].constData();
    EXPECT_TRUE(target.calls.isEmpty());
    // The largest message that passes, then a small one.
    const QString text(int(KV_RemoteControl::MaxMessageBytes / 2 - 20), QLatin1Char('x'));
    const QByteArray name = "takeString(QString)";
    QByteArray data = strings({text});
    ASSERT_LE(name.size() + data.size(), KV_RemoteControl::MaxMessageBytes);
    remote.receive(name, data);
    remote.receive("takeInt(int)", strings({"7"}));
    EXPECT_EQ(target.calls, QVariantList({text, 7}));
    EXPECT_EQ(logLines().size(), 1);
}

// While a modal dialog or a popup runs its own event loop, messages wait and are then carried
// out in order; beyond the queue's size the oldest are dropped with one record each.
TEST_F(RemoteControl, MessagesWaitWhileAModalDialogOrPopupIsOpen) {
    Window window;
    window.show();
    KV_RemoteControl remote(&window, "KV/App/unit");
    const struct {
        const char* message;
        QString name;
    } openers[] = {{"openDialog()", "dialog"}, {"openPopup()", "popup"}};
    for (const auto& [opener, name] : openers) {
        window.calls.clear();
        QStringList seenInside;
        int queuedInside = -1;
        answerNextModal([&](QWidget* modal) {
            remote.receive("own()", {});
            remote.receive("fromBase()", {});
            QTest::qWait(150); // the queue looks again meanwhile
            seenInside = window.calls;
            queuedInside = remote.queued();
            modal->close();
        });
        remote.receive(opener, {});
        EXPECT_EQ(seenInside.join(',').toStdString(), name.toStdString());
        EXPECT_EQ(queuedInside, 2) << opener;
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.calls.size() == 4; }, 5000));
        EXPECT_EQ(window.calls.join(',').toStdString(),
                  QStringList({name, name + " closed", "own", "fromBase"}).join(',').toStdString());
        EXPECT_EQ(remote.queued(), 0);
    }
    EXPECT_TRUE(logLines().isEmpty());

    window.calls.clear();
    answerNextModal([&](QWidget* modal) {
        for (int i = 0; i < KV_RemoteControl::MaxQueued + 3; ++i)
            remote.receive(i < 3 ? "fromBase()" : "own()", {});
        modal->close();
    });
    remote.receive("openDialog()", {});
    EXPECT_TRUE(QTest::qWaitFor([&] { return remote.queued() == 0; }, 5000));
    EXPECT_EQ(window.calls.count("own"), KV_RemoteControl::MaxQueued);
    EXPECT_EQ(window.calls.count("fromBase"), 0);
    EXPECT_EQ(logLines().size(), 3);
}

TEST(RemoteControlName, IsTheLibraryFileNameWithoutLibAndSo) {
    EXPECT_EQ(KV_RemoteControl::applicationName("libpx.so.1"), "px");
    EXPECT_EQ(KV_RemoteControl::applicationName("/x/lib/kv/libkvtestwidget.so"), "kvtestwidget");
    EXPECT_EQ(KV_RemoteControl::applicationName("/x/libkvmath.so.1.2.3"), "kvmath");
    EXPECT_EQ(KV_RemoteControl::applicationName("/x/libx.sound.so"), "x.sound");
    EXPECT_EQ(KV_RemoteControl::applicationName("plain.so"), "plain");
}

TEST_F(RemoteControl, ListensOnItsChannelOnly) {
    {
        // Without a bus the channel is deaf, and calls made directly still work.
        KV_RemoteControl deaf(&target, "KV/App/unit");
        EXPECT_FALSE(deaf.isListening());
        EXPECT_TRUE(deaf.invoke("takeInt(int)", strings({"1"})));
    }
    target.calls.clear();
    KV_PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    bus.useInThisProcess();
    KV_RemoteControl remote(&target, "KV/App/unit");
    ASSERT_TRUE(remote.isListening());
    EXPECT_EQ(remote.channel(), "KV/App/unit");
    ASSERT_TRUE(QCopChannel::send("KV/App/other", "takeInt(int)", strings({"6"})));
    ASSERT_TRUE(QCopChannel::send("KV/App/unit", "takeInt(int)", strings({"5"})));
    ASSERT_TRUE(QCopChannel::send("KV/App/unit", "none()"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return target.calls.size() >= 2; }, 5000));
    EXPECT_EQ(target.calls, QVariantList({5, QStringLiteral("none")}));
}

} // namespace

#include "test_remotecontrol.moc"
