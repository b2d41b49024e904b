// Random pen and key input into the editor for a while (60 s unless KV_RANDOM_SECONDS says
// otherwise), seeded (KV_RANDOM_SEED repeats a run; the seed is printed): the editor stays
// alive, prints no crash report, and every picture it leaves on disk can be read.
#include "x11_fixture.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QImageReader>
#include <QRandomGenerator>

#include <cstdio>

namespace {

TEST_F(EditorOnX, RandomInputLeavesTheEditorAliveAndEveryPictureReadable) {
    const int seconds = qEnvironmentVariableIsSet("KV_RANDOM_SECONDS")
                            ? qEnvironmentVariableIntValue("KV_RANDOM_SECONDS")
                            : 60;
    const quint32 seed = qEnvironmentVariableIsSet("KV_RANDOM_SEED")
                             ? quint32(qEnvironmentVariableIntValue("KV_RANDOM_SEED"))
                             : QRandomGenerator::system()->generate();
    std::printf("random input: seed %u, %d s (KV_RANDOM_SEED=%u repeats it)\n", seed, seconds,
                seed);
    std::fflush(stdout);
    QRandomGenerator random(seed);

    editor.setProcessChannelMode(QProcess::SeparateChannels);
    start();
    editor.setReadChannel(QProcess::StandardError);
    QByteArray log;

    // Keys a person presses, Control letters included but Q (quit) and M (the menu bar, whose
    // File menu could quit too).
    const QStringList keyChoices = {"Tab",       "Return",    "Escape",     "Up",     "Down",
                                    "Left",      "Right",     "space",      "a",      "x",
                                    "ctrl+Tab",  "ctrl+n",    "ctrl+o",     "ctrl+s", "ctrl+h",
                                    "BackSpace", "shift+Tab", "ctrl+Escape"};
    const auto somewhere = [&random] {
        // Anywhere on the 800x600 screen (boxes and dialogs may lie outside the editor), but
        // the title band's menu icon, which opens the menu bar.
        QPoint p;
        do
            p = QPoint(random.bounded(800), random.bounded(600));
        while (p.x() < 24 && p.y() < 24);
        return p;
    };
    QElapsedTimer clock;
    clock.start();
    int actions = 0;
    while (clock.elapsed() < seconds * 1000 && running()) {
        const int kind = random.bounded(10);
        if (kind < 4) {
            const QPoint p = somewhere();
            xdotool({"mousemove", "--sync", QString::number(p.x()), QString::number(p.y()), "click",
                     "1"});
        } else if (kind < 6) {
            const QPoint from = somewhere();
            const QPoint to = somewhere();
            xdotool({"mousemove", "--sync", QString::number(from.x()), QString::number(from.y()),
                     "mousedown", "1"});
            for (int step = 1; step <= 4; ++step) {
                const QPoint at = from + (to - from) * step / 4;
                xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
            }
            xdotool({"mouseup", "1"});
        } else {
            xdotool(
                {"key", "--clearmodifiers", keyChoices.at(random.bounded(int(keyChoices.size())))});
        }
        ++actions;
        log += editor.readAllStandardError();
    }
    log += editor.readAllStandardError();
    std::printf("random input: %d actions\n", actions);
    EXPECT_TRUE(running()) << "the editor ended (seed " << seed << "), status "
                           << editor.exitCode();
    for (const char* crash :
         {"AddressSanitizer", "runtime error", "Segmentation", "Aborted", "QFATAL", "ASSERT"})
        EXPECT_FALSE(log.contains(crash)) << crash << " (seed " << seed << "):\n"
                                          << log.right(4000).constData();

    editor.kill();
    editor.waitForFinished(5000);
    QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
    int pictures = 0;
    while (it.hasNext()) {
        const QString file = it.next();
        QImageReader reader(file);
        EXPECT_FALSE(reader.read().isNull())
            << qPrintable(file) << ": " << qPrintable(reader.errorString()) << " (seed " << seed
            << ")";
        ++pictures;
    }
    EXPECT_GE(pictures, 1);
}

} // namespace
