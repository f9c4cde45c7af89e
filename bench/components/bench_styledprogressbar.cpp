// One full redraw of a 265 x 17 bar in each style, with and without the caption: through a
// painter, as the widget paints itself (into its kept image, then copied), and straight into
// an image.
#include "components/StyledProgressBar.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace tavlo;

namespace {

void setUp(StyledProgressBar &bar, const benchmark::State &state)
{
    bar.resize(265, 17);
    bar.setColor(QColor(44, 132, 190));
    bar.setScrolling(StyledProgressBar::BarStyle(state.range(0)));
    bar.setShowText(state.range(1) != 0);
    bar.setBrushStyle(StyledProgressBar::CrossHatch);
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::darkCyan);
    bar.setImage(tile);
    (void)bar.setValue(57);
}

void BM_PaintThroughPainter(benchmark::State &state)
{
    StyledProgressBar bar;
    setUp(bar, state);
    QImage screen(265, 17, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&screen);
    for (auto _ : state) {
        bar.paint(painter, bar.rect());
        benchmark::ClobberMemory();
    }
}

void BM_PaintIntoImage(benchmark::State &state)
{
    StyledProgressBar bar;
    setUp(bar, state);
    QImage image(265, 17, QImage::Format_RGB32);
    for (auto _ : state) {
        bar.paint(image, image.rect());
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(BM_PaintThroughPainter)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 9, 1), {0, 1}})
    ->ArgNames({"style", "caption"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintIntoImage)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 9, 1), {0, 1}})
    ->ArgNames({"style", "caption"})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
