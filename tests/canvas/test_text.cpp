// The text tool: typed text shown over the picture, put on it as one change, dropped, edited
// with the keys, drawn smoothed or not as the picture's depth asks.
#include "canvas_fixture.h"
#include "kv_textmodel.h"

#include <QKeyEvent>

namespace {

constexpr QRgb Red = 0xffff0000u;

QKeyEvent keyEvent(int key, const QString& text = QString()) {
    return QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text);
}

} // namespace

class Text : public CanvasTest {
public:
    void SetUp() override {
        CanvasTest::SetUp();
        useTool(ToolText);
    }
    KV_TextModel* text() { return tools()->textModel(); }
    void typeKey(int key, const QString& s = QString()) {
        QKeyEvent e = keyEvent(key, s);
        EXPECT_TRUE(text()->key(&e));
    }
    // The viewport as shown, picture and overlay.
    QImage onScreen() {
        QApplication::processEvents();
        return vp()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(Text, ATypedWordIsShownThenCommittedAsOneStepInItsBoxAndUndone) {
    doc->setToolColor(ColorLine, QColor(Red));
    click(QPoint(100, 60));
    ASSERT_TRUE(text()->isTyping());
    for (const char* c : {"H", "i"})
        typeKey(c[0] == 'H' ? Qt::Key_H : Qt::Key_I, QLatin1String(c));
    EXPECT_EQ(text()->lines(), QStringList{"Hi"});
    const QRect box = text()->box();
    EXPECT_TRUE(box.contains(QPoint(100, 60)));

    // Shown in the view, not on the picture, and nothing recorded yet.
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_FALSE(doc->canUndo());
    const QImage screen = onScreen();
    int redShown = 0;
    for (int y = 60; y < 60 + 20; ++y)
        for (int x = 100; x < 130; ++x)
            redShown += screen.pixel(x, y) == (Red | 0xff000000u);
    EXPECT_GT(redShown, 5);

    text()->commit();
    EXPECT_FALSE(text()->isTyping());
    const QImage im = picture();
    const QRect inked = nonWhiteBox(im);
    EXPECT_FALSE(inked.isEmpty());
    EXPECT_TRUE(box.contains(inked))
        << inked.x() << "," << inked.y() << " " << inked.width() << "x" << inked.height();
    // The letters start at the cursor: below and right of it, a medium size high.
    EXPECT_GE(inked.left(), 100);
    EXPECT_GE(inked.top(), 60);
    EXPECT_LE(inked.bottom(), 60 + KV_TextModel::MediumSize);
    int red = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            red += im.pixel(x, y) == Red;
    EXPECT_GT(red, 10);
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);

    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(countNonWhite(picture()), 0);
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(picture(), im);
}

TEST_F(Text, KeysEditTheTextAtTheCursor) {
    click(QPoint(50, 50));
    text()->insert(QStringLiteral("Hxi"));
    typeKey(Qt::Key_Left);
    typeKey(Qt::Key_Backspace); // the x
    EXPECT_EQ(text()->lines(), QStringList{"Hi"});
    typeKey(Qt::Key_Home);
    typeKey(Qt::Key_Delete); // the H
    typeKey(Qt::Key_End);
    typeKey(Qt::Key_Return);
    typeKey(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(text()->lines(), (QStringList{"i", "a"}));
    typeKey(Qt::Key_Up);
    EXPECT_EQ(text()->cursorLine(), 0);
    EXPECT_EQ(text()->cursorColumn(), 1);
    // Backspace at the start of a line joins it to the line before.
    typeKey(Qt::Key_Down);
    typeKey(Qt::Key_Home);
    typeKey(Qt::Key_Backspace);
    EXPECT_EQ(text()->lines(), QStringList{"ia"});
    // A character outside the first plane goes as a whole; control characters not at all.
    text()->insert(QString::fromUtf8("\xF0\x9F\x98\x80\t\x01"));
    EXPECT_EQ(text()->lines(), QStringList{QString::fromUtf8("i\xF0\x9F\x98\x80"
                                                             "a")});
    typeKey(Qt::Key_Backspace);
    EXPECT_EQ(text()->lines(), QStringList{"ia"});
    // A key with Control types nothing.
    QKeyEvent control(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier, QStringLiteral("\x0e"));
    EXPECT_FALSE(text()->key(&control));
    EXPECT_EQ(text()->lines(), QStringList{"ia"});
    // Two lines are two line heights high.
    EXPECT_GT(text()->box().height(), 0);
    text()->insert(QStringLiteral("\n"));
    const int twoLines = text()->box().height();
    text()->insert(QStringLiteral("\n"));
    EXPECT_GT(text()->box().height(), twoLines);
}

TEST_F(Text, DroppedTextLeavesNothingAndAToolChangeOrAPressElsewhereCommits) {
    click(QPoint(40, 40));
    text()->insert(QStringLiteral("gone"));
    text()->drop();
    EXPECT_FALSE(text()->isTyping());
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_FALSE(doc->canUndo());
    // Nothing typed: a commit changes nothing either.
    click(QPoint(40, 40));
    text()->commit();
    EXPECT_FALSE(doc->canUndo());

    click(QPoint(40, 40));
    text()->insert(QStringLiteral("one"));
    click(QPoint(40, 150)); // elsewhere: "one" goes on the picture, a new cursor starts
    EXPECT_TRUE(text()->isTyping());
    EXPECT_TRUE(text()->lines() == QStringList{QString()});
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);
    const QRect first = nonWhiteBox(picture());
    EXPECT_LT(first.bottom(), 100);

    text()->insert(QStringLiteral("two"));
    useTool(ToolPencil);
    EXPECT_FALSE(text()->isTyping());
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 2);
    EXPECT_GT(nonWhiteBox(picture()).bottom(), 150);

    // Saving puts typed text on the picture first.
    useTool(ToolText);
    click(QPoint(300, 40));
    text()->insert(QStringLiteral("three"));
    QTemporaryDir dir;
    ASSERT_TRUE(doc->saveImageAs(dir.filePath(QStringLiteral("t.png")), "PNG"));
    const QImage saved(dir.filePath(QStringLiteral("t.png")));
    EXPECT_GT(nonWhiteBox(saved).right(), 300);
}

TEST_F(Text, SmoothedOnlyOnFullColourPictures) {
    const auto greys = [](const QImage& im) {
        int n = 0;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x)
                n += im.pixel(x, y) != White && im.pixel(x, y) != Black;
        return n;
    };
    const auto typeWord = [&] {
        useTool(ToolText);
        click(QPoint(30, 30));
        text()->setPixelSize(KV_TextModel::LargeSize);
        text()->insert(QStringLiteral("Wavy Oak"));
        text()->commit();
    };
    typeWord();
    EXPECT_GT(greys(picture()), 20);

    QTemporaryDir dir;
    QImage mono(200, 100, QImage::Format_Mono);
    mono.fill(1);
    mono.setColorTable({Black, White});
    const QString path = dir.filePath(QStringLiteral("mono.png"));
    ASSERT_TRUE(mono.save(path, "PNG"));
    ASSERT_TRUE(doc->loadImage(path, "PNG"));
    ASSERT_EQ(doc->pictureDepth().bits(), 1);
    typeWord();
    EXPECT_GT(countNonWhite(picture()), 20);
    EXPECT_TRUE(onlyBlackAndWhite(picture()));
}

TEST_F(Text, TextTypedOnAPictureThatGoesIsNotDrawnOnTheNextOne) {
    click(QPoint(40, 40));
    text()->insert(QStringLiteral("old"));
    ASSERT_TRUE(doc->newImage());
    EXPECT_FALSE(text()->isTyping());
    EXPECT_EQ(countNonWhite(picture()), 0);
    useTool(ToolPencil); // a tool change has nothing left to commit
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_FALSE(doc->canUndo());
}
