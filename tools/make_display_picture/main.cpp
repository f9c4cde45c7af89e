// Build-time tool: paints the large screen's background picture, a calm dark card-room green
// that stays out of the way of the text laid over it.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

QImage paintPicture()
{
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    // Fixed seed: every build makes the same picture.
    std::uint32_t seed = 0x7a5107u;
    const double cx = kWidth * 0.5;
    const double cy = kHeight * 0.42;
    const double reach = std::hypot(kWidth * 0.62, kHeight * 0.7);
    for (int y = 0; y < kHeight; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            // A soft pool of light in the upper middle, fading to near black at the edges.
            const double d = std::min(1.0, std::hypot(x - cx, (y - cy) * 1.25) / reach);
            const double light = 1.0 - d * d * (3.0 - 2.0 * d);
            // A faint, slow diagonal weave, like cloth seen from afar.
            const double weave = 0.012 * std::sin((x + y) * 0.045) * std::sin((x - y) * 0.045);
            seed = seed * 1664525u + 1013904223u;
            const double grain = (double(seed >> 8) / double(1u << 24) - 0.5) * 0.018;
            const double v = std::clamp(0.16 + 0.84 * light + weave + grain, 0.0, 1.0);
            const int r = int(std::lround(6 + 16 * v));
            const int g = int(std::lround(16 + 42 * v));
            const int b = int(std::lround(18 + 38 * v));
            line[x] = qRgb(r, g, b);
        }
    }
    return picture;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: make_display_picture OUTPUT.jpg\n";
        return 2;
    }
    const QString output = args.at(1);
    const QString temporary = output + QLatin1String(".new");
    QFile::remove(temporary);
    QImageWriter writer(temporary, "jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(true);
    if (!writer.write(paintPicture())) {
        QTextStream(stderr) << "make_display_picture: " << writer.errorString() << '\n';
        QFile::remove(temporary);
        return 1;
    }
    QFile::remove(output);
    if (!QFile::rename(temporary, output)) {
        QTextStream(stderr) << "make_display_picture: cannot write " << output << '\n';
        return 1;
    }
    return 0;
}
