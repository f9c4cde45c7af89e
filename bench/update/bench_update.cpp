// A whole download over the loopback, in memory: time per file and the most the received
// buffer held, with and without a length header.
#include "LoopbackHttpServer.h"
#include "update/Downloader.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>

using namespace tavlo;

static void BM_Download(benchmark::State &state)
{
    const qint64 size = state.range(0) << 20;
    test::LoopbackHttpServer server;
    server.routes.insert(QStringLiteral("/file"), test::Route{.body = QByteArray(size, 'x'), .withLength = state.range(1) != 0});
    Downloader downloader;
    downloader.setSizeLimit(size);
    QEventLoop loop;
    QObject::connect(&downloader, &Downloader::completed, &loop, &QEventLoop::quit);
    QObject::connect(&downloader, &Downloader::failed, &loop, &QEventLoop::quit);
    for (auto _ : state) {
        downloader.start(server.root() + QStringLiteral("/file"));
        loop.exec();
        if (downloader.byteCount() != size)
            state.SkipWithError("download failed");
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["peak_buffer_MiB"] = double(downloader.peakBufferSize()) / (1 << 20);
}
BENCHMARK(BM_Download)->ArgsProduct({{1, 32}, {0, 1}})->ArgNames({"MiB", "length"})->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
