// Colours and the eraser on a real X server: red chosen from the fill tool bar's colour popup
// with the keys fills red; the eraser clears a black picture with its square; ferry sets the
// fill colour and the tool by name.
#include "kv_privatebus.h"
#include "x11_fixture.h"

namespace {

constexpr QRgb Red = 0xffff0000u;

TEST_F(EditorOnX, RedFromTheFillColourPopupFillsRed) {
    start();
    click(modeSwitch(1)); // the fill mode
    // Control+Tab to the fill bar's buttons, Tab twice to its colour picker, Return opens the
    // popup; from black (the top left) Down and Right reach red, Return takes it.
    keys(QStringLiteral("ctrl+Tab"));
    keys(QStringLiteral("Tab"));
    keys(QStringLiteral("Tab"));
    keys(QStringLiteral("Return"));
    keys(QStringLiteral("Down"));
    keys(QStringLiteral("Right"));
    keys(QStringLiteral("Return"));
    ASSERT_TRUE(running());
    click(onPicture(240, 160));
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(240, 160), Red);
    EXPECT_EQ(saved.pixel(0, 0), Red);
    EXPECT_EQ(saved.pixel(479, 319), Red);
}

TEST_F(EditorOnX, EscapeDismissesTheColourPopupAndTheFillStaysBlack) {
    start();
    click(modeSwitch(1));
    keys(QStringLiteral("ctrl+Tab"));
    keys(QStringLiteral("Tab"));
    keys(QStringLiteral("Tab"));
    keys(QStringLiteral("Return"));
    keys(QStringLiteral("Right"));
    keys(QStringLiteral("Escape"));
    click(onPicture(240, 160));
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(240, 160), Black);
}

TEST_F(EditorOnX, TheEraserClearsASquarePath) {
    QImage black(480, 320, QImage::Format_RGB32);
    black.fill(Black);
    ASSERT_TRUE(black.save(picture, "BMP"));
    start();
    click(modeSwitch(4)); // the eraser, 8 pixels at start
    drag({onPicture(100, 100), onPicture(200, 100)});
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(96, 96), White);
    EXPECT_EQ(saved.pixel(203, 103), White);
    EXPECT_EQ(saved.pixel(150, 95), Black);
    EXPECT_EQ(saved.pixel(150, 104), Black);
    EXPECT_EQ(saved.pixel(95, 100), Black);
    EXPECT_EQ(saved.pixel(204, 100), Black);
}

// ferry chooses the tool and the colour by name; a bad colour changes nothing.
TEST_F(EditorOnX, FerrySetsTheFillColourAndTheTool) {
    KV_PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    start(editorEnvironment(bus.environment()));
    const auto ferry = [&bus](const QString& query) { ::ferry(bus.environment(), query); };
    ferry(QStringLiteral("px&setFillColor(QString)&#00ff00"));
    ferry(QStringLiteral("px&setFillColor(QString)&notacolour"));
    ferry(QStringLiteral("px&chooseTool(QString)&fill"));
    click(onPicture(240, 160));
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(240, 160), 0xff00ff00u);
    EXPECT_EQ(saved.pixel(0, 0), 0xff00ff00u);
}

} // namespace
