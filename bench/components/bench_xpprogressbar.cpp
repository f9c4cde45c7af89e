// One full redraw of a 265 x 17 bar in each style, into the bar's own buffer.
#include "components/XP_ProgressBar.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using namespace tavlo;

static void BM_Redraw(benchmark::State &state)
{
    XP_ProgressBar bar;
    bar.resize(265, 17);
    bar.setHdc(0);
    bar.setColor(RGB(44, 132, 190));
    bar.setScrolling(int(state.range(0)));
    bar.setShowText(state.range(1) != 0);
    bar.setBrushStyle(4);
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::darkCyan);
    bar.setImage(tile);
    (void)bar.setValue(57);
    for (auto _ : state) {
        bar.DrawProgressBar();
        benchmark::DoNotOptimize(bar.hdc());
    }
}
BENCHMARK(BM_Redraw)->ArgsProduct({benchmark::CreateDenseRange(0, 9, 1), {0, 1}})->ArgNames({"style", "caption"})->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
