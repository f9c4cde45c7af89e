#include "core/Connection.h"
#include "core/DbTask.h"
#include "core/Recordset.h"
#include "core/StoreError.h"
#include "core/StoreFailure.h"
#include "TestPlatform.h"
#include "core/WindowState.h"

#include <QtTest>

using namespace tavlo;
using tavlo::test::TestPlatform;

namespace {

struct Store {
    TestPlatform t;
    WindowState state;
    Store()
    {
        t.addEmptyDatabase();
        state.DatabasePath = t.path(QStringLiteral("TAVLO.mdb"));
        TestPlatform::seed(state.DatabasePath, {{QStringLiteral("G0"), {}}, {QStringLiteral("G1"), {}}, {QStringLiteral("G2"), {}}});
    }
    QStringList rows(const QString &sql) const { return TestPlatform::rows(state.DatabasePath, sql); }
    Recordset &open(const QString &statement)
    {
        if (!state.Conn.isOpen())
            dbTask("open", state);
        openStatement(state.MainRecordset, statement, state);
        return state.MainRecordset;
    }
};

} // namespace

class TestStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dbTaskModes_data()
    {
        QTest::addColumn<QString>("task");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("afterwards");
        QTest::newRow("empty becomes open") << "" << true << "open";
        QTest::newRow("Open") << "Open" << true << "Open";
        QTest::newRow("OPEN") << "OPEN" << true << "OPEN";
        QTest::newRow("other word") << "reopen" << false << "reopen";
    }

    void dbTaskModes()
    {
        QFETCH(QString, task);
        QFETCH(bool, opens);
        QFETCH(QString, afterwards);
        TestPlatform t;
        QDir(t.platform.programFolder).mkdir(QStringLiteral("with spaces"));
        t.addEmptyDatabase(QStringLiteral("with spaces/TAVLO.mdb"));
        WindowState state;
        state.DatabasePath = t.path(QStringLiteral("with spaces/TAVLO.mdb"));
        dbTask(task, state);
        QCOMPARE(task, afterwards);
        QCOMPARE(state.Conn.isOpen(), opens);
        if (opens) // the path stands in the connection string as it is, spaces and all
            QCOMPARE(state.Conn.connectionString(),
                     QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + state.DatabasePath + QLatin1Char(';'));
        QString close = QStringLiteral("CLOSE");
        dbTask(close, state);
        QVERIFY(!state.Conn.isOpen());
    }

    void addKnowsIdBeforeUpdateAndLeavesNoTraceWithout()
    {
        Store s;
        Recordset &rs = s.open(QStringLiteral("Select * From lists"));
        rs.AddNew();
        QCOMPARE(rs.Fields(QStringLiteral("id")).Value().toInt(), 4);
        rs.Fields(QStringLiteral("list_name")) = QStringLiteral("ghost");
        rs.Close();
        rs.Open(QStringLiteral("Select * From lists"), s.state.Conn);
        rs.AddNew();
        QCOMPARE(rs.value(QStringLiteral("id")).toInt(), 4);
        rs.Fields(QStringLiteral("list_name")) = QStringLiteral("Stud");
        rs.Fields(QStringLiteral("listbox_order")) = 3;
        rs.Update();
        rs.Close();
        dbTask("close", s.state);
        QCOMPARE(s.rows(QStringLiteral("select id, list_name, listbox_order from lists where id > 3")), QStringList{"4|Stud|3"});
    }

    void staticCursorKeepsRowsAsOpened()
    {
        Store s;
        Recordset &rs = s.open(QStringLiteral("Select * From lists Order By listbox_order"));
        QCOMPARE(s.state.SqlText, QStringLiteral("Select * From lists Order By listbox_order"));
        QStringList seen;
        // Deleting while scanning, as the delete-all commands do, visits every row once.
        while (!rs.Eof()) {
            seen << rs.value(QStringLiteral("list_name")).toString();
            rs.Delete();
            rs.MoveNext();
        }
        QCOMPARE(seen, QStringList({"G0", "G1", "G2"}));
        QCOMPARE(rs.RecordCount(), 3);
        QVERIFY_THROWS_EXCEPTION(StoreError, rs.MoveNext());
        rs.Close();
        // An empty result is at its end at once.
        s.open(QStringLiteral("Select * From lists Order By listbox_order"));
        QVERIFY(rs.Eof());
        rs.Close();
        dbTask("close", s.state);
        QVERIFY(s.rows(QStringLiteral("select * from lists")).isEmpty());
    }

    void bracketRollsBackOnFailure()
    {
        Store s;
        const bool completed = runGuarded(s.state, s.t.platform, [&] {
            Recordset &rs = s.open(QStringLiteral("Select * From lists Where id=1"));
            rs.Fields(QStringLiteral("list_name")) = QStringLiteral("renamed");
            rs.Update();
            rs.Close();
            s.open(QStringLiteral("Select * From no_such_table"));
        });
        QVERIFY(!completed);
        QVERIFY(!s.state.Conn.isOpen());
        QVERIFY(s.t.ending.ended());
        QCOMPARE(s.t.messages.shown.size(), 1);
        QCOMPARE(s.t.messages.shown[0].style, 16);
        QCOMPARE(s.t.messages.shown[0].title, QStringLiteral("TAVLO"));
        QVERIFY2(s.t.messages.shown[0].text.contains(QStringLiteral("no such table")), qPrintable(s.t.messages.shown[0].text));
        QCOMPARE(s.rows(QStringLiteral("select list_name from lists where id = 1")), QStringList{"G2"}); // seeded last first
    }

    void brokenFilesFailWithDriverWords_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("words");
        QTest::newRow("not a database") << QByteArray(4096, 'x') << "not a database";
        QTest::newRow("database without the tables") << QByteArray() << "no such table";
    }

    void brokenFilesFailWithDriverWords()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, words);
        TestPlatform t;
        t.writeFile(QStringLiteral("TAVLO.mdb"), content);
        WindowState state;
        state.DatabasePath = t.path(QStringLiteral("TAVLO.mdb"));
        QVERIFY(!runGuarded(state, t.platform, [&] {
            dbTask("open", state);
            openStatement(state.MainRecordset, QStringLiteral("Select * From lists Order By listbox_order"), state);
        }));
        QVERIFY(t.ending.ended());
        QVERIFY2(t.messages.shown.value(0).text.contains(words), qPrintable(t.messages.shown.value(0).text));
        QCOMPARE(t.readFile(QStringLiteral("TAVLO.mdb")), content);
    }

    void missingFileIsNotCreated()
    {
        TestPlatform t;
        WindowState state;
        state.DatabasePath = t.path(QStringLiteral("nothing.mdb"));
        QVERIFY_THROWS_EXCEPTION(StoreError, dbTask("open", state));
        QVERIFY(!QFileInfo::exists(state.DatabasePath));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
