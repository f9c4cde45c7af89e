#include "Connection.h"
#include "DbTask.h"
#include "Recordset.h"
#include "Schema.h"
#include "StoreError.h"
#include "StoreFailure.h"
#include "TestPlatform.h"
#include "WindowState.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace tavlo;
using tavlo::test::TestPlatform;

class TestStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dbTaskModes_data();
    void dbTaskModes();
    void emptyTaskBecomesOpen();
    void pathWithSpacesIsUsedAsItStands();
    void orderedScanOfEmptyTable();
    void addKnowsIdBeforeUpdate();
    void addedRowNeverUpdatedLeavesNoTrace();
    void namesRoundTripUnchanged_data();
    void namesRoundTripUnchanged();
    void deleteAndRenumber();
    void staticCursorKeepsRowsAsOpened();
    void bracketRollsBackOnFailure();
    void brokenFilesFailWithDriverWords_data();
    void brokenFilesFailWithDriverWords();
    void missingFileIsNotCreated();
};

namespace {

struct Store {
    TestPlatform t;
    WindowState state;
    Store()
    {
        t.addEmptyDatabase();
        state.DatabasePath = t.path(QStringLiteral("TAVLO.mdb"));
    }
    QStringList rows(const QString &sql) { return TestPlatform::rows(state.DatabasePath, sql); }
    void addGame(const QString &name, int order)
    {
        dbTask("open", state);
        openStatement(state.MainRecordset, QStringLiteral("Select * From lists"), state);
        state.MainRecordset.AddNew();
        state.MainRecordset.Fields(QStringLiteral("list_name")) = name;
        state.MainRecordset.Fields(QStringLiteral("listbox_order")) = order;
        state.MainRecordset.Update();
        state.MainRecordset.Close();
        dbTask("close", state);
    }
};

} // namespace

void TestStore::dbTaskModes_data()
{
    QTest::addColumn<QString>("task");
    QTest::addColumn<bool>("opens");
    QTest::newRow("open") << "open" << true;
    QTest::newRow("Open") << "Open" << true;
    QTest::newRow("OPEN") << "OPEN" << true;
    QTest::newRow("other word") << "reopen" << false;
    QTest::newRow("blank") << " " << false;
}

void TestStore::dbTaskModes()
{
    QFETCH(QString, task);
    QFETCH(bool, opens);
    Store s;
    dbTask(task, s.state);
    QCOMPARE(s.state.Conn.isOpen(), opens);
    QString close = QStringLiteral("CLOSE");
    dbTask(close, s.state);
    QVERIFY(!s.state.Conn.isOpen());
}

void TestStore::emptyTaskBecomesOpen()
{
    Store s;
    QString task;
    dbTask(task, s.state);
    QCOMPARE(task, QStringLiteral("open"));
    QVERIFY(s.state.Conn.isOpen());
    QCOMPARE(s.state.Conn.connectionString(),
             QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + s.state.DatabasePath + QLatin1Char(';'));
    dbTask("close", s.state);
}

void TestStore::pathWithSpacesIsUsedAsItStands()
{
    TestPlatform t;
    QDir(t.platform.programFolder).mkdir(QStringLiteral("with spaces"));
    t.addEmptyDatabase(QStringLiteral("with spaces/TAVLO.mdb"));
    WindowState state;
    state.DatabasePath = t.path(QStringLiteral("with spaces/TAVLO.mdb"));
    dbTask("open", state);
    QCOMPARE(Connection::dataSourceOf(state.Conn.connectionString()), state.DatabasePath);
    dbTask("close", state);
}

void TestStore::orderedScanOfEmptyTable()
{
    Store s;
    dbTask("open", s.state);
    openStatement(s.state.MainRecordset, QStringLiteral("Select * From lists Order By listbox_order"), s.state);
    QCOMPARE(s.state.SqlText, QStringLiteral("Select * From lists Order By listbox_order"));
    QVERIFY(s.state.MainRecordset.Eof());
    QCOMPARE(s.state.MainRecordset.RecordCount(), 0);
    s.state.MainRecordset.Close();
    dbTask("close", s.state);
}

void TestStore::addKnowsIdBeforeUpdate()
{
    Store s;
    s.addGame(QStringLiteral("Poker"), 0);
    s.addGame(QStringLiteral("Omaha"), 1);
    dbTask("open", s.state);
    openStatement(s.state.MainRecordset, QStringLiteral("Select * From lists"), s.state);
    QCOMPARE(s.state.MainRecordset.RecordCount(), 2);
    s.state.MainRecordset.AddNew();
    const int id = s.state.MainRecordset.Fields(QStringLiteral("id")).Value().toInt();
    QCOMPARE(id, 3);
    s.state.MainRecordset.Fields(QStringLiteral("listbox_order")) = 2;
    s.state.MainRecordset.Fields(QStringLiteral("list_name")) = QStringLiteral("Stud");
    s.state.MainRecordset.Update();
    s.state.MainRecordset.Close();
    dbTask("close", s.state);
    QCOMPARE(s.rows(QStringLiteral("select id, list_name, listbox_order from lists order by id")),
             QStringList({"1|Poker|0", "2|Omaha|1", "3|Stud|2"}));
}

void TestStore::addedRowNeverUpdatedLeavesNoTrace()
{
    Store s;
    s.addGame(QStringLiteral("Poker"), 0);
    dbTask("open", s.state);
    openStatement(s.state.MainRecordset, QStringLiteral("Select * From lists"), s.state);
    s.state.MainRecordset.AddNew();
    s.state.MainRecordset.Fields(QStringLiteral("list_name")) = QStringLiteral("ghost");
    s.state.MainRecordset.Close();
    dbTask("close", s.state);
    QCOMPARE(s.rows(QStringLiteral("select list_name from lists")), QStringList{"Poker"});
    // Its id was never taken: the next game gets it.
    s.addGame(QStringLiteral("Omaha"), 1);
    QCOMPARE(s.rows(QStringLiteral("select id from lists where list_name = 'Omaha'")), QStringList{"2"});
}

void TestStore::namesRoundTripUnchanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("quote") << "Texas Hold'em";
    QTest::newRow("double quote") << "The \"Big\" Game";
    QTest::newRow("markup") << "A<b>&amp;";
    QTest::newRow("statement text") << "x'); DROP TABLE lists; --";
    QTest::newRow("non-ASCII") << QStringLiteral("Ζωή Ölçü Łódź");
}

void TestStore::namesRoundTripUnchanged()
{
    QFETCH(QString, name);
    Store s;
    s.addGame(name, 0);
    dbTask("open", s.state);
    openStatement(s.state.MainRecordset, QStringLiteral("Select * From lists Where id=1"), s.state);
    QCOMPARE(s.state.MainRecordset.Fields(QStringLiteral("list_name")).Value().toString(), name);
    s.state.MainRecordset.Close();
    dbTask("close", s.state);
}

void TestStore::deleteAndRenumber()
{
    Store s;
    for (int i = 0; i < 3; ++i)
        s.addGame(QStringLiteral("G%1").arg(i), i);
    dbTask("open", s.state);
    openStatement(s.state.MainRecordset, QStringLiteral("Select * From lists Where id=2"), s.state);
    QVERIFY(!s.state.MainRecordset.Eof());
    s.state.MainRecordset.Delete();
    s.state.MainRecordset.Close();
    const int remaining[] = {1, 3};
    for (int i = 0; i < 2; ++i) {
        openStatement(s.state.DetailRecordset, QStringLiteral("Select * From lists Where id = %1").arg(remaining[i]), s.state);
        s.state.DetailRecordset.Fields(QStringLiteral("listbox_order")) = i;
        s.state.DetailRecordset.Update();
        s.state.DetailRecordset.Close();
    }
    dbTask("close", s.state);
    QCOMPARE(s.rows(QStringLiteral("select list_name, listbox_order from lists order by listbox_order")),
             QStringList({"G0|0", "G2|1"}));
}

void TestStore::staticCursorKeepsRowsAsOpened()
{
    Store s;
    for (int i = 0; i < 3; ++i)
        s.addGame(QStringLiteral("G%1").arg(i), i);
    dbTask("open", s.state);
    openStatement(s.state.MainRecordset, QStringLiteral("Select * From lists Order By listbox_order"), s.state);
    int seen = 0;
    // Deleting while scanning, as the delete-all commands do, visits every row once.
    while (!s.state.MainRecordset.Eof()) {
        s.state.MainRecordset.Delete();
        s.state.MainRecordset.MoveNext();
        ++seen;
    }
    QCOMPARE(seen, 3);
    QCOMPARE(s.state.MainRecordset.RecordCount(), 3);
    QVERIFY_THROWS_EXCEPTION(StoreError, s.state.MainRecordset.MoveNext());
    s.state.MainRecordset.Close();
    dbTask("close", s.state);
    QVERIFY(s.rows(QStringLiteral("select * from lists")).isEmpty());
}

void TestStore::bracketRollsBackOnFailure()
{
    Store s;
    s.addGame(QStringLiteral("Poker"), 0);
    const bool completed = runGuarded(s.state, s.t.platform, [&] {
        dbTask("open", s.state);
        openStatement(s.state.MainRecordset, QStringLiteral("Select * From lists Where id=1"), s.state);
        s.state.MainRecordset.Fields(QStringLiteral("list_name")) = QStringLiteral("renamed");
        s.state.MainRecordset.Update();
        s.state.MainRecordset.Close();
        openStatement(s.state.MainRecordset, QStringLiteral("Select * From no_such_table"), s.state);
    });
    QVERIFY(!completed);
    QVERIFY(!s.state.Conn.isOpen());
    QVERIFY(s.t.ending.ended());
    QCOMPARE(s.t.messages.shown.size(), 1);
    QCOMPARE(s.t.messages.shown[0].style, 16);
    QCOMPARE(s.t.messages.shown[0].title, QStringLiteral("TAVLO"));
    QVERIFY2(s.t.messages.shown[0].text.contains(QStringLiteral("no such table")), qPrintable(s.t.messages.shown[0].text));
    QCOMPARE(s.rows(QStringLiteral("select list_name from lists")), QStringList{"Poker"});
}

void TestStore::brokenFilesFailWithDriverWords_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("words");
    QTest::newRow("not a database") << QByteArray(4096, 'x') << "not a database";
    QTest::newRow("database without the tables") << QByteArray() << "no such table";
}

void TestStore::brokenFilesFailWithDriverWords()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, words);
    TestPlatform t;
    t.writeFile(QStringLiteral("TAVLO.mdb"), content);
    WindowState state;
    state.DatabasePath = t.path(QStringLiteral("TAVLO.mdb"));
    const bool completed = runGuarded(state, t.platform, [&] {
        dbTask("open", state);
        openStatement(state.MainRecordset, QStringLiteral("Select * From lists Order By listbox_order"), state);
    });
    QVERIFY(!completed);
    QVERIFY(t.ending.ended());
    QVERIFY2(t.messages.shown.value(0).text.contains(words), qPrintable(t.messages.shown.value(0).text));
    QCOMPARE(t.readFile(QStringLiteral("TAVLO.mdb")), content);
}

void TestStore::missingFileIsNotCreated()
{
    TestPlatform t;
    WindowState state;
    state.DatabasePath = t.path(QStringLiteral("nothing.mdb"));
    QVERIFY_THROWS_EXCEPTION(StoreError, dbTask("open", state));
    QVERIFY(!QFileInfo::exists(state.DatabasePath));
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
