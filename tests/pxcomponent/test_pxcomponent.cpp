// libpx.so.1 as the broker serves it: found by class name, loaded into a process that has the
// framework, building editor windows; and what the library asks of the dynamic loader.
#include "kvq_orb.h"

#include <QDir>
#include <QImage>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

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
    const QString picture = dir.filePath(QStringLiteral("harbour.bmp"));
    QImage image(480, 320, QImage::Format_RGB32);
    image.fill(Qt::white);
    ASSERT_TRUE(image.save(picture, "BMP"));
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

// The framework comes from the loading process: the library names none of its libraries.
// libjpeg checks JPEG files before Qt decodes them.
TEST(PxComponent, NeedsOnlyQtAndTheRuntimes) {
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(KV_PX_LIBRARY)});
    ASSERT_TRUE(readelf.waitForFinished(10000));
    ASSERT_EQ(readelf.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(readelf.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("Library soname: [libpx.so.1]")));
    const QRegularExpression needed(QStringLiteral("\\(NEEDED\\).*\\[(.+)\\]"));
    const QRegularExpression allowed(QStringLiteral(
        "^(libQt6(Core|Gui|Widgets)\\.so\\.6|libjpeg\\.so\\.62|libstdc\\+\\+\\.so\\.6|"
        "libgcc_s\\.so\\.1|libm\\.so\\.6|libc\\.so\\.6|lib(a|ub)san\\.so\\.\\d+)$"));
    int count = 0;
    for (auto it = needed.globalMatch(out); it.hasNext(); ++count) {
        const QString library = it.next().captured(1);
        EXPECT_TRUE(allowed.match(library).hasMatch()) << qPrintable(library);
    }
    EXPECT_GE(count, 4);
}
