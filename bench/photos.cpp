// Moving through points with photographs: the work of one move of the
// current record (finding the six files, decoding six thumbnails) for 100
// points with six 12-megapixel photographs each, once the files are in the
// system's cache. Camera photographs carry an EXIF preview; plain ones (as an
// editor may save them) are decoded at an eighth of their size. The window
// does the decoding on worker threads, so its own share of a move is the
// look-up alone (BM_PhotoLookup).

#include "paint/Headless.h"
#include "paint/Picture.h"
#include "project/Photos.h"
#include "tests/support/ExifJpeg.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

using namespace korthal;
namespace fs = std::filesystem;

namespace {

constexpr int kPoints = 100;
const QSize kThumbBox(64, 48);

std::string jpegBytes(const QImage& img, int quality)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPG", quality);
    return out.toStdString();
}

// A 4000 × 3000 picture with the detail of a photograph of a field: smooth
// light, texture and some noise, so that it compresses as a camera's would.
QImage cameraPicture()
{
    QImage img(4000, 3000, QImage::Format_RGB32);
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> noise(-9, 9);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const double light = 0.5 + 0.5 * std::sin(x * 0.0011 + std::sin(y * 0.0017) * 2);
            const double grass = std::sin(x * 0.37 + y * 0.11) * std::sin(y * 0.29 - x * 0.05);
            const int n = noise(gen);
            const int r = static_cast<int>(90 + 80 * light + 30 * grass) + n;
            const int g = static_cast<int>(110 + 90 * light + 40 * grass) + n;
            const int b = static_cast<int>(60 + 50 * light + 20 * grass) + n;
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return img;
}

struct Photos {
    paint::HeadlessGui gui;
    fs::path root = fs::temp_directory_path() / ("korthal_bench_photos_" + std::to_string(getpid()));
    fs::path camera = root / "camera";
    fs::path plain = root / "plain";
    std::size_t bytes = 0;

    Photos()
    {
        const QImage picture = cameraPicture();
        const std::string jpeg = jpegBytes(picture, 92);
        const std::string preview = jpegBytes(picture.scaled(160, 120, Qt::IgnoreAspectRatio,
                                                             Qt::SmoothTransformation), 80);
        bytes = jpeg.size();
        fill(camera, test::withExif(jpeg, 1, preview));
        fill(plain, jpeg);
    }
    ~Photos()
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    // One file, linked under the names of 100 points' six photographs.
    static void fill(const fs::path& folder, const std::string& bytes)
    {
        fs::create_directories(folder);
        const fs::path master = folder / "master.bin";
        std::ofstream(master, std::ios::binary).write(bytes.data(),
                                                       static_cast<std::streamsize>(bytes.size()));
        for (int id = 1; id <= kPoints; ++id)
            for (int n = 1; n <= kPhotosPerPoint; ++n)
                fs::create_hard_link(master, folder / (photoStem("BENCH", id, n) + ".jpg"));
    }
};

Photos& photos()
{
    static Photos p;
    return p;
}

// One move: the six files of the next point, and their thumbnails.
void moveThroughPoints(benchmark::State& state, const fs::path& folder)
{
    int id = 0;
    for (auto _ : state) {
        id = id % kPoints + 1;
        for (const std::string& f : findPhotos(folder.string(), "BENCH", id)) {
            const paint::Picture p = paint::readPicture(QString::fromStdString(f), kThumbBox);
            if (!p.ok()) state.SkipWithError("a photograph was not read");
            benchmark::DoNotOptimize(p.image.constBits());
        }
    }
    state.counters["MB_per_photo"] = double(photos().bytes) / 1e6;
}

void BM_ThumbnailMoveCameraPhotos(benchmark::State& state)
{
    moveThroughPoints(state, photos().camera);
}
BENCHMARK(BM_ThumbnailMoveCameraPhotos)->Unit(benchmark::kMillisecond)->Iterations(kPoints);

void BM_ThumbnailMovePlainPhotos(benchmark::State& state)
{
    moveThroughPoints(state, photos().plain);
}
BENCHMARK(BM_ThumbnailMovePlainPhotos)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PhotoLookup(benchmark::State& state)
{
    int id = 0;
    for (auto _ : state) {
        id = id % kPoints + 1;
        benchmark::DoNotOptimize(findPhotos(photos().camera.string(), "BENCH", id));
    }
}
BENCHMARK(BM_PhotoLookup)->Unit(benchmark::kMicrosecond)->Iterations(kPoints);

// For comparison: one photograph decoded whole, as the photo window's
// printout does.
void BM_PhotoFullDecode(benchmark::State& state)
{
    const QString f = QString::fromStdString((photos().plain / "master.bin").string());
    for (auto _ : state) benchmark::DoNotOptimize(paint::readPicture(f).image.constBits());
}
BENCHMARK(BM_PhotoFullDecode)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
