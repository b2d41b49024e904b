// The selection tool: selecting, moving a floating piece, deleting, cutting and pasting, each
// one step of the history; a picture enlarged for a paste.
#include "canvas_fixture.h"
#include "kv_selectionmodel.h"

namespace {

constexpr QRgb Blue = 0xff0000ffu;

// A white picture with a blue block at (40, 40), 40 pixels square.
QImage blockPicture() {
    QImage image(480, 320, QImage::Format_RGB32);
    image.fill(White);
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 80; ++x)
            image.setPixel(x, y, Blue);
    return image;
}

bool filled(const QImage& im, const QRect& r, QRgb colour) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (im.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

class Selection : public CanvasTest {
public:
    void SetUp() override {
        CanvasTest::SetUp();
        ASSERT_TRUE(doc->restoreImage(blockPicture(), QString(), nullptr));
        useTool(ToolSelect);
    }
    KV_SelectionModel* sel() { return tools()->selectionModel(); }
};

TEST_F(Selection, ADragSelectsAndAClickSelectsNothing) {
    drag(QPoint(30, 30), QPoint(90, 85));
    EXPECT_EQ(sel()->selection(), QRect(QPoint(30, 30), QPoint(90, 85)));
    // Backwards and beyond the picture's edge: within the picture.
    drag(QPoint(470, 300), QPoint(400, 900));
    EXPECT_EQ(sel()->selection(), QRect(QPoint(400, 300), QPoint(470, 319)));
    click(QPoint(10, 10));
    EXPECT_FALSE(sel()->hasSelection());
    EXPECT_FALSE(doc->canUndo());
}

TEST_F(Selection, AMovedPieceFloatsThenGoesDownAsOneStepWithAWhiteHole) {
    const QImage before = picture();
    drag(QPoint(40, 40), QPoint(79, 79));
    drag(QPoint(50, 50), QPoint(250, 150)); // moved by (200, 100)
    EXPECT_TRUE(sel()->isFloating());
    EXPECT_EQ(sel()->selection(), QRect(240, 140, 40, 40));
    EXPECT_EQ(picture(), before); // floating: the picture is as it was
    // A second drag of the floating piece moves it on, still one change.
    drag(QPoint(250, 150), QPoint(260, 160));
    EXPECT_EQ(sel()->selection(), QRect(250, 150, 40, 40));

    sel()->escape(); // puts the piece down where it is
    EXPECT_FALSE(sel()->isFloating());
    EXPECT_TRUE(sel()->hasSelection());
    const QImage moved = picture();
    EXPECT_TRUE(filled(moved, QRect(250, 150, 40, 40), Blue));
    EXPECT_TRUE(filled(moved, QRect(40, 40, 40, 40), White));
    EXPECT_EQ(countNonWhite(moved), 40 * 40);
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);

    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), before);
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(picture(), moved);
}

TEST_F(Selection, AToolChangeOrSavingPutsTheFloatingPieceDown) {
    drag(QPoint(40, 40), QPoint(79, 79));
    drag(QPoint(60, 60), QPoint(160, 60));
    QTemporaryDir dir;
    ASSERT_TRUE(doc->saveImageAs(dir.filePath(QStringLiteral("s.png")), "PNG"));
    const QImage saved(dir.filePath(QStringLiteral("s.png")));
    EXPECT_TRUE(filled(saved, QRect(140, 40, 40, 40), Blue));
    EXPECT_TRUE(filled(saved, QRect(40, 40, 40, 40), White));
    EXPECT_TRUE(sel()->hasSelection());

    drag(QPoint(150, 50), QPoint(150, 250));
    useTool(ToolPencil);
    EXPECT_FALSE(sel()->hasSelection());
    EXPECT_TRUE(filled(picture(), QRect(140, 240, 40, 40), Blue));
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 2);
}

TEST_F(Selection, DeleteAndCutClearToWhiteAsOneStep) {
    const QImage before = picture();
    sel()->select(QRect(40, 40, 20, 40));
    sel()->deleteSelection();
    EXPECT_FALSE(sel()->hasSelection());
    EXPECT_EQ(countNonWhite(picture()), 20 * 40);
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);

    sel()->select(QRect(50, 30, 40, 20));
    const QImage taken = sel()->cut();
    EXPECT_EQ(taken.size(), QSize(40, 20));
    EXPECT_EQ(taken.pixel(15, 15), Blue); // (65, 45)
    EXPECT_EQ(taken.pixel(5, 5), White);  // (55, 35), cleared before
    EXPECT_TRUE(filled(picture(), QRect(50, 30, 40, 20), White));
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 2);
    ASSERT_TRUE(doc->undo());
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), before);

    // Deleting a floating piece clears only its hole and drops it.
    sel()->select(QRect(40, 40, 40, 40));
    drag(QPoint(50, 50), QPoint(300, 50));
    sel()->deleteSelection();
    EXPECT_EQ(countNonWhite(picture()), 0);
}

TEST_F(Selection, APasteFloatsAndGoesDownAsOneStep) {
    QImage piece(30, 10, QImage::Format_RGB32);
    piece.fill(Blue);
    const QImage before = picture();
    sel()->paste(piece, QPoint(300, 200));
    EXPECT_TRUE(sel()->isFloating());
    EXPECT_TRUE(sel()->hole().isEmpty());
    EXPECT_EQ(picture(), before);
    drag(QPoint(305, 205), QPoint(465, 215)); // partly beyond the picture's edge
    sel()->putDown();
    EXPECT_TRUE(filled(picture(), QRect(460, 210, 20, 10), Blue));
    EXPECT_TRUE(filled(picture(), QRect(300, 200, 30, 10), White));
    EXPECT_EQ(countNonWhite(picture()), 40 * 40 + 20 * 10);
    EXPECT_EQ(sel()->selection(), QRect(460, 210, 20, 10));
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), before);
}

TEST_F(Selection, AnEnlargedPictureAndItsPasteAreOneStep) {
    const QImage before = picture();
    QImage piece(600, 400, QImage::Format_RGB32);
    piece.fill(Blue);
    ASSERT_TRUE(doc->enlargePicture(piece.size()));
    EXPECT_EQ(doc->pmScaled()->size(), QSize(600, 400));
    EXPECT_EQ(canvas->size(), QSize(600, 400));
    EXPECT_EQ(picture().pixel(500, 350), White);
    EXPECT_EQ(picture().pixel(50, 50), Blue);
    sel()->paste(piece.copy(0, 0, 100, 100), QPoint(450, 250));
    sel()->putDown();
    EXPECT_TRUE(filled(picture(), QRect(450, 250, 100, 100), Blue));
    EXPECT_EQ(doc->undoHistory()->undoSteps(), 1);

    const QImage after = picture();
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(canvas->size(), QSize(480, 320));
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(picture(), after);
    EXPECT_EQ(canvas->size(), QSize(600, 400));
    // Not smaller, nor beyond the largest picture.
    EXPECT_FALSE(doc->enlargePicture(QSize(10, 10)));
    EXPECT_FALSE(doc->enlargePicture(QSize(1 << 16, 1 << 16)));
}

TEST_F(Selection, SelectAllAndTheCopyOfTheSelection) {
    sel()->selectAll();
    EXPECT_EQ(sel()->selection(), QRect(0, 0, 480, 320));
    EXPECT_EQ(sel()->selectedImage().convertToFormat(QImage::Format_RGB32), picture());
    sel()->forget();
    EXPECT_TRUE(sel()->selectedImage().isNull());
}

TEST_F(Selection, AFloatingPieceOfAPictureThatGoesIsNotPutDownOnTheNextOne) {
    drag(QPoint(40, 40), QPoint(79, 79));
    drag(QPoint(50, 50), QPoint(150, 150));
    ASSERT_TRUE(sel()->isFloating());
    QImage white(480, 320, QImage::Format_RGB32);
    white.fill(White);
    ASSERT_TRUE(doc->restoreImage(white, QString(), nullptr));
    EXPECT_FALSE(sel()->hasSelection());
    useTool(ToolPencil);
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_FALSE(doc->canUndo());
}
