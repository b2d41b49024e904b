// Text and selection in the window: typing with the keys and the input methods, the key table
// kept out of the way while typing, the clipboard's keys and slots, the paste question.
#include "editor_fixture.h"
#include "kv_selectionmodel.h"
#include "kv_textmodel.h"
#include "kvq_popupmenu.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>

namespace {

constexpr QRgb Blue = 0xff0000ffu;

int countNot(const QImage& im, QRgb colour) {
    int n = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            n += im.pixel(x, y) != colour;
    return n;
}

QRect boxNot(const QImage& im, QRgb colour) {
    QRect box;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (im.pixel(x, y) != colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class Edit : public EditorTest {
public:
    KV_TextModel* text() { return tools()->textModel(); }
    KV_SelectionModel* sel() { return tools()->selectionModel(); }
    void startText(QPoint at) {
        tap(editor->modeActions[2]);
        press(at);
        release(at);
        QApplication::processEvents();
        ASSERT_TRUE(text()->isTyping());
    }
    // Blue block at (40, 40), 40 pixels square, on a white picture.
    void blockPicture() {
        QImage image(480, 320, QImage::Format_RGB32);
        image.fill(White);
        for (int y = 40; y < 80; ++y)
            for (int x = 40; x < 80; ++x)
                image.setPixel(x, y, Blue);
        ASSERT_TRUE(doc()->restoreImage(image, QString(), nullptr));
    }
};

TEST_F(Edit, TypedKeysGoToTheTextAndControlReturnCommitsOneStep) {
    startText(QPoint(60, 50));
    QTest::keyClicks(editor.get(), QStringLiteral("Hi"));
    key(Qt::Key_Tab); // no highlight moves while typing
    EXPECT_EQ(editor->modeIndex, 2);
    EXPECT_EQ(editor->focusLevel, 1);
    key(Qt::Key_Backspace);
    QTest::keyClicks(editor.get(), QStringLiteral("i!"));
    EXPECT_EQ(text()->lines(), QStringList{"Hi!"});
    EXPECT_EQ(countNot(picture(), White), 0);

    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(text()->isTyping());
    const QImage im = picture();
    const QRect inked = boxNot(im, White);
    EXPECT_FALSE(inked.isEmpty());
    EXPECT_GE(inked.left(), 60);
    EXPECT_GE(inked.top(), 50);
    EXPECT_LT(inked.right(), 120);
    EXPECT_LT(inked.bottom(), 50 + KV_TextModel::MediumSize);
    EXPECT_GT(im.width() * im.height() - countNot(im, Black), 10); // the line colour
    EXPECT_EQ(doc()->undoHistory()->undoSteps(), 1);
    // Once committed, the key table is back.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(countNot(picture(), White), 0);
}

TEST_F(Edit, ControlLettersWaitWhileTypingAndEscapeDropsTheText) {
    stroke(QPoint(10, 200), QPoint(200, 200)); // unsaved: New would ask
    ASSERT_FALSE(doc()->saved());
    startText(QPoint(60, 50));
    QTest::keyClicks(editor.get(), QStringLiteral("ab"));
    {
        ModalScript none;
        key(Qt::Key_N, Qt::ControlModifier);
        key(Qt::Key_O, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_TRUE(none.seen().empty()) << qPrintable(none.texts().join(", "));
    }
    EXPECT_TRUE(text()->isTyping());
    EXPECT_EQ(text()->lines(), QStringList{"ab"});
    const QImage before = picture();
    key(Qt::Key_Escape);
    EXPECT_FALSE(text()->isTyping());
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(doc()->undoHistory()->undoSteps(), 1); // the stroke alone
}

TEST_F(Edit, InputMethodTextAndTheRemoteTypeText) {
    EXPECT_FALSE(editor->typeText(QStringLiteral("nowhere"))); // no text cursor
    startText(QPoint(30, 30));
    EXPECT_TRUE(static_cast<QWidget*>(editor.get())->inputMethodQuery(Qt::ImEnabled).toBool());
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf8("\xC3\xA9\xE2\x82\xAC")); // e acute, euro
    QApplication::sendEvent(editor.get(), &composed);
    EXPECT_TRUE(editor->typeText(QStringLiteral("x\ny")));
    EXPECT_EQ(text()->lines(), (QStringList{QString::fromUtf8("\xC3\xA9\xE2\x82\xAC"
                                                              "x"),
                                            "y"}));
    // A mode change commits the text.
    tap(editor->modeActions[0]);
    EXPECT_FALSE(text()->isTyping());
    EXPECT_GT(countNot(picture(), White), 0);
    EXPECT_FALSE(static_cast<QWidget*>(editor.get())->inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST_F(Edit, TheSizePopupSetsTheTextSize) {
    tap(editor->modeActions[2]);
    {
        ModalScript script({ModalScript::entry([](QMenu* m) {
            return static_cast<KVQ_PopupMenu*>(m)->findItem(KV_TextModel::LargeSize);
        })});
        tap(editor->textSizeAction);
        EXPECT_EQ(script.seen().size(), 1u);
    }
    EXPECT_EQ(text()->pixelSize(), KV_TextModel::LargeSize);
    EXPECT_EQ(editor->textSizeAction->text(), "32 px");
    {
        ModalScript script({ModalScript::key(Qt::Key_Escape)});
        tap(editor->textSizeAction);
    }
    EXPECT_EQ(text()->pixelSize(), KV_TextModel::LargeSize);
}

TEST_F(Edit, CopyCutPasteAndDeleteThroughTheKeys) {
    blockPicture();
    const QImage before = picture();
    tap(editor->modeActions[5]);
    stroke(QPoint(40, 40), QPoint(79, 79));
    ASSERT_EQ(sel()->selection(), QRect(40, 40, 40, 40));
    key(Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(40, 40));
    EXPECT_EQ(countNot(copied.convertToFormat(QImage::Format_RGB32), Blue), 0);

    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(countNot(picture(), White), 0);
    EXPECT_EQ(doc()->undoHistory()->undoSteps(), 1);

    // Pasted at the top left of the view, floating, then dragged and put down with Escape.
    key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(sel()->isFloating());
    EXPECT_EQ(sel()->selection(), QRect(0, 0, 40, 40));
    stroke(QPoint(10, 10), QPoint(110, 60));
    key(Qt::Key_Escape);
    EXPECT_FALSE(sel()->isFloating());
    EXPECT_EQ(boxNot(picture(), White), QRect(100, 50, 40, 40));
    EXPECT_EQ(doc()->undoHistory()->undoSteps(), 2);

    key(Qt::Key_Delete);
    EXPECT_EQ(countNot(picture(), White), 0);
    EXPECT_EQ(doc()->undoHistory()->undoSteps(), 3);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(picture(), before);

    // Control+A from another mode chooses the selection mode.
    tap(editor->modeActions[0]);
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(tools()->activeTool(), ToolSelect);
    EXPECT_TRUE(editor->modeActions[5]->isChecked());
    EXPECT_EQ(editor->modeIndex, 5);
    EXPECT_EQ(sel()->selection(), QRect(0, 0, 480, 320));
}

TEST_F(Edit, PasteWithoutAPictureOrASelectionChangesNothing) {
    QGuiApplication::clipboard()->setText(QStringLiteral("words"));
    EXPECT_FALSE(editor->paste());
    EXPECT_FALSE(editor->copy());
    EXPECT_FALSE(editor->cut());
    EXPECT_FALSE(editor->deleteSelection());
    EXPECT_FALSE(doc()->canUndo());
}

TEST_F(Edit, APasteLargerThanThePictureAsksWhetherToEnlargeIt) {
    QImage big(600, 400, QImage::Format_RGB32);
    big.fill(Blue);
    QGuiApplication::clipboard()->setImage(big);

    // Yes: the picture grows, and growing and pasting are one step.
    {
        ModalScript script({ModalScript::button("Yes")});
        EXPECT_TRUE(editor->paste());
        ASSERT_EQ(script.seen().size(), 1u);
        EXPECT_EQ(script.seen()[0].caption, "Paste");
    }
    // The window takes keys again once the box is gone.
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }));
    QApplication::processEvents();
    EXPECT_EQ(doc()->pmScaled()->size(), QSize(600, 400));
    EXPECT_EQ(tools()->activeTool(), ToolSelect);
    EXPECT_TRUE(sel()->isFloating());
    key(Qt::Key_Escape);
    EXPECT_EQ(countNot(picture(), Blue), 0);
    EXPECT_EQ(doc()->undoHistory()->undoSteps(), 1);
    editor->undo();
    EXPECT_EQ(doc()->pmScaled()->size(), QSize(480, 320));
    EXPECT_EQ(countNot(picture(), White), 0);

    // No: the paste is cut to the picture.
    {
        ModalScript script({ModalScript::button("No")});
        EXPECT_TRUE(editor->paste());
        EXPECT_EQ(script.seen().size(), 1u);
    }
    EXPECT_EQ(doc()->pmScaled()->size(), QSize(480, 320));
    EXPECT_EQ(sel()->selection(), QRect(0, 0, 480, 320));
    editor->selectAll(); // puts the piece down first
    EXPECT_EQ(countNot(picture(), Blue), 0);
    EXPECT_EQ(doc()->undoHistory()->undoSteps(), 1);
}
