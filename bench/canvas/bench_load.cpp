// bench_load: opening a 4096x3072 photo in the document (read, decoded once, made the picture)
// against Qt's own QImageReader reading the same file into a QImage, for a JPEG and a PNG, in
// turns within each iteration so that both meet the same load. A third turn checks the file with
// the picture validator and then lets Qt decode it, the two decodings the document did before.
// The counters are the medians over the iterations and the ratios of the document's median and
// the check-then-decode median to Qt's; the benchmark's time is the document's.
#include "bench_main.h"

#include "kv_picturefilevalidator.h"
#include "kvq_imagedocument.h"

#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr int Width = 4096;
constexpr int Height = 3072;

// Something like a photo: smooth gradients with fine noise on them, which neither format
// compresses away.
QImage photo() {
    QImage im(Width, Height, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(im.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int n = int(noise.bounded(16));
            line[x] = qRgb((x / 16 + n) & 0xff, (y / 12 + n) & 0xff, ((x + y) / 28 + n) & 0xff);
        }
    }
    return im;
}

struct Files {
    QTemporaryDir dir;
    QString jpeg = dir.filePath("photo.jpeg");
    QString png = dir.filePath("photo.png");
    bool ok = false;
    Files() {
        const QImage im = photo();
        QImageWriter jpegWriter(jpeg, "jpeg");
        jpegWriter.setQuality(90);
        ok = dir.isValid() && jpegWriter.write(im) && QImageWriter(png, "png").write(im);
    }
};

Files& files() {
    static Files f;
    return f;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <class Load>
double secondsOf(Load load, bool* ok) {
    const auto start = std::chrono::steady_clock::now();
    *ok = load() && *ok;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_LoadAgainstQt(benchmark::State& state, const char* format) {
    if (!files().ok) {
        state.SkipWithError("cannot write the pictures");
        return;
    }
    const bool png = qstrcmp(format, "PNG") == 0;
    const QString path = png ? files().png : files().jpeg;
    const QByteArray qtFormat = QByteArray(format).toLower();
    QCanvas canvas;
    auto doc = std::make_unique<KVQ_ImageDocument>(&canvas);

    const auto qtRead = [&] {
        QImageReader reader(path, qtFormat);
        const QImage im = reader.read();
        return im.width() == Width;
    };
    const auto documentLoad = [&] {
        return doc->loadImage(path, format) && doc->pmScaled()->width() == Width;
    };
    const auto checkThenQt = [&] {
        return KV_PictureFileValidator::fileIsSound(path, format) && qtRead();
    };

    std::vector<double> qtTimes, documentTimes, checkTimes;
    int turn = 0;
    bool ok = true;
    for (auto _ : state) {
        double qt = 0, document = 0, check = 0;
        // The order turns round from one iteration to the next.
        for (int i = 0; i < 3; ++i) {
            switch ((turn + i) % 3) {
            case 0:
                qt = secondsOf(qtRead, &ok);
                break;
            case 1:
                document = secondsOf(documentLoad, &ok);
                break;
            default:
                check = secondsOf(checkThenQt, &ok);
            }
        }
        ++turn;
        if (!ok) {
            state.SkipWithError("a load failed");
            return;
        }
        qtTimes.push_back(qt);
        documentTimes.push_back(document);
        checkTimes.push_back(check);
        state.SetIterationTime(document);
    }
    state.counters["qt_ms"] = 1e3 * median(qtTimes);
    state.counters["document_ms"] = 1e3 * median(documentTimes);
    state.counters["check_then_qt_ms"] = 1e3 * median(checkTimes);
    state.counters["ratio"] = median(documentTimes) / median(qtTimes);
    state.counters["check_then_qt_ratio"] = median(checkTimes) / median(qtTimes);
}
// Each iteration decodes the picture three times: a fixed count, and no repetitions even when
// asked.
BENCHMARK_CAPTURE(BM_LoadAgainstQt, jpeg, "JPEG")
    ->UseManualTime()
    ->Iterations(11)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadAgainstQt, png, "PNG")
    ->UseManualTime()
    ->Iterations(11)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

KV_BENCHMARK_MAIN();
