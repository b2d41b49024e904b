// A crash loses nothing: the editor killed with SIGKILL after a drawing left its recovery file,
// and the next editor offers the drawing back, unsaved, under the picture's name.
#include "x11_fixture.h"

#include <QDirIterator>
#include <QElapsedTimer>

namespace {

QString recoveryFileIn(const QString& state) {
    QDirIterator it(state + QStringLiteral("/kv"), {QStringLiteral("px-*.png")}, QDir::Files);
    return it.hasNext() ? it.next() : QString();
}

TEST_F(EditorOnX, AKilledEditorsDrawingIsOfferedBack) {
    start();
    drag({onPicture(40, 60), onPicture(300, 60), onPicture(300, 200)});
    QString recovery;
    QElapsedTimer clock;
    clock.start();
    while (recovery.isEmpty() && clock.elapsed() < 10000) {
        QThread::msleep(200);
        recovery = recoveryFileIn(state.path());
    }
    ASSERT_FALSE(recovery.isEmpty()) << "no recovery file within 10 s of the change";
    QThread::msleep(500); // a write in progress lands whole, through its temporary file
    const QImage drawn = QImage(recovery).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.pixel(150, 60), Black);
    ASSERT_EQ(drawn.pixel(300, 150), Black);

    editor.kill(); // SIGKILL: no question, no clean-up
    ASSERT_TRUE(editor.waitForFinished(5000));
    EXPECT_EQ(QImage(picture).pixel(150, 60), White); // never saved

    start(editorEnvironment(), false);
    ASSERT_FALSE(findWindow(QStringLiteral("^Image Editor$")).isEmpty())
        << "no offer of the recovered picture";
    keys(QStringLiteral("Return"));     // "Yes" is the default
    const QImage saved = saveAndQuit(); // saved under its original name
    EXPECT_EQ(saved, drawn);
    EXPECT_TRUE(recoveryFileIn(state.path()).isEmpty());
}

} // namespace
