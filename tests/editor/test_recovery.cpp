// Recovery after a crash: the unsaved picture reaches its recovery file soon after a change,
// a save or a discarded change removes it, and a file left by an editor that no longer runs is
// offered when the next editor starts.
#include "editor_fixture.h"
#include "kv_recoveryfile.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {

QImage marked() {
    return markedPicture(0xff0000ffu).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class Recovery : public EditorTest {
protected:
    KV_RecoveryFile* recovery() const { return editor->recoveryFile(); }
    // The recovery file appears within the delay (and a little more for the disk).
    static bool written(const QString& path) {
        return QTest::qWaitFor([&] { return QFileInfo::exists(path); },
                               KV_RecoveryFile::WriteDelayMs + 2000);
    }
    // A file as an editor of a process that no longer runs leaves it: this process's id with
    // another start time.
    QString leaveOver(const QString& fileName, const QByteArray& format, int n = 1) {
        const QRegularExpressionMatch own = QRegularExpression(QStringLiteral("px-(\\d+)-(\\d+)-"))
                                                .match(QFileInfo(recovery()->path()).fileName());
        EXPECT_TRUE(own.hasMatch());
        const QString path = QDir(KV_RecoveryFile::folder())
                                 .filePath(QStringLiteral("px-%1-%2-%3.png")
                                               .arg(own.captured(1))
                                               .arg(own.captured(2).toLongLong() + 1)
                                               .arg(n));
        EXPECT_TRUE(QDir().mkpath(KV_RecoveryFile::folder()));
        EXPECT_TRUE(KV_RecoveryFile::write(path, {marked(), fileName, format}));
        return path;
    }
};

TEST_F(Recovery, UnsavedPictureIsWrittenSoonAndASaveRemovesIt) {
    stroke(QPoint(20, 100), QPoint(200, 100));
    const QString path = recovery()->path();
    EXPECT_TRUE(path.startsWith(QDir(state.path()).filePath("kv/px-")));
    ASSERT_TRUE(written(path));
    recovery()->waitForWrite();
    KV_RecoveryFile::Contents contents;
    ASSERT_TRUE(KV_RecoveryFile::read(path, &contents));
    EXPECT_TRUE(samePixels(contents.image, picture()));
    EXPECT_TRUE(contents.fileName.isEmpty());

    // A second editor writes a file of its own.
    EditorProbe second(nullptr, "second", QString());
    EXPECT_NE(second.recoveryFile()->path(), path);

    {
        ModalScript script({ModalScript::button("BMP"), ModalScript::file("saved")});
        editor->fileSave();
    }
    ASSERT_TRUE(doc()->saved());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(Recovery, ChangesThrownAwayOnPurposeRemoveTheFile) {
    stroke(QPoint(20, 100), QPoint(200, 100));
    ASSERT_TRUE(written(recovery()->path()));
    const QString path = recovery()->path();
    {
        ModalScript script({ModalScript::button("No")});
        editor->close();
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(Recovery, LeftOverPictureIsOfferedWithYesAsTheDefault) {
    const QString original = inBackpack("cat.bmp");
    const QString leftOver = leaveOver(original, "BMP");
    bool yesIsDefault = false;
    {
        ModalScript script({[&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            yesIsDefault =
                box && box->defaultButton() && box->defaultButton()->text().remove('&') == "Yes";
            ModalScript::key(Qt::Key_Return)(w);
        }});
        open(QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return script.finished(); }, 5000));
        EXPECT_TRUE(script.texts().first().contains("cat.bmp"));
    }
    EXPECT_TRUE(yesIsDefault);
    // Open, unsaved, under its original name; the file is now this editor's.
    EXPECT_TRUE(samePixels(picture(), marked()));
    EXPECT_FALSE(doc()->saved());
    EXPECT_TRUE(doc()->isFile());
    EXPECT_EQ(doc()->fileName(), original);
    EXPECT_EQ(editor->titleBar->text(), "cat");
    EXPECT_FALSE(QFileInfo::exists(leftOver));
    EXPECT_TRUE(QFileInfo::exists(recovery()->path()));
    // Saved, it goes where it came from.
    editor->fileSave();
    EXPECT_TRUE(samePixels(QImage(original), marked()));
    EXPECT_FALSE(QFileInfo::exists(recovery()->path()));
}

TEST_F(Recovery, NoRemovesTheLeftOverEscapeKeepsItForNextTime) {
    const QString kept = leaveOver(QString(), QByteArray(), 1);
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        open(QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return script.finished(); }, 5000));
    }
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_TRUE(doc()->saved());
    {
        ModalScript script({ModalScript::button("No")});
        open(QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return script.finished(); }, 5000));
        EXPECT_TRUE(script.texts().first().contains("Image1"));
    }
    EXPECT_FALSE(QFileInfo::exists(kept));
    EXPECT_EQ(picture().pixel(60, 60), White); // not the recovered picture
    // A file whose editor still runs (this process) is never offered.
    stroke(QPoint(20, 100), QPoint(200, 100));
    ASSERT_TRUE(written(recovery()->path()));
    EXPECT_FALSE(KV_RecoveryFile::leftOver().contains(recovery()->path()));
}
