// libpx.so.1 as the broker serves it: found by class name, loaded into a process that has the
// framework, building editor windows; and what the library asks of the dynamic loader.
#include "kv_modalanswer.h"
#include "kv_remotecontrol.h"
#include "kvq_orb.h"
#include "kvq_titlebar.h"

#include <QDataStream>
#include <QDir>
#include <QImage>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {
// A white picture harbour.bmp in the folder; its path, or empty when it could not be written.
QString whitePicture(const QTemporaryDir& dir) {
    const QString picture = dir.filePath(QStringLiteral("harbour.bmp"));
    QImage image(480, 320, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image.save(picture, "BMP") ? picture : QString();
}
} // namespace

TEST(PxComponent, BrokerServesTheEditorFromTheLibrary) {
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(KV_PX_ICON_DIR)));
    EXPECT_TRUE(KVQ_ORB::classNames().contains(QStringLiteral("KVQ_imageEditor")));

    std::unique_ptr<QObject> editor(KVQ_ORB::createObject("KVQ_imageEditor", nullptr, "ed", {}));
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->metaObject()->className(), "KVQ_imageEditor");
    EXPECT_STREQ(editor->metaObject()->superClass()->className(), "KVQ_Component");
    EXPECT_EQ(editor->objectName(), "ed");
    EXPECT_NE(qobject_cast<QMainWindow*>(editor.get()), nullptr);

    // A start-up picture is opened; its name becomes the caption.
    QTemporaryDir dir;
    const QString picture = whitePicture(dir);
    ASSERT_FALSE(picture.isEmpty());
    std::unique_ptr<QObject> opened(
        KVQ_ORB::createObject("KVQ_imageEditor", nullptr, "ed2", {picture}));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(static_cast<QWidget*>(opened.get())->windowTitle(), "harbour - Image Editor");

    // A parent that is no widget gets nothing.
    QObject plain;
    EXPECT_EQ(KVQ_ORB::createObject("KVQ_imageEditor", &plain, "x", {}), nullptr);
    QWidget parent;
    QObject* child = KVQ_ORB::createObject("KVQ_imageEditor", &parent, "child", {});
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->parent(), &parent);
}

// The editor under remote control: Qt's slots change nothing, and a message that arrives while
// the About box is open waits until it is closed instead of running inside the box's loop.
TEST(PxComponent, RemoteControlReachesOnlyTheEditorsOwnSlotsAndWaitsForItsBoxes) {
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(KV_PX_ICON_DIR)));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("KV_LOG_FILE", QFile::encodeName(dir.filePath("log")));
    const QString picture = whitePicture(dir);
    ASSERT_FALSE(picture.isEmpty());
    std::unique_ptr<QObject> object(
        KVQ_ORB::createObject("KVQ_imageEditor", nullptr, "ed", {picture}));
    ASSERT_NE(object, nullptr);
    auto* editor = static_cast<QWidget*>(object.get());
    editor->show();
    const QPointer<QWidget> alive(editor);
    // The test has no bus; the channel's one warning about it is not under test.
    QLoggingCategory::setFilterRules("kv.qcop.warning=false");
    KV_RemoteControl remote(editor, "KV/App/px");
    QLoggingCategory::setFilterRules(QString());

    const auto arguments = [](const QString& text) {
        QByteArray data;
        QDataStream out(&data, QIODevice::WriteOnly);
        out << text;
        return data;
    };
    remote.receive("deleteLater()", {});
    remote.receive("hide()", {});
    remote.receive("setWindowTitle(QString)", arguments("other"));
    remote.receive("setStyleSheet(QString)", arguments("* { color: red }"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(alive);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->windowTitle(), "harbour - Image Editor");
    EXPECT_TRUE(editor->styleSheet().isEmpty());
    QFile log(dir.filePath("log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count('\n'), 4);

    // fileNew() names the picture "Image1" in the title bar.
    const KVQ_TitleBar* titleBar = editor->findChild<KVQ_TitleBar*>();
    ASSERT_NE(titleBar, nullptr);
    const auto titleBarShows = [titleBar](const char* text) { return titleBar->text() == text; };
    ASSERT_TRUE(titleBarShows("harbour"));
    bool newInsideTheBox = true;
    int queuedInsideTheBox = -1;
    answerNextModal([&](QWidget* box) {
        remote.receive("fileNew()", {});
        QTest::qWait(150);
        newInsideTheBox = titleBarShows("Image1");
        queuedInsideTheBox = remote.queued();
        box->close();
    });
    remote.receive("fileAbout()", {});
    EXPECT_FALSE(newInsideTheBox);
    EXPECT_EQ(queuedInsideTheBox, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return titleBarShows("Image1"); }, 5000));
    qunsetenv("KV_LOG_FILE");
}

// The framework comes from the loading process: the library names none of its libraries.
// libjpeg and libpng decode JPEG and PNG files.
TEST(PxComponent, NeedsOnlyQtAndTheRuntimes) {
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(KV_PX_LIBRARY)});
    ASSERT_TRUE(readelf.waitForFinished(10000));
    ASSERT_EQ(readelf.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(readelf.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("Library soname: [libpx.so.1]")));
    const QRegularExpression needed(QStringLiteral("\\(NEEDED\\).*\\[(.+)\\]"));
    const QRegularExpression allowed(
        QStringLiteral("^(libQt6(Core|Gui|Widgets)\\.so\\.6|libjpeg\\.so\\.62|libpng16\\.so\\.16|"
                       "libstdc\\+\\+\\.so\\.6|"
                       "libgcc_s\\.so\\.1|libm\\.so\\.6|libc\\.so\\.6|lib(a|ub)san\\.so\\.\\d+)$"));
    int count = 0;
    for (auto it = needed.globalMatch(out); it.hasNext(); ++count) {
        const QString library = it.next().captured(1);
        EXPECT_TRUE(allowed.match(library).hasMatch()) << qPrintable(library);
    }
    EXPECT_GE(count, 4);
}
