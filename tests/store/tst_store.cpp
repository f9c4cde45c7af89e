#include "FullFileSystem.h"
#include "TestPlatform.h"

#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/WaitingListStore.h"

#include <QFile>
#include <QTest>

#include <functional>

using namespace tavlo;
using tavlo::test::TestPlatform;

namespace {

// A database with three games (ids 1 Stud, 2 Omaha, 3 Poker, in the order Poker, Omaha, Stud),
// Stud's one player (id 1) and Poker's five (ids 2 to 6 in reverse), as the seeding writes them.
struct SeededStore {
    TestPlatform t;
    QString path;
    WaitingListStore store;

    SeededStore()
        : path(t.path(QStringLiteral("TAVLO.mdb")))
        , store(path)
    {
        t.addEmptyDatabase();
        TestPlatform::seed(path, {{QStringLiteral("Poker"), {"Anna", "Ben<star>", "Carl", "Dee", "Eve"}},
                                  {QStringLiteral("Omaha"), {}},
                                  {QStringLiteral("Stud"), {"Zed"}}});
        store.open();
    }
    QStringList rows(const QString &sql) const { return TestPlatform::rows(path, sql); }
    QStringList games() const { return rows(QStringLiteral("select id, list_name, listbox_order from lists order by listbox_order, id")); }
};

using Command = std::function<void(WaitingListStore::Change &)>;

// Runs one change and commits it.
void change(WaitingListStore &store, const Command &command)
{
    WaitingListStore::Change change(store);
    command(change);
    change.commit();
}

} // namespace

class TestStore : public QObject {
    Q_OBJECT
private slots:
    // Ids are never used twice, not even after the last row is deleted.
    void idsAreNeverReused()
    {
        SeededStore s;
        change(s.store, [](WaitingListStore::Change &c) {
            c.deleteGame(3);
            c.deleteGame(2);
            c.deleteGame(1);
        });
        change(s.store, [](WaitingListStore::Change &c) {
            QCOMPARE(c.addGame(QStringLiteral("New")), 4);
            QCOMPARE(c.addPlayer(4, QStringLiteral("Ann"), {}).player.id, 7);
        });
    }

    // A file whose positions have gaps or repeats is mended by the next command on that list.
    void gapsAreMended()
    {
        SeededStore s;
        s.rows(QStringLiteral("update list_content set listbox_order = listbox_order * 3 where list_id = 3"));
        s.rows(QStringLiteral("update lists set listbox_order = 7 where id = 2"));
        change(s.store, [](WaitingListStore::Change &c) { c.addPlayer(3, QStringLiteral("Fay"), {}); });
        QCOMPARE(s.rows(QStringLiteral("select listbox_order from list_content where list_id = 3 order by listbox_order")),
                 QStringList({"0", "1", "2", "3", "4", "5"}));
        change(s.store, [](WaitingListStore::Change &c) { c.addGame(QStringLiteral("Razz")); });
        QCOMPARE(s.games(), QStringList({"3|Poker|0", "1|Stud|1", "2|Omaha|2", "4|Razz|3"}));

        // Broken again by another writer after this store found it whole, and mended in a change
        // that then failed: each time the next change mends it.
        const QString order = QStringLiteral("select listbox_order from list_content where list_id = 3 order by listbox_order");
        const qint64 fay = s.rows(QStringLiteral("select id from list_content where player_name = 'Fay'")).value(0).toLongLong();
        for (const bool failing : {false, true}) {
            s.rows(QStringLiteral("update list_content set listbox_order = 9 where list_id = 3"));
            if (failing) {
                QVERIFY_THROWS_EXCEPTION(StoreError, change(s.store, [](WaitingListStore::Change &c) {
                    c.addPlayer(3, QStringLiteral("Gus"), {});
                    c.renameGame(99, QStringLiteral("gone"));
                }));
                QCOMPARE(s.rows(order), QStringList(6, QStringLiteral("9")));
            }
            change(s.store, [fay](WaitingListStore::Change &c) { c.movePlayerTo(3, fay, 0); });
            QCOMPARE(s.rows(order), QStringList({"0", "1", "2", "3", "4", "5"}));
        }
    }

    void namedRowsThatAreGone()
    {
        SeededStore s;
        const auto kindOf = [&](const Command &command) {
            try {
                change(s.store, command);
            } catch (const StoreError &error) {
                return error.kind();
            }
            return StoreError::Kind(-1);
        };
        QCOMPARE(kindOf([](WaitingListStore::Change &c) { c.renameGame(99, QStringLiteral("x")); }), StoreError::Kind::Gone);
        QCOMPARE(kindOf([](WaitingListStore::Change &c) { c.addPlayer(99, QStringLiteral("x"), {}); }), StoreError::Kind::Gone);
        QCOMPARE(kindOf([](WaitingListStore::Change &c) { c.updatePlayer(99, QStringLiteral("x")); }), StoreError::Kind::Gone);
        QCOMPARE(kindOf([](WaitingListStore::Change &c) { c.movePlayerTo(3, 99, 1); }), StoreError::Kind::Gone);
        QCOMPARE(kindOf([](WaitingListStore::Change &c) { c.moveGameTo(99, 1); }), StoreError::Kind::Gone);
        QCOMPARE(s.rows(QStringLiteral("select count(*) from list_content")), QStringList{"6"});
    }

    // What a change took away comes back as it was: ids, names, times and places.
    void restoringRows()
    {
        SeededStore s;
        const QDateTime added(QDate(2026, 12, 6), QTime(20, 15, 1, 250), Qt::UTC);
        QList<PlacedPlayer> taken;
        change(s.store, [&](WaitingListStore::Change &c) {
            c.addPlayer(1, QStringLiteral("Yul<blink>"), added);
            taken = c.deleteGame(1);
            c.deleteGame(2);
        });
        QCOMPARE(taken.size(), 2);
        QCOMPARE(taken[1], (PlacedPlayer{{7, QStringLiteral("Yul<blink>"), added}, 1}));
        change(s.store, [&](WaitingListStore::Change &c) {
            c.insertGameAt(1, QStringLiteral("Stud"), 0);
            c.insertGameAt(2, QStringLiteral("Omaha"), 1);
            for (const PlacedPlayer &placed : taken)
                c.insertPlayerAt(1, placed);
        });
        QCOMPARE(s.games(), QStringList({"1|Stud|0", "2|Omaha|1", "3|Poker|2"}));
        QCOMPARE(s.rows(QStringLiteral("select id, player_name, listbox_order, added_at from list_content where list_id = 1 order by listbox_order")),
                 QStringList({"1|Zed|0|", "7|Yul<blink>|1|2026-12-06T20:15:01.250Z"}));
        QCOMPARE(s.store.readRoom()[0].players[1].addedAt, added);
    }

    void journalAndHistory()
    {
        SeededStore s;
        JournalRecord entry{0, QDateTime(QDate(2026, 12, 6), QTime(21, 0), Qt::UTC), QStringLiteral("desk 1"),
                            QStringLiteral("add player"), 3, 6, QStringLiteral("Poker"), QStringLiteral("Anna"), "{\"position\":0}", false,
                            QStringLiteral("id 1")};
        qint64 first = 0, second = 0, third = 0;
        change(s.store, [&](WaitingListStore::Change &c) {
            first = c.record(entry);
            second = c.record(entry);
            JournalRecord other = entry;
            other.deskId = QStringLiteral("id 2");
            third = c.record(other);
        });
        change(s.store, [&](WaitingListStore::Change &c) {
            c.setReverted(second, true, entry.madeAt.addSecs(5));
            c.retire({first});
        });
        // A desk sees its own changes that are still in the history, oldest first.
        QList<JournalRecord> history = s.store.history(QStringLiteral("id 1"));
        QCOMPARE(history.size(), 1);
        entry.id = second;
        entry.reverted = true;
        QCOMPARE(history[0], entry);
        QCOMPARE(s.store.history(QStringLiteral("id 2")).value(0).id, third);
        // Every change stays in the journal, retired or not.
        QCOMPARE(s.rows(QStringLiteral("select count(*) from journal")), QStringList{"3"});
    }

    // A file from before the journal is brought up to date in place, its rows untouched; a file
    // that cannot be upgraded fails like any other store failure and stays as it was.
    void upgradeFromTheFirstLayout()
    {
        TestPlatform t;
        const QString path = t.path(QStringLiteral("old.mdb"));
        QCOMPARE(createEmptyDatabase(path, SchemaVersion::First), QString());
        TestPlatform::seed(path, {{QStringLiteral("Poker"), {"Anna<star>", "Ben"}}});
        const QStringList before = TestPlatform::rows(path, QStringLiteral("select * from list_content order by id"));
        {
            WaitingListStore store(path);
            store.open();
            const QList<GameRecord> room = store.readRoom();
            QCOMPARE(room[0].players.size(), 2);
            QVERIFY(!room[0].players[0].addedAt.isValid());
        }
        QStringList after;
        for (const QString &row : TestPlatform::rows(path, QStringLiteral("select * from list_content order by id")))
            after << row.chopped(5); // the new columns, empty
        QCOMPARE(after, before);
        QCOMPARE(TestPlatform::rows(path, QStringLiteral("select count(*) from journal")), QStringList{"0"});

        test::FullFileSystem disk;
        if (!disk.isMounted())
            QSKIP("a read-only file system needs root");
        const QString locked = disk.path(QStringLiteral("locked.mdb"));
        QCOMPARE(createEmptyDatabase(locked, SchemaVersion::First), QString());
        QVERIFY(disk.makeReadOnly());
        QFile file(locked);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        WaitingListStore store(locked);
        try {
            store.open();
            QFAIL("a read-only file was upgraded");
        } catch (const StoreError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("Cannot upgrade")), qPrintable(error.message()));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }

    // Every older file, and a current one with the index that held the lists' order, ends up
    // finding a list's rows by the list alone, its order intact; a read-only file still opens.
    void listsIndexFollowsTheList_data()
    {
        QTest::addColumn<SchemaVersion>("version");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("first") << SchemaVersion::First << false;
        QTest::newRow("journal") << SchemaVersion::Journal << false;
        QTest::newRow("desk ids") << SchemaVersion::DeskIds << false;
        QTest::newRow("floor") << SchemaVersion::Floor << false;
        QTest::newRow("floor, read-only") << SchemaVersion::Floor << true;
    }

    void listsIndexFollowsTheList()
    {
        QFETCH(SchemaVersion, version);
        QFETCH(bool, readOnly);
        TestPlatform t;
        test::FullFileSystem disk;
        if (readOnly && !disk.isMounted())
            QSKIP("a read-only file system needs root");
        const QString path = readOnly ? disk.path(QStringLiteral("old.mdb")) : t.path(QStringLiteral("old.mdb"));
        QCOMPARE(createEmptyDatabase(path, version), QString());
        TestPlatform::seed(path, {{QStringLiteral("Poker"), {"Ann", "Ben", "Cleo"}}});
        const QString indexes = QStringLiteral("select sql from sqlite_master where name like 'list_content_by_%' order by name");
        if (version == SchemaVersion::Floor) {
            for (const char *statement : {"drop index list_content_by_list", "drop index list_content_by_person",
                                          "create index list_content_by_list on list_content (list_id, listbox_order)",
                                          "create index list_content_by_person on list_content (person_id)"})
                TestPlatform::rows(path, QLatin1String(statement));
        }
        if (readOnly)
            QVERIFY(disk.makeReadOnly());
        WaitingListStore store(path);
        store.open();
        QCOMPARE(store.readRoom().value(0).players.size(), 3);
        if (readOnly) {
            QVERIFY(TestPlatform::rows(path, indexes).value(0).contains(QLatin1String("listbox_order")));
            return;
        }
        QCOMPARE(TestPlatform::rows(path, indexes),
                 QStringList({"CREATE INDEX list_content_by_list ON list_content (list_id)",
                              "CREATE INDEX list_content_by_person ON list_content (person_id) WHERE person_id IS NOT NULL"}));
        const QList<GameRecord> room = store.readRoom();
        change(store, [&](WaitingListStore::Change &c) { c.movePlayerTo(room[0].id, room[0].players[2].id, 0); });
        QCOMPARE(TestPlatform::rows(path, QStringLiteral("select player_name, listbox_order from list_content order by listbox_order")),
                 QStringList({"Cleo|0", "Ann|1", "Ben|2"}));
    }

    // A journal from before installations had identities keeps its rows; the installation that
    // takes over its machine's changes finds them, and no other machine's.
    void upgradeOfAJournalWithoutDeskIds()
    {
        TestPlatform t;
        const QString path = t.path(QStringLiteral("old.mdb"));
        QCOMPARE(createEmptyDatabase(path, SchemaVersion::Journal), QString());
        for (const char *desk : {"kiosk", "bar", "kiosk"})
            TestPlatform::rows(path, QStringLiteral("insert into journal (made_at, desk, command, details) "
                                                    "values ('2026-12-06T21:00:00.000Z', '%1', 'add game', '{}')").arg(QLatin1String(desk)));
        WaitingListStore store(path);
        store.open();
        change(store, [](WaitingListStore::Change &c) { c.adoptHistory(QStringLiteral("kiosk"), QStringLiteral("id 1")); });
        QCOMPARE(TestPlatform::rows(path, QStringLiteral("select desk, desk_id from journal order by id")),
                 QStringList({"kiosk|id 1", "bar|", "kiosk|id 1"}));
    }

    void brokenFilesFailWithTheEnginesWords_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("words");
        QTest::newRow("not a database") << QByteArray(4096, 'x') << "not a database";
        QTest::newRow("database without the tables") << QByteArray() << "no such table";
    }

    void brokenFilesFailWithTheEnginesWords()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, words);
        TestPlatform t;
        t.writeFile(QStringLiteral("TAVLO.mdb"), content);
        WaitingListStore store(t.path(QStringLiteral("TAVLO.mdb")));
        try {
            store.open();
            store.readRoom();
            QFAIL("a broken file opened");
        } catch (const StoreError &error) {
            QVERIFY2(error.message().contains(words), qPrintable(error.message()));
        }
        QCOMPARE(t.readFile(QStringLiteral("TAVLO.mdb")), content);
    }

    void missingFileIsNeverCreated()
    {
        TestPlatform t;
        WaitingListStore store(t.path(QStringLiteral("nothing.mdb")));
        QVERIFY_THROWS_EXCEPTION(StoreError, store.open());
        QVERIFY(!QFileInfo::exists(t.path(QStringLiteral("nothing.mdb"))));

        // A file deleted while the program runs would take the next changes with it, unseen.
        SeededStore s;
        QVERIFY(QFile::remove(s.path));
        QVERIFY_THROWS_EXCEPTION(StoreError, change(s.store, [](WaitingListStore::Change &c) { c.addGame(QStringLiteral("Lost")); }));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
