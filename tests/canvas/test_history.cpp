// The undo history: every kind of step taken back and made again pixel for pixel, on a blank
// picture and on one whose tiles are all different; long sequences; the memory budget; the saved
// state; what is and is not a step.
#include "canvas_fixture.h"

#include <QSignalSpy>

#include <functional>
#include <vector>

namespace {

// A picture whose pixels differ all over (so no tile is of one colour), with a white box in
// which a fill has room.
QImage photo() {
    QImage im(480, 320, QImage::Format_RGB32);
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            im.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 13) % 256));
    for (int y = 200; y < 300; ++y)
        for (int x = 250; x < 450; ++x)
            im.setPixel(x, y, White);
    return im;
}

} // namespace

class History : public CanvasTest {
public:
    KV_History* history() { return doc->undoHistory(); }

    void onPhoto() {
        ASSERT_TRUE(doc->restoreImage(photo(), QString(), nullptr));
        ASSERT_FALSE(history()->canUndo());
    }

    // One step of each kind, placed by `k` so that steps of one kind differ.
    void freeHand(int k) {
        usePencil(PencilFreeForm);
        doc->setToolAttribute(AttrLineThickness, ThicknessMedium);
        doc->setToolAttribute(AttrLineStyle, StyleDashed);
        doc->setToolAttribute(AttrLineEnding, EndingNoneArrow);
        drag({30 + k, 30}, {220, 110 + 3 * k}, 12);
    }
    void arrowLine(int k) {
        usePencil(PencilLine);
        doc->setToolAttribute(AttrLineThickness, ThicknessThick);
        doc->setToolAttribute(AttrLineStyle, StyleSolid);
        doc->setToolAttribute(AttrLineEnding, EndingArrowArrow);
        drag({60, 180 + k}, {230, 190}); // lays the line
        click({250, 195});               // the head at its end
        click({40, 170 + k});            // the head at its start
    }
    void connected(int k) {
        usePencil(PencilConnected);
        doc->setToolAttribute(AttrLineThickness, ThicknessThin);
        doc->setToolAttribute(AttrLineEnding, EndingCircleCircle);
        drag({300, 30 + k}, {400, 60});
        click({430, 140});
        click({340, 180 - k});
        click({342, 182 - k}); // on the last vertex: the chain is finished
    }
    void filledShape(int k) {
        useTool(ToolShape);
        doc->setToolAttribute(AttrShapeTool, ShapeCircle);
        doc->setToolColor(ColorFill, Qt::black);
        doc->setToolAttribute(AttrLineThickness, ThicknessMedium);
        drag({70 + k, 120}, {190, 300 - k});
    }
    // In the white box while k is small; later on the colours above it.
    void fill(int k) {
        useTool(ToolFill);
        click(k < 20 ? QPoint(300 + k, 250) : QPoint(460, 10 + k));
    }

    using Step = std::function<void(int)>;
    std::vector<Step> kinds() {
        return {[this](int k) { freeHand(k); }, [this](int k) { arrowLine(k); },
                [this](int k) { connected(k); }, [this](int k) { filledShape(k); },
                [this](int k) { fill(k); }};
    }

    // Makes the step and checks that undo, redo and undo again give exact pixels, on the picture
    // and in the view.
    void checkStep(const Step& step) {
        const QImage before = picture();
        step(0);
        ASSERT_FALSE(history()->stepOpen());
        ASSERT_EQ(history()->undoSteps(), 1);
        const QImage after = picture();
        ASSERT_NE(after, before);
        ASSERT_TRUE(doc->undo());
        EXPECT_EQ(picture(), before);
        EXPECT_EQ(shown(), before);
        EXPECT_FALSE(history()->canUndo());
        ASSERT_TRUE(doc->redo());
        EXPECT_EQ(picture(), after);
        EXPECT_EQ(shown(), after);
        EXPECT_FALSE(history()->canRedo());
        ASSERT_TRUE(doc->undo());
        EXPECT_EQ(picture(), before);
        doc->newImage();
    }
};

TEST_F(History, EachKindOfStepComesBackExactlyOnABlankPicture) {
    const char* names[] = {"free hand", "arrow line", "connected", "filled shape", "fill"};
    int i = 0;
    for (const Step& step : kinds()) {
        SCOPED_TRACE(names[i++]);
        checkStep(step);
    }
}

TEST_F(History, EachKindOfStepComesBackExactlyOnAPictureOfManyColours) {
    const char* names[] = {"free hand", "arrow line", "connected", "filled shape", "fill"};
    int i = 0;
    for (const Step& step : kinds()) {
        SCOPED_TRACE(names[i++]);
        onPhoto();
        checkStep(step);
    }
}

TEST_F(History, TenMixedStepsUndoneAndRedoneOneByOne) {
    onPhoto();
    std::vector<QImage> states{picture()};
    const std::vector<Step> all = kinds();
    for (int n = 0; n < 10; ++n) {
        all[std::size_t(n) % all.size()](n * 4);
        states.push_back(picture());
    }
    ASSERT_EQ(history()->undoSteps(), 10);
    for (int n = 9; n >= 0; --n) {
        ASSERT_TRUE(doc->undo());
        EXPECT_EQ(picture(), states[std::size_t(n)]) << "after undoing step " << n + 1;
    }
    EXPECT_FALSE(doc->undo());
    EXPECT_EQ(history()->redoSteps(), 10);
    for (int n = 1; n <= 10; ++n) {
        ASSERT_TRUE(doc->redo());
        EXPECT_EQ(picture(), states[std::size_t(n)]) << "after redoing step " << n;
    }
    EXPECT_FALSE(doc->redo());
    EXPECT_EQ(shown(), states.back());
}

TEST_F(History, ANewChangeAfterAnUndoDropsTheStepsToRedo) {
    freeHand(0);
    filledShape(0);
    ASSERT_TRUE(doc->undo());
    ASSERT_TRUE(doc->canRedo());
    const QImage before = picture();
    fill(0);
    EXPECT_FALSE(doc->canRedo());
    EXPECT_FALSE(doc->redo());
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), before);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(countNonWhite(picture()), 0);
}

TEST_F(History, TheBudgetKeepsTheLastTenStepsAtLeastAndDropsTheOldestFirst) {
    onPhoto();
    std::vector<QImage> states{picture()};
    for (int n = 0; n < 14; ++n) {
        freeHand(n * 6);
        states.push_back(picture());
    }
    ASSERT_EQ(history()->undoSteps(), 14);
    // One byte short of all fourteen: only the oldest goes.
    history()->setBudget(history()->bytes() - 1);
    EXPECT_EQ(history()->undoSteps(), 13);
    // No room at all: the last ten stay.
    history()->setBudget(0);
    EXPECT_EQ(history()->undoSteps(), KV_History::MinimumSteps);
    freeHand(90);
    states.push_back(picture());
    EXPECT_EQ(history()->undoSteps(), KV_History::MinimumSteps);
    for (int n = 0; n < KV_History::MinimumSteps; ++n)
        ASSERT_TRUE(doc->undo());
    EXPECT_FALSE(doc->undo());
    EXPECT_EQ(picture(), states[states.size() - 1 - KV_History::MinimumSteps]);
    for (int n = 0; n < KV_History::MinimumSteps; ++n)
        ASSERT_TRUE(doc->redo());
    EXPECT_EQ(picture(), states.back());
}

TEST_F(History, StepsKeepWhatTheyChangedCompactly) {
    // A stroke across a blank picture: the tiles it crossed were all white.
    freeHand(0);
    EXPECT_LT(history()->bytes(), 4096);
    // A fill of the whole picture: one run per row.
    doc->newImage();
    fill(0);
    ASSERT_EQ(history()->undoSteps(), 1);
    EXPECT_LT(history()->bytes(), 480 * 320 / 16);
    // On a picture of many colours a stroke keeps the pixels of the tiles it crossed, not more
    // than its box.
    onPhoto();
    freeHand(0);
    EXPECT_LT(history()->bytes(), 260 * 160 * 4);
    EXPECT_GT(history()->bytes(), 32 * 32 * 4);
}

TEST_F(History, AChangeOfMostOfThePictureIsKeptWholeAndComesBackExactly) {
    onPhoto();
    const QImage before = picture();
    useTool(ToolShape);
    doc->setToolColor(ColorFill, Qt::black);
    // (QTest takes a press at (0, 0) for one in the middle of the view.)
    drag({1, 1}, {480, 320});
    const QImage after = picture();
    ASSERT_EQ(nonWhiteBox(after), QRect(0, 0, 480, 320));
    ASSERT_EQ(after.pixel(1, 1), Black);
    ASSERT_EQ(after.pixel(479, 319), Black);
    // Kept as the picture it replaced: about one picture's bytes.
    EXPECT_GE(history()->bytes(), 480 * 320 * 4);
    EXPECT_LT(history()->bytes(), 480 * 320 * 4 + 4096);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(doc->undo());
        EXPECT_EQ(picture(), before);
        EXPECT_EQ(shown(), before);
        ASSERT_TRUE(doc->redo());
        EXPECT_EQ(picture(), after);
    }
    // Drawing goes on on the exchanged picture, and is taken back as well.
    doc->setToolColor(ColorLine, Qt::red); // black on black would change nothing
    freeHand(0);
    ASSERT_NE(picture(), after);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), after);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), before);
}

TEST_F(History, OnlyAFinishedChangeIsAStepAndPreviewsAreNone) {
    usePencil(PencilFreeForm);
    press({20, 20});
    move({60, 20});
    move({90, 40});
    EXPECT_TRUE(history()->stepOpen());
    EXPECT_EQ(history()->undoSteps(), 0);
    release({90, 40});
    EXPECT_EQ(history()->undoSteps(), 1);

    // A shape previewed and dropped (released on its start) leaves nothing.
    useTool(ToolShape);
    press({100, 100});
    move({150, 150});
    EXPECT_FALSE(history()->stepOpen());
    release({100, 100});
    EXPECT_EQ(history()->undoSteps(), 1);

    // A line fixed by a tap is not finished: one step when the second tap lays it.
    usePencil(PencilLine);
    doc->setToolAttribute(AttrLineEnding, EndingNone);
    click({200, 200});
    EXPECT_EQ(history()->undoSteps(), 1);
    drag({200, 200}, {260, 230});
    EXPECT_EQ(history()->undoSteps(), 2);
    ASSERT_TRUE(doc->undo());
    EXPECT_TRUE(white(200, 200));
    EXPECT_TRUE(white(230, 215));
}

TEST_F(History, UndoInTheMiddleOfAChainTakesBackWhatItDrew) {
    usePencil(PencilConnected);
    drag({20, 20}, {100, 20});
    click({100, 100});
    ASSERT_TRUE(history()->stepOpen());
    ASSERT_TRUE(black(60, 20));
    const QImage drawn = picture();
    ASSERT_TRUE(doc->canUndo());
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_FALSE(tools()->pencilModel()->hasPreviousVertex()); // the chain was ended
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(picture(), drawn);

    // Choosing another tool ends a chain, and what it drew is one step.
    doc->newImage();
    drag({20, 20}, {100, 20});
    click({100, 100});
    useTool(ToolShape);
    EXPECT_FALSE(history()->stepOpen());
    EXPECT_EQ(history()->undoSteps(), 1);
}

TEST_F(History, UndoingBackToTheSavedStateMarksThePictureSaved) {
    QTemporaryDir dir;
    ASSERT_TRUE(doc->saveImageAs(dir.filePath("a.bmp"), "BMP"));
    QSignalSpy saved(doc.get(), &KVQ_ImageDocument::pictureSaved);
    freeHand(0);
    EXPECT_FALSE(doc->saved());
    ASSERT_TRUE(doc->undo());
    EXPECT_TRUE(doc->saved());
    EXPECT_EQ(saved.count(), 1);
    ASSERT_TRUE(doc->redo());
    EXPECT_FALSE(doc->saved());
    // Past the saved state the other way.
    ASSERT_TRUE(doc->undo());
    filledShape(0);
    ASSERT_TRUE(doc->saveImage());
    ASSERT_TRUE(doc->undo());
    EXPECT_FALSE(doc->saved());
    ASSERT_TRUE(doc->redo());
    EXPECT_TRUE(doc->saved());

    // Saved in the middle of a chain: the chain's later segments are a step of their own.
    usePencil(PencilConnected);
    drag({300, 20}, {400, 20});
    ASSERT_TRUE(doc->saveImage());
    const QImage atSave = picture();
    click({400, 100});
    click({401, 101});
    EXPECT_FALSE(doc->saved());
    ASSERT_TRUE(doc->undo());
    EXPECT_TRUE(doc->saved());
    EXPECT_EQ(picture(), atSave);
    EXPECT_EQ(QImage(dir.filePath("a.bmp")).convertToFormat(QImage::Format_RGB32),
              atSave.convertToFormat(QImage::Format_RGB32));
}

TEST_F(History, NewAndOpenStartAnEmptyHistory) {
    freeHand(0);
    ASSERT_TRUE(doc->undo());
    freeHand(5);
    ASSERT_TRUE(doc->canUndo());
    doc->newImage();
    EXPECT_FALSE(doc->canUndo());
    EXPECT_FALSE(doc->canRedo());
    EXPECT_FALSE(doc->undo());

    QTemporaryDir dir;
    QImage blank(200, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    ASSERT_TRUE(blank.save(dir.filePath("b.bmp"), "BMP"));
    fill(0);
    ASSERT_TRUE(doc->loadImage(dir.filePath("b.bmp"), "BMP"));
    EXPECT_FALSE(doc->canUndo());
    // A failed load keeps the picture and its history.
    useTool(ToolFill);
    click({50, 50});
    EXPECT_FALSE(doc->loadImage(dir.filePath("missing.bmp"), "BMP"));
    EXPECT_TRUE(doc->undo());
    EXPECT_EQ(countNonWhite(picture()), 0);
}

TEST_F(History, TheBudgetComesFromTheEnvironment) {
    const QByteArray name(KV_History::BudgetVariable);
    qputenv(name.constData(), "5");
    EXPECT_EQ(KV_History::budgetFromEnvironment(), qint64(5) << 20);
    qputenv(name.constData(), "0");
    EXPECT_EQ(KV_History::budgetFromEnvironment(), 0);
    for (const char* bad : {"lots", "-3", "1.5", "99999999999"}) {
        qputenv(name.constData(), bad);
        EXPECT_EQ(KV_History::budgetFromEnvironment(), KV_History::DefaultBudget) << bad;
    }
    qunsetenv(name.constData());
    EXPECT_EQ(KV_History::budgetFromEnvironment(), KV_History::DefaultBudget);
}
