// The phones' page under load: 200 phones on the loopback, each asking for the whole board
// every 5 seconds (a new connection each time, never "not modified": the worst case), from a
// viewer started as its own process on a room of 20 games of 130 players. Reports the viewer's
// CPU (all its threads, from /proc) with and without the phones, and the answers' latency.
// The load goes to the loopback only and stops by itself after TAVLO_BENCH_SECONDS (25).
// Run: bench/bench_phones
#include "base/TextFile.h"
#include "board/BoardFile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace tavlo;

namespace {

constexpr int kPhones = 200;
constexpr int kIntervalMs = 5000;

BoardSnapshot busyRoom()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    BoardSnapshot board;
    board.writtenAt = now;
    board.changedAt = now;
    for (int g = 1; g <= 20; ++g) {
        WaitingGame game{QStringLiteral("Game %1").arg(g), {}, QString()};
        for (int p = 1; p <= 130; ++p)
            game.players.append({QStringLiteral("Player%1 Name%2").arg(g).arg(p), {p % 7 == 0, p % 5 == 0, p % 11 == 0},
                                 now.addSecs(-30 * p)});
        board.games.append(game);
    }
    return board;
}

// Seconds of CPU a process has used, all its threads.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // utime and stime are fields 14 and 15, counting the pid as 1: 12 and 13 after the name.
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

void wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// One phone: every interval a new connection, a GET of the board, the whole answer read.
class Phone : public QObject {
public:
    // Each phone from an address of its own on the loopback (127.0.1.x), as phones in a room
    // come from addresses of their own.
    Phone(quint16 port, const QHostAddress &from, std::vector<double> &latencies)
        : m_port(port)
        , m_from(from)
        , m_latencies(latencies)
    {
    }

    void ask()
    {
        m_socket = std::make_unique<QTcpSocket>();
        m_received = 0;
        m_expected = -1;
        m_head.clear();
        m_clock.start();
        connect(m_socket.get(), &QTcpSocket::connected, this, [this] {
            m_socket->write("GET /board.json HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept-Encoding: identity\r\n\r\n");
        });
        connect(m_socket.get(), &QTcpSocket::readyRead, this, [this] { read(); });
        connect(m_socket.get(), &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
            if (error != QAbstractSocket::RemoteHostClosedError)
                ++failures;
        });
        m_socket->bind(m_from);
        m_socket->connectToHost(QHostAddress::LocalHost, m_port);
    }
    int failures = 0;

private:
    void read()
    {
        const QByteArray bytes = m_socket->readAll();
        if (m_expected < 0) {
            m_head += bytes;
            const qsizetype end = m_head.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            if (!m_head.startsWith("HTTP/1.1 200")) {
                ++failures;
                m_socket->abort();
                return;
            }
            const qsizetype at = m_head.toLower().indexOf("content-length:");
            m_expected = m_head.mid(at + 15, m_head.indexOf('\r', at) - at - 15).trimmed().toLongLong();
            m_received = m_head.size() - end - 4;
        } else {
            m_received += bytes.size();
        }
        if (m_received >= m_expected) {
            m_latencies.push_back(double(m_clock.nsecsElapsed()) / 1e6);
            m_socket->disconnectFromHost();
        }
    }

    quint16 m_port;
    QHostAddress m_from;
    std::vector<double> &m_latencies;
    std::unique_ptr<QTcpSocket> m_socket;
    QElapsedTimer m_clock;
    QByteArray m_head;
    qint64 m_expected = -1;
    qint64 m_received = 0;
};

void BM_TwoHundredPhones(benchmark::State &state)
{
    const int seconds = qEnvironmentVariableIsSet("TAVLO_BENCH_SECONDS") ? qEnvironmentVariableIntValue("TAVLO_BENCH_SECONDS") : 25;
    QTemporaryDir folder;
    if (!writeFileAtomically(folder.filePath(BoardFileName), encodeBoardFile(busyRoom())).isEmpty()) {
        state.SkipWithError("cannot write the board file");
        return;
    }
    const quint16 port = freePort();
    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    viewer.setProcessEnvironment(environment);
    viewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    viewer.start(QStringLiteral(TAVLO_BUILT_PROGRAM_FOLDER "/TAVLO-Display"),
                 {QStringLiteral("--display-folder"), folder.path(), QStringLiteral("--web-port"), QString::number(port),
                  QStringLiteral("--web-address"), QStringLiteral("127.0.0.1"), QStringLiteral("--settings"),
                  QStringLiteral("/dev/null")});
    if (!viewer.waitForStarted(5000)) {
        state.SkipWithError("the viewer did not start");
        return;
    }
    // Ready when it serves the room.
    QDeadlineTimer ready(15000);
    for (bool served = false; !served && !ready.hasExpired();) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(500)) {
            probe.write("GET /board.json HTTP/1.1\r\nHost: x\r\n\r\n");
            QByteArray got;
            while (probe.waitForReadyRead(500))
                got += probe.readAll();
            served = got.contains("\"Game 20\"");
        }
        if (!served)
            QThread::msleep(200);
    }
    if (ready.hasExpired()) {
        state.SkipWithError("the viewer never served the room");
        return;
    }

    const qint64 pid = viewer.processId();
    // The viewer by itself first: the TV painting the room, no phones.
    const double idleStart = cpuSeconds(pid);
    QElapsedTimer idle;
    idle.start();
    wait(5000);
    const double idleShare = (cpuSeconds(pid) - idleStart) / (double(idle.nsecsElapsed()) / 1e9);

    std::vector<double> latencies;
    latencies.reserve(size_t(kPhones * (seconds / 5 + 2)));
    std::vector<std::unique_ptr<Phone>> phones;
    std::vector<std::unique_ptr<QTimer>> timers;
    for (int i = 0; i < kPhones; ++i) {
        phones.push_back(std::make_unique<Phone>(port, QHostAddress(quint32((127u << 24) | (1u << 8) | quint32(i + 1))), latencies));
        auto timer = std::make_unique<QTimer>();
        timer->setInterval(kIntervalMs);
        Phone *phone = phones.back().get();
        QObject::connect(timer.get(), &QTimer::timeout, phone, [phone] { phone->ask(); });
        // Spread over the interval, as phones that opened the page at different moments.
        QTimer::singleShot(i * kIntervalMs / kPhones, timer.get(), [phone, t = timer.get()] {
            phone->ask();
            t->start();
        });
        timers.push_back(std::move(timer));
    }
    const double loadStart = cpuSeconds(pid);
    QElapsedTimer load;
    load.start();
    for (auto _ : state) {
        wait(seconds * 1000);
    }
    const double loadShare = (cpuSeconds(pid) - loadStart) / (double(load.nsecsElapsed()) / 1e9);
    timers.clear();
    QCoreApplication::processEvents();

    std::sort(latencies.begin(), latencies.end());
    auto percentile = [&](double p) {
        return latencies.empty() ? 0.0 : latencies[std::min(latencies.size() - 1, size_t(p * double(latencies.size())))];
    };
    int failures = 0;
    for (const auto &phone : phones)
        failures += phone->failures;
    state.counters["answers"] = double(latencies.size());
    state.counters["failures"] = failures;
    state.counters["viewer_cpu_idle_pct"] = idleShare * 100;
    state.counters["viewer_cpu_phones_pct"] = loadShare * 100;
    state.counters["phones_cost_pct"] = (loadShare - idleShare) * 100;
    state.counters["p50_ms"] = percentile(0.50);
    state.counters["p99_ms"] = percentile(0.99);
    state.counters["max_ms"] = latencies.empty() ? 0 : latencies.back();
    phones.clear();
    viewer.terminate();
    if (!viewer.waitForFinished(5000))
        viewer.kill();
}
BENCHMARK(BM_TwoHundredPhones)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
