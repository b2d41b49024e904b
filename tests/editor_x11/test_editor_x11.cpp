// The editor on a real X server, used as a person uses it: orbhost starts it with a picture,
// xdotool moves the pen and types, and the picture saved on disk is checked.
#include "kv_privatebus.h"
#include "x11_fixture.h"

namespace {

TEST_F(EditorOnX, PenDrawsAClosedLineAndFillsInside) {
    start();
    // The pencil is the tool at start: a free-hand square, closed by going on past its corner
    // (a stroke begins at its first move).
    drag({onPicture(100, 100), onPicture(200, 100), onPicture(200, 200), onPicture(100, 200),
          onPicture(100, 100), onPicture(150, 100)});
    // The fill mode switch is the second of the six buttons at the right of the title band.
    click(modeSwitch(1));
    click(onPicture(150, 150).x(), onPicture(150, 150).y());
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(150, 100), Black); // the line
    EXPECT_EQ(saved.pixel(150, 150), Black); // filled inside
    EXPECT_EQ(saved.pixel(101, 199), Black);
    EXPECT_EQ(saved.pixel(50, 50), White); // outside
    EXPECT_EQ(saved.pixel(250, 150), White);
}

TEST_F(EditorOnX, KeysChooseTheToolAndSaveAndQuit) {
    start();
    keys(QStringLiteral("Tab")); // the mode highlight moves to the fill tool
    click(onPicture(240, 160).x(), onPicture(240, 160).y());
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(0, 0), Black);
    EXPECT_EQ(saved.pixel(479, 319), Black);
}

// ferry drives the running editor: a bad message changes nothing, a good one switches the tool.
TEST_F(EditorOnX, FerrySwitchesTheRunningEditorsTool) {
    KV_PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    start(editorEnvironment(bus.environment()));
    const auto ferry = [&bus](const QString& query) { ::ferry(bus.environment(), query); };
    ferry(QStringLiteral("px&fViewPickerToolTwo(bool)&maybe"));
    ferry(QStringLiteral("px&fViewPickerToolTwo(bool)"));
    ferry(QStringLiteral("px&noSuchSlot()"));
    click(onPicture(50, 50).x(), onPicture(50, 50).y()); // still the pencil: one dot at most
    ferry(QStringLiteral("px&fViewPickerToolTwo(bool)&true"));
    click(onPicture(240, 160).x(), onPicture(240, 160).y()); // now the fill
    const QImage saved = saveAndQuit();
    ASSERT_EQ(saved.size(), QSize(480, 320));
    EXPECT_EQ(saved.pixel(400, 300), Black);
    EXPECT_EQ(saved.pixel(0, 0), Black);
}

} // namespace
