// Text and the clipboard on a real X server: typing with the keyboard, and the X clipboard shared
// with another program (xclip) both ways.
#include "x11_fixture.h"

#include <QBuffer>
#include <QProcess>

namespace {

constexpr QRgb Blue = 0xff0000ffu;
constexpr QRgb Red = 0xffff0000u;

QRect boxNotWhite(const QImage& im) {
    QRect box;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (im.pixel(x, y) != White)
                box |= QRect(x, y, 1, 1);
    return box;
}

bool filled(const QImage& im, const QRect& r, QRgb colour) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (im.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

TEST_F(EditorOnX, TypesHiInTheTextMode) {
    start();
    click(modeSwitch(2));
    click(onPicture(100, 100));
    xdotool({"type", "--delay", "80", "Hi"});
    QThread::msleep(300);
    keys(QStringLiteral("ctrl+Return"));
    const QImage saved = saveAndQuit();
    const QRect inked = boxNotWhite(saved);
    ASSERT_FALSE(inked.isEmpty()) << "nothing was typed";
    EXPECT_GE(inked.left(), 100);
    EXPECT_GE(inked.top(), 100);
    EXPECT_LT(inked.right(), 140);
    EXPECT_LT(inked.bottom(), 125);
    int black = 0;
    for (int y = inked.top(); y <= inked.bottom(); ++y)
        for (int x = inked.left(); x <= inked.right(); ++x)
            black += saved.pixel(x, y) == Black;
    EXPECT_GT(black, 10); // the line colour, in the stems of H and i
}

TEST_F(EditorOnX, CopiedSelectionIsAPngOnTheClipboard) {
    QImage block(480, 320, QImage::Format_RGB32);
    block.fill(White);
    for (int y = 40; y < 80; ++y)
        for (int x = 40; x < 80; ++x)
            block.setPixel(x, y, Blue);
    ASSERT_TRUE(block.save(picture, "BMP"));
    start();
    click(modeSwitch(5));
    drag({onPicture(40, 40), onPicture(79, 79)});
    keys(QStringLiteral("ctrl+c"));

    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", "image/png", "-o"});
    ASSERT_TRUE(xclip.waitForFinished(10000));
    const QByteArray png = xclip.readAllStandardOutput();
    ASSERT_TRUE(png.startsWith("\x89PNG")) << png.size() << " bytes";
    const QImage copied = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copied.size(), QSize(40, 40));
    EXPECT_TRUE(filled(copied, copied.rect(), Blue));
    EXPECT_TRUE(running());
    // Copying changed nothing.
    EXPECT_EQ(saveAndQuit(), block);
}

TEST_F(EditorOnX, PastesAPngPutOnTheClipboardByAnotherProgram) {
    const QString png = dir.filePath(QStringLiteral("red.png"));
    QImage red(30, 20, QImage::Format_RGB32);
    red.fill(Red);
    ASSERT_TRUE(red.save(png, "PNG"));
    // xclip stays in the background to hand the picture over, until another owner takes it.
    QProcess xclip;
    xclip.setStandardOutputFile(QProcess::nullDevice());
    xclip.setStandardErrorFile(QProcess::nullDevice());
    xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", "image/png", "-i", png});
    ASSERT_TRUE(xclip.waitForFinished(10000));

    start();
    keys(QStringLiteral("ctrl+v")); // at the top left of the view, in the selection mode
    drag({onPicture(5, 5), onPicture(55, 30), onPicture(105, 55)});
    keys(QStringLiteral("Escape")); // puts it down where it is
    const QImage saved = saveAndQuit();
    EXPECT_EQ(boxNotWhite(saved), QRect(100, 50, 30, 20));
    EXPECT_TRUE(filled(saved, QRect(100, 50, 30, 20), Red));
}
