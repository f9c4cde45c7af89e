// How long the console's commands take in a busy room, against the floor of one SQLite
// transaction writing one row plus writing the fragment's bytes with a rename.
#include "platform/Connectivity.h"
#include "core/DisplayWriter.h"
#include "app/Form1.h"
#include "console/GamesPanel.h"
#include "platform/MessageBox.h"
#include "platform/Platform.h"
#include "console/PlayersPanel.h"
#include "platform/ProcessEnd.h"
#include "core/Schema.h"
#include "base/TextFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

class SilentBox final : public tavlo::MessageBox {
public:
    int show(const QString &, int style, const QString &) override { return (style & 0x0F) == YesNo ? Yes : Ok; }
};
class NoEnd final : public tavlo::ProcessEnd {
public:
    void endNow(int) override { std::abort(); }
};
class Offline final : public tavlo::Connectivity {
public:
    bool isOnline() override { return false; }
};

struct Room {
    QTemporaryDir dir;
    SilentBox box;
    NoEnd end;
    Offline offline;
    tavlo::Platform platform;
    std::unique_ptr<tavlo::Form1> form;

    Room(int games, int players)
    {
        platform = {&box, &end, &offline, dir.path()};
        const QString db = dir.filePath(QStringLiteral("TAVLO.mdb"));
        tavlo::createEmptyDatabase(db);
        {
            QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
            c.setDatabaseName(db);
            c.open();
            c.transaction();
            QSqlQuery q(c);
            for (int g = 0; g < games; ++g) {
                q.exec(QStringLiteral("insert into lists (list_name, listbox_order) values ('Game %1', %1)").arg(g));
                const qlonglong id = q.lastInsertId().toLongLong();
                for (int p = 0; p < players; ++p)
                    q.exec(QStringLiteral("insert into list_content (list_id, player_name, player_number, player_phone, listbox_order) "
                                          "values (%1, 'Player %2<star>', 0, '', %2)").arg(id).arg(p));
            }
            c.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("seed"));
        QFile ini(dir.filePath(QStringLiteral("TAVLO.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write(("DataBase=" + db + "\r\nFilePath=" + dir.path() + "/\r\n").toUtf8());
        ini.close();
        form = std::make_unique<tavlo::Form1>(platform);
        form->Form_Load();
    }
};

void BM_CreateHTML(benchmark::State &state)
{
    Room room(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        tavlo::CreateHTML(room.form->state(), room.platform.programFolder);
    state.counters["rows"] = static_cast<double>(state.range(0) * state.range(1));
}

void BM_GameSave(benchmark::State &state)
{
    Room room(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    tavlo::GamesPanel &games = *room.form->Frame1;
    games.select(5);
    int n = 0;
    for (auto _ : state) {
        games.txtLists->setText(QStringLiteral("Renamed %1").arg(n++));
        games.cmdListsOk_Click();
    }
}

void BM_PlayerSave(benchmark::State &state)
{
    Room room(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    tavlo::PlayersPanel &players = *room.form->Frame2;
    players.select(3);
    int n = 0;
    for (auto _ : state) {
        players.txtPlayers->setText(QStringLiteral("Renamed %1").arg(n++));
        players.cmdPlayersOk_Click();
    }
}

void BM_PlayerTop(benchmark::State &state)
{
    Room room(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    tavlo::PlayersPanel &players = *room.form->Frame2;
    for (auto _ : state) {
        players.select(players.List2->count() - 1);
        players.cmdPlayersTop_Click();
    }
}

// The floor: one transaction writing one row, and the same number of fragment bytes written
// to a temporary file that is then renamed over the old one.
void BM_Floor(benchmark::State &state)
{
    Room room(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    tavlo::CreateHTML(room.form->state(), room.platform.programFolder);
    QFile fragment(room.dir.filePath(QStringLiteral("TAVLO-Display.txt")));
    fragment.open(QIODevice::ReadOnly);
    const QByteArray bytes = fragment.readAll();
    fragment.close();
    QSqlDatabase c = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
    c.setDatabaseName(room.dir.filePath(QStringLiteral("TAVLO.mdb")));
    c.open();
    int n = 0;
    for (auto _ : state) {
        c.transaction();
        QSqlQuery q(c);
        q.prepare(QStringLiteral("update lists set list_name = ? where id = 1"));
        q.addBindValue(QStringLiteral("Floor %1").arg(n++));
        q.exec();
        c.commit();
        tavlo::writeFileAtomically(room.dir.filePath(QStringLiteral("floor.txt")), bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

BENCHMARK(BM_Floor)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_CreateHTML)->Args({20, 130})->Args({200, 200})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GameSave)->Args({20, 130})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerSave)->Args({20, 130})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerTop)->Args({20, 130})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
