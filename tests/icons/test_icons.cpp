// The icons the build writes for the image editor: every file the editor loads by name is there
// in the format its extension names, at its size, with dark strokes on a background, and the
// icons that differ in one mark (line endings, widths, styles, shapes) show the right one.
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct Expected {
    const char* name;
    int width;
    int height;
};

const Expected icons[] = {
    {"linemode.png", 24, 24},
    {"fillmode.png", 24, 24},
    {"textmode.png", 24, 24},
    {"shapesmode.png", 24, 24},
    {"erasermode.png", 24, 24},
    {"last.bmp", 24, 24},
    {"pancanvas.png", 24, 24},
    {"zoomout.png", 24, 24},
    {"zoomin.png", 24, 24},
    {"undo.png", 24, 24},
    {"PX.bmp", 24, 24},
    {"viewSpecific.bmp", 24, 24},
    {"imageeditorapp16x16.png", 16, 16},
    {"imageeditorapp32x32.png", 32, 32},
    {"lineendingsidentifier.png", 24, 24},
    {"linetypeidentifier.png", 24, 24},
    {"linewidthidentifier.png", 24, 24},
    {"linestyleidentifier.png", 24, 24},
    {"colorpicker.png", 24, 24},
    {"fillcoloridentifier.png", 24, 24},
    {"colorholderred.png", 24, 24},
    {"shapeidentifier.png", 24, 24},
    {"activeshapestool.bmp", 24, 24},
    {"activethickness.png", 24, 24},
    {"activethickness.bmp", 24, 24},
    {"activefillcolor.bmp", 24, 24},
    {"lineendnone.png", 32, 16},
    {"lineendnonecircle.png", 32, 16},
    {"lineendcirclenone.png", 32, 16},
    {"lineendcirclecircle.png", 32, 16},
    {"lineendnonearrow.png", 32, 16},
    {"lineendarrownone.png", 32, 16},
    {"lineendarrowarrow.png", 32, 16},
    {"linetypefreeform.png", 32, 16},
    {"linetypemultipleconnected.png", 32, 16},
    {"linewidththin.png", 32, 16},
    {"linewidthmedium.png", 32, 16},
    {"linewidththick.png", 32, 16},
    {"linestylesolid.png", 32, 16},
    {"linestyledashed.png", 32, 16},
    {"linestyledotted.png", 32, 16},
    {"square.png", 24, 24},
    {"squareroundcorners.png", 24, 24},
    {"circle.png", 24, 24},
};

QString pathOf(const char* name) {
    return QDir(QStringLiteral(KV_PX_ICON_DIR)).filePath(name);
}

QImage load(const char* name) {
    return QImage(pathOf(name)).convertToFormat(QImage::Format_ARGB32);
}

// A stroke pixel: mostly opaque and dark. A background pixel: (nearly) transparent or light.
bool isDark(QRgb c) {
    return qAlpha(c) >= 160 && qGray(c) <= 90;
}
bool isBackground(QRgb c) {
    return qAlpha(c) <= 40 || qGray(c) >= 200;
}

int darkIn(const QImage& image, const QRect& area) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += isDark(image.pixel(x, y));
    return n;
}

int darkIn(const QImage& image) {
    return darkIn(image, image.rect());
}

int columnHeight(const QImage& image, int x) {
    return darkIn(image, QRect(x, 0, 1, image.height()));
}

// The lengths of the runs of dark pixels along row y.
std::vector<int> runsAlongRow(const QImage& image, int y) {
    std::vector<int> runs;
    int length = 0;
    for (int x = 0; x <= image.width(); ++x) {
        if (x < image.width() && isDark(image.pixel(x, y))) {
            ++length;
        } else if (length > 0) {
            runs.push_back(length);
            length = 0;
        }
    }
    return runs;
}

// The row of a popup entry's horizontal line: the one with the most dark pixels.
int lineRow(const QImage& image) {
    int best = 0;
    for (int y = 1; y < image.height(); ++y)
        if (darkIn(image, QRect(0, y, image.width(), 1)) >
            darkIn(image, QRect(0, best, image.width(), 1)))
            best = y;
    return best;
}

TEST(Icons, EveryFileLoadsInItsFormatAtItsSizeWithStrokesOnABackground) {
    for (const Expected& e : icons) {
        SCOPED_TRACE(e.name);
        const QString path = pathOf(e.name);
        QImageReader reader(path);
        const QByteArray suffix = QFileInfo(path).suffix().toLatin1();
        EXPECT_EQ(reader.format(), suffix);
        const QImage image = load(e.name);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(e.width, e.height));
        int background = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                background += isBackground(image.pixel(x, y));
        EXPECT_GE(darkIn(image), 10);
        EXPECT_GE(background, image.width() * image.height() / 4);
    }
}

TEST(Icons, LineEndingsSitAtTheEndsTheirNamesGive) {
    enum End { Plain, Dot, Arrow };
    const struct {
        const char* name;
        End left;
        End right;
    } endings[] = {
        {"lineendnonecircle.png", Plain, Dot},  {"lineendcirclenone.png", Dot, Plain},
        {"lineendcirclecircle.png", Dot, Dot},  {"lineendnonearrow.png", Plain, Arrow},
        {"lineendarrownone.png", Arrow, Plain}, {"lineendarrowarrow.png", Arrow, Arrow},
    };
    const QImage plain = load("lineendnone.png");
    const int w = plain.width();
    const QRect leftThird(0, 0, w / 3, plain.height());
    const QRect rightThird(w - w / 3, 0, w / 3, plain.height());
    ASSERT_EQ(runsAlongRow(plain, lineRow(plain)).size(), 1u);
    EXPECT_NEAR(darkIn(plain, leftThird), darkIn(plain, rightThird), 2);

    // The columns of one end from the line's middle outwards: an arrow head is widest at its
    // base (the first column taller than the line), a dot in its middle.
    const auto checkEnd = [&](const QImage& image, End end, bool right, const QRect& third) {
        SCOPED_TRACE(right ? "right end" : "left end");
        if (end == Plain) {
            EXPECT_NEAR(darkIn(image, third), darkIn(plain, third), 2);
            return;
        }
        EXPECT_GE(darkIn(image, third), darkIn(plain, third) + 8);
        std::vector<int> heights;
        for (int k = w / 2; k > 0; --k)
            heights.push_back(columnHeight(image, right ? w - k : k - 1));
        const auto first =
            std::find_if(heights.begin(), heights.end(), [](int h) { return h > 3; });
        ASSERT_NE(first, heights.end());
        const int peak = *std::max_element(heights.begin(), heights.end());
        if (end == Arrow)
            EXPECT_EQ(*first, peak);
        else
            EXPECT_LT(*first, peak);
    };
    for (const auto& e : endings) {
        SCOPED_TRACE(e.name);
        const QImage image = load(e.name);
        checkEnd(image, e.left, false, leftThird);
        checkEnd(image, e.right, true, rightThird);
    }
}

TEST(Icons, LineWidthsAreOneThreeAndFivePixels) {
    EXPECT_EQ(columnHeight(load("linewidththin.png"), 16), 1);
    EXPECT_EQ(columnHeight(load("linewidthmedium.png"), 16), 3);
    EXPECT_EQ(columnHeight(load("linewidththick.png"), 16), 5);
    EXPECT_LT(darkIn(load("linewidththin.png")), darkIn(load("linewidthmedium.png")));
    EXPECT_LT(darkIn(load("linewidthmedium.png")), darkIn(load("linewidththick.png")));
}

TEST(Icons, LineStylesAreSolidLongDashesAndDots) {
    const QImage solid = load("linestylesolid.png");
    const QImage dashed = load("linestyledashed.png");
    const QImage dotted = load("linestyledotted.png");
    for (const QImage* image : {&solid, &dashed, &dotted}) {
        const int h = columnHeight(*image, 4);
        EXPECT_GE(h, 2);
        EXPECT_LE(h, 3);
    }
    const std::vector<int> solidRuns = runsAlongRow(solid, lineRow(solid));
    ASSERT_EQ(solidRuns.size(), 1u);
    EXPECT_GE(solidRuns[0], 20);

    const std::vector<int> dashRuns = runsAlongRow(dashed, lineRow(dashed));
    EXPECT_GE(dashRuns.size(), 3u);
    EXPECT_GE(*std::min_element(dashRuns.begin(), dashRuns.end()), 4);

    const std::vector<int> dotRuns = runsAlongRow(dotted, lineRow(dotted));
    EXPECT_GE(dotRuns.size(), 5u);
    EXPECT_LE(*std::max_element(dotRuns.begin(), dotRuns.end()), 3);
}

TEST(Icons, IconsThatDifferInOneMarkShowTheirOwn) {
    // The plus adds a stroke to the minus.
    EXPECT_GT(darkIn(load("zoomin.png")), darkIn(load("zoomout.png")) + 4);
    // Only the square has its corner; the others turn before it.
    const QRect corner(3, 3, 2, 2);
    EXPECT_EQ(darkIn(load("square.png"), corner), 4);
    EXPECT_EQ(darkIn(load("squareroundcorners.png"), corner), 0);
    EXPECT_EQ(darkIn(load("circle.png"), corner), 0);
    // The red colour holder is mostly red.
    const QImage red = load("colorholderred.png");
    int reds = 0;
    for (int y = 0; y < red.height(); ++y)
        for (int x = 0; x < red.width(); ++x) {
            const QRgb c = red.pixel(x, y);
            reds += qAlpha(c) == 255 && qRed(c) >= 180 && qGreen(c) <= 80 && qBlue(c) <= 80;
        }
    EXPECT_GE(reds, red.width() * red.height() / 3);
}

TEST(Icons, GeneratorRefusesWithAMessageAndAStatus) {
    QProcess noFolder;
    noFolder.start(QStringLiteral(KV_MAKEICONS), {});
    ASSERT_TRUE(noFolder.waitForFinished(30000));
    EXPECT_EQ(noFolder.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(noFolder.exitCode(), 2);
    EXPECT_TRUE(noFolder.readAllStandardError().contains("Usage"));

    // A folder below a plain file can never be made.
    QProcess unwritable;
    unwritable.start(QStringLiteral(KV_MAKEICONS), {QStringLiteral("/dev/null/pics")});
    ASSERT_TRUE(unwritable.waitForFinished(30000));
    EXPECT_EQ(unwritable.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(unwritable.exitCode(), 1);
    EXPECT_TRUE(unwritable.readAllStandardError().contains("/dev/null/pics"));
}

} // namespace
