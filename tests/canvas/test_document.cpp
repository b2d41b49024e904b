// The image document: load, save, flags and pen events.
#include "canvas_fixture.h"

#include <qimageio.h>

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QWindow>

namespace {

QString writeBmp(const QString& path, int w, int h, QColor colour) {
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(colour);
    EXPECT_TRUE(im.save(path, "BMP"));
    return path;
}

} // namespace

class Document : public CanvasTest {};

TEST_F(Document, NewDocumentIsBlankWhiteAndClean) {
    const QImage im = picture();
    EXPECT_EQ(im.size(), QSize(480, 320));
    EXPECT_EQ(countNonWhite(im), 0);
    EXPECT_TRUE(doc->saved());
    EXPECT_FALSE(doc->isFile());
    EXPECT_TRUE(doc->painter()->isActive());
    EXPECT_EQ(canvas->size(), QSize(480, 320));
    EXPECT_EQ(doc->currentFormat(), nullptr);
    EXPECT_FALSE(doc->saveImage()); // no file name yet
    EXPECT_TRUE(doc->saved());
    EXPECT_EQ(QByteArray(doc->metaObject()->className()), "KVQ_ImageDocument");
    EXPECT_EQ(QByteArray(doc->metaObject()->superClass()->className()), "QCanvasView");
}

TEST_F(Document, StrokeClearsSavedAndNewImageSetsIt) {
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    EXPECT_FALSE(doc->saved());
    EXPECT_TRUE(black(30, 10));
    EXPECT_TRUE(doc->newImage());
    EXPECT_TRUE(doc->saved());
    EXPECT_FALSE(doc->isFile());
    EXPECT_EQ(countNonWhite(picture()), 0);
}

TEST_F(Document, PreviewClearsSavedButLeavesPicture) {
    useTool(ToolShape);
    press({10, 10});
    move({50, 40});
    EXPECT_FALSE(doc->saved());
    EXPECT_EQ(countNonWhite(picture()), 0);  // the picture is untouched by a preview
    EXPECT_EQ(shown().pixel(30, 10), Black); // the preview is what the canvas shows
    release({50, 40});
    EXPECT_TRUE(black(30, 10));
}

TEST_F(Document, LowerCaseFormatIsRefusedAndDrawingGoesOn) {
    QTemporaryDir dir;
    const QString file = writeBmp(dir.filePath("red.bmp"), 20, 10, Qt::red);
    EXPECT_FALSE(doc->loadImage(file, "bmp"));
    EXPECT_EQ(picture().size(), QSize(480, 320));
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_FALSE(doc->isFile());
    EXPECT_TRUE(doc->fileName().isEmpty()); // a failed load keeps the previous file name
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    EXPECT_TRUE(black(30, 10));
}

TEST_F(Document, NullFileNameLoadsNothing) {
    EXPECT_FALSE(doc->loadImage(QString(), "BMP"));
    EXPECT_FALSE(doc->saveImageAs(QString(), "BMP"));
    EXPECT_FALSE(doc->saveImageAs(QStringLiteral(""), "BMP"));
    EXPECT_TRUE(doc->saved());
}

TEST_F(Document, LoadBmpBindsTheDocument) {
    QTemporaryDir dir;
    const QString file = writeBmp(dir.filePath("red.bmp"), 100, 80, Qt::red);
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    ASSERT_TRUE(doc->loadImage(file, "BMP"));
    EXPECT_EQ(picture().size(), QSize(100, 80));
    EXPECT_EQ(px(50, 40), qRgb(255, 0, 0));
    EXPECT_EQ(canvas->size(), QSize(100, 80));
    EXPECT_TRUE(doc->saved());
    EXPECT_TRUE(doc->isFile());
    EXPECT_STREQ(doc->currentFormat(), "BMP");
    EXPECT_EQ(doc->fileName(), file);
    EXPECT_TRUE(doc->painter()->isActive());
}

TEST_F(Document, JpgAndJpegBothLoadAsJpegAndSaveWritesJpeg) {
    QTemporaryDir dir;
    const QString file = dir.filePath("pic.jpeg");
    ASSERT_TRUE(doc->saveImageAs(file, "JPEG"));
    EXPECT_STREQ(QImageIO::imageFormat(file), "JPEG");
    for (const char* f : {"JPG", "JPEG"}) {
        doc->newImage();
        ASSERT_TRUE(doc->loadImage(file, f)) << f;
        EXPECT_STREQ(doc->currentFormat(), "JPEG");
    }
    // The current format is one of the document's own constants, not the caller's string.
    QByteArray callerString("JPG");
    ASSERT_TRUE(doc->loadImage(file, callerString.data()));
    callerString.fill('x');
    EXPECT_STREQ(doc->currentFormat(), "JPEG");
    QFile::remove(file);
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    ASSERT_TRUE(doc->saveImage());
    EXPECT_STREQ(QImageIO::imageFormat(file), "JPEG");
    EXPECT_TRUE(doc->saved());
}

TEST_F(Document, FailedLoadKeepsPictureNameFormatAndFlags) {
    QTemporaryDir dir;
    const QString good = writeBmp(dir.filePath("good.bmp"), 100, 80, Qt::red);
    ASSERT_TRUE(doc->loadImage(good, "BMP"));
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    ASSERT_FALSE(doc->saved());
    const QImage before = picture();

    const QString missing = dir.filePath("missing.jpeg");
    EXPECT_FALSE(doc->loadImage(missing, "JPEG"));
    EXPECT_EQ(picture(), before);
    EXPECT_EQ(doc->fileName(), good);
    EXPECT_STREQ(doc->currentFormat(), "BMP");
    EXPECT_FALSE(doc->saved()); // still unsaved: quitting must still prompt
    EXPECT_TRUE(doc->isFile());
    EXPECT_TRUE(doc->painter()->isActive());
    // A later save goes to the file that was loaded, not the one that failed.
    ASSERT_TRUE(doc->saveImage());
    EXPECT_FALSE(QFile::exists(missing));
    QImage written(good);
    EXPECT_EQ(written.pixel(30, 10), Black);
}

TEST_F(Document, SaveAsUnsupportedFormatAfterNewKeepsNullFormat) {
    QTemporaryDir dir;
    const QString tiff = dir.filePath("b.tiff");
    doc->newImage();
    EXPECT_FALSE(doc->saveImageAs(tiff, "TIFF"));
    EXPECT_FALSE(doc->saveImageAs(tiff, "png")); // the names are upper case
    EXPECT_EQ(doc->currentFormat(), nullptr);
    EXPECT_TRUE(doc->fileName().isEmpty());
    EXPECT_FALSE(QFile::exists(tiff));
    EXPECT_FALSE(doc->isFile());
    EXPECT_TRUE(doc->saved());
}

TEST_F(Document, SaveAsFailureRestoresNameAndFormat) {
    QTemporaryDir dir;
    const QString bmp = dir.filePath("a.BMP");
    ASSERT_TRUE(doc->saveImageAs(bmp, "BMP"));
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    EXPECT_FALSE(doc->saveImageAs(dir.filePath("no/such/folder/b.JPEG"), "JPEG"));
    EXPECT_EQ(doc->fileName(), bmp);
    EXPECT_STREQ(doc->currentFormat(), "BMP");
    EXPECT_FALSE(doc->saved());
}

TEST_F(Document, FailedSaveDoesNotCountAsSaved) {
    QTemporaryDir dir;
    const QString sub = dir.filePath("sub");
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString file = sub + "/pic.BMP";
    ASSERT_TRUE(doc->saveImageAs(file, "BMP"));
    EXPECT_TRUE(doc->saved());
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    ASSERT_FALSE(doc->saved());
    ASSERT_TRUE(QDir(sub).removeRecursively());
    EXPECT_FALSE(doc->saveImage());
    EXPECT_FALSE(doc->saved());
    EXPECT_TRUE(doc->isFile());
}

TEST_F(Document, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    const QString file = writeBmp(dir.filePath("pic.BMP"), 480, 320, Qt::red);
    ASSERT_TRUE(doc->loadImage(file, "BMP"));
    useTool(ToolFill);
    click({5, 5});
    ASSERT_TRUE(doc->saveImage());
    EXPECT_EQ(QImage(file).pixel(100, 100), Black);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"pic.BMP"});
}

TEST_F(Document, SetPmScaledAssignsOnlyAndKeepsThePainterOpen) {
    QPixmap small(50, 40);
    small.fill(Qt::red);
    doc->setPmScaled(small);
    EXPECT_EQ(doc->pmScaled()->size(), QSize(50, 40));
    EXPECT_TRUE(doc->painter()->isActive());
    EXPECT_TRUE(doc->saved());
    EXPECT_EQ(canvas->size(), QSize(480, 320)); // no canvas resize
}

TEST_F(Document, PressesBesideASmallPictureReachNoTool) {
    QTemporaryDir dir;
    const QString file = writeBmp(dir.filePath("small.bmp"), 100, 80, Qt::white);
    ASSERT_TRUE(doc->loadImage(file, "BMP"));
    doc->viewport()->repaint();
    QApplication::processEvents();
    // The view keeps its size; the picture sits at its top left.
    EXPECT_GT(doc->viewport()->width(), 400);
    EXPECT_EQ(doc->contentsToViewport(QPoint(0, 0)), QPoint(0, 0));

    useTool(ToolFill);
    QWindow* window = doc->window()->windowHandle();
    ASSERT_NE(window, nullptr);
    auto at = [&](QPoint contents) { return doc->viewport()->mapTo(doc->window(), contents); };
    // Beside the picture (right of it, and below it): no tool sees the press.
    QTest::mouseClick(window, Qt::LeftButton, {}, at({150, 40}));
    QTest::mouseClick(window, Qt::LeftButton, {}, at({50, 120}));
    EXPECT_EQ(countNonWhite(picture()), 0);
    EXPECT_TRUE(doc->saved());
    // On the picture: the fill runs.
    QTest::mouseClick(window, Qt::LeftButton, {}, at({50, 40}));
    EXPECT_TRUE(black(0, 0));
    EXPECT_TRUE(black(99, 79));
}

TEST_F(Document, LargePictureScrollsInTheViewItIsGiven) {
    QTemporaryDir dir;
    const QString file = writeBmp(dir.filePath("big.bmp"), 800, 600, Qt::white);
    doc->resize(300, 200);
    ASSERT_TRUE(doc->loadImage(file, "BMP"));
    doc->viewport()->repaint();
    QApplication::processEvents();
    EXPECT_EQ(doc->size(), QSize(300, 200));
    // Contents coordinates follow the scroll position.
    doc->setContentsPos(300, 200);
    useTool(ToolShape);
    drag({10, 10}, {50, 30});
    EXPECT_TRUE(black(310, 210));
    EXPECT_TRUE(black(349, 229));
}

TEST_F(Document, DoubleClickGivesTwoPressesWithAReleaseBetween) {
    usePencil(PencilConnected);
    drag({20, 20}, {80, 20});
    EXPECT_TRUE(doc->toolsController()->pencilModel()->hasPreviousVertex());
    // The second click of the double click is one more press: the first click lays the segment
    // to (80, 60), the second ends the chain on that vertex.
    // Through the window, as the platform delivers it: press, release, then the second press
    // recognised as a double click (widgets get it as a double-click event), release.
    QWindow* window = doc->window()->windowHandle();
    const QPoint at = vp()->mapTo(doc->window(), QPoint(80, 60));
    QTest::mouseDClick(window, Qt::LeftButton, {}, at);
    EXPECT_TRUE(black(80, 40));
    EXPECT_FALSE(doc->toolsController()->pencilModel()->hasPreviousVertex());
}

TEST_F(Document, ToolCodesGoThroughTheDocument) {
    doc->setToolAttribute(AttrLineThickness, ThicknessThick);
    doc->setToolColor(ColorLine, Qt::red);
    doc->setControlKey(true, Qt::Key_Control);
    EXPECT_EQ(tools()->activeLineThickness(), ThicknessThick);
    EXPECT_EQ(tools()->activeLineColor(), QColor(Qt::red));
    EXPECT_TRUE(tools()->controlKey);
}

TEST_F(Document, DestroyingTheDocumentLeavesTheCanvasUsable) {
    usePencil(PencilFreeForm);
    drag({10, 10}, {60, 10});
    doc.reset();
    const QImage im = canvas->backgroundPixmap().toImage();
    EXPECT_EQ(im.size(), QSize(480, 320));
    EXPECT_EQ(im.pixel(30, 10), Black);
}
