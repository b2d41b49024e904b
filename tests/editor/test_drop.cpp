// A picture file dropped on the window from a file manager: it opens as from the Open dialog,
// after the question about unsaved changes; a remote address or a file that is no picture is
// refused with the usual message and nothing changes.
#include "editor_fixture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImageWriter>
#include <QMimeData>
#include <QUrl>

namespace {

constexpr QRgb Blue = 0xff0000ffu;

const char* const Question = "The document has been changed. Save it";
const char* const NotLoaded = "The Image could not be loaded";

} // namespace

class Drop : public EditorTest {
protected:
    QString put(const QString& name, const char* format) {
        const QString path = inBackpack(name);
        EXPECT_TRUE(QImageWriter(path, format).write(markedPicture(Blue))) << qPrintable(path);
        return path;
    }
    // The widget a drop over the middle of the picture goes to: the nearest that takes drops.
    QWidget* dropTarget() const {
        const QPoint middle = doc()->mapTo(editor.get(), doc()->rect().center());
        QWidget* w = editor->childAt(middle);
        while (w && !w->acceptDrops())
            w = w->parentWidget();
        return w;
    }
    // Drags data over the picture and drops it, as a file manager does; whether the drag was
    // taken. The boxes the drop opens are answered by the script running meanwhile.
    bool drop(QMimeData* data) {
        QWidget* target = dropTarget();
        if (!target)
            return false;
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        QApplication::processEvents(); // the file opens once the drop is over
        return dropped.isAccepted();
    }
    bool dropUrls(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        return drop(&data);
    }
    void scribble() {
        stroke(QPoint(20, 100), QPoint(200, 100));
        ASSERT_FALSE(doc()->saved());
    }
};

TEST_F(Drop, APictureFileOpensAndTheWindowTakesTheDrop) {
    ASSERT_EQ(dropTarget(), editor.get());
    for (const auto& [name, format] : {std::pair{"dropped.png", "png"}, {"photo.BMP", "bmp"}}) {
        SCOPED_TRACE(name);
        const QString path = put(name, format);
        ModalScript none;
        EXPECT_TRUE(dropUrls({QUrl::fromLocalFile(path)}));
        EXPECT_TRUE(none.seen().empty());
        EXPECT_TRUE(samePixels(picture(), markedPicture(Blue)));
        EXPECT_EQ(editor->currentFileName, path);
        EXPECT_EQ(editor->backpackFile.path(), path); // Save As starts from it
        EXPECT_TRUE(doc()->saved());
    }
    // Of several files, the first.
    const QString first = put("first.png", "png");
    EXPECT_TRUE(dropUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(put("b.png", "png"))}));
    EXPECT_EQ(editor->currentFileName, first);
    // Text is not taken at all.
    QMimeData text;
    text.setText(first);
    EXPECT_FALSE(drop(&text));
}

TEST_F(Drop, UnsavedChangesAreAskedAboutFirst) {
    const QString path = put("dropped.png", "png");
    for (const char* answer : {"Escape", "Cancel", "No"}) {
        SCOPED_TRACE(answer);
        open(QString());
        scribble();
        const ModalScript::Step step = qstrcmp(answer, "Escape") == 0
                                           ? ModalScript::key(Qt::Key_Escape)
                                           : ModalScript::button(QLatin1String(answer));
        ModalScript script({step});
        EXPECT_TRUE(dropUrls({QUrl::fromLocalFile(path)}));
        EXPECT_EQ(script.texts(), QStringList{Question});
        const bool opened = qstrcmp(answer, "No") == 0;
        EXPECT_EQ(samePixels(picture(), markedPicture(Blue)), opened);
        EXPECT_EQ(editor->currentFileName, opened ? path : QString());
        EXPECT_EQ(doc()->saved(), opened);
    }
}

TEST_F(Drop, RemoteAddressesAndOtherFilesAreRefusedAndNothingChanges) {
    QFile notes(inBackpack("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("no picture") > 0);
    notes.close();
    const QString damaged = put("damaged.png", "png");
    QFile cut(damaged);
    ASSERT_TRUE(cut.resize(cut.size() / 2));
    scribble();
    const QImage before = picture();
    // Refused before the question, except a damaged picture, which is refused once it is read.
    const std::pair<QUrl, QStringList> drops[] = {
        {QUrl("https://example.com/photo.png"), {NotLoaded}},
        {QUrl("sftp://host/photo.png"), {NotLoaded}},
        {QUrl::fromLocalFile(notes.fileName()), {NotLoaded}},
        {QUrl::fromLocalFile(backpack.path()), {NotLoaded}},
        {QUrl::fromLocalFile(damaged), {Question, NotLoaded}}};
    for (const auto& [url, boxes] : drops) {
        SCOPED_TRACE(qPrintable(url.toString()));
        std::vector<ModalScript::Step> steps{ModalScript::key(Qt::Key_Return)};
        if (boxes.size() == 2) // the question first: the changes may go
            steps.insert(steps.begin(), ModalScript::button("No"));
        ModalScript script(steps);
        EXPECT_TRUE(dropUrls({url}));
        EXPECT_EQ(script.texts(), boxes);
        if (!script.seen().empty()) {
            EXPECT_EQ(script.seen().back().caption, "Error Message");
        }
        EXPECT_EQ(picture(), before);
        EXPECT_TRUE(editor->currentFileName.isNull());
        EXPECT_FALSE(doc()->saved());
    }
}
