#include "ConsoleFixture.h"

#include "base/Language.h"
#include "update/UpgradeDialog.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

using namespace tavlo;
using namespace tavlo::test;

class TestLanguages : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { installTranslations(QStringLiteral("en")); }

    // The setting wins when it names a language there is; otherwise the system's first one there is.
    void choice()
    {
        const struct { const char *setting, *system, *chosen; } rows[] = {
            {"", "de_AT", "de"}, {"", "fr_FR", "en"}, {"es", "de_DE", "es"}, {"German", "es_ES", "de"},
            {"de_CH", "C", "de"}, {" EN ", "es_ES", "en"}, {"fr", "es_MX", "es"}, {"Klingon?", "C", "en"}};
        for (const auto &row : rows)
            QVERIFY2(chooseLanguage(QLatin1String(row.setting), QLocale(QLatin1String(row.system))) == QLatin1String(row.chosen),
                     row.setting);
    }

    // Each language's texts fit the fixed places of the console and the upgrade window, and are its own.
    void consoleFits_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("heading");
        QTest::newRow("English") << "en" << " Games";
        QTest::newRow("German") << "de" << " Spiele";
        QTest::newRow("Spanish") << "es" << " Partidas";
    }
    void consoleFits()
    {
        QFETCH(QString, language);
        QFETCH(QString, heading);
        QVERIFY(installTranslations(language));
        ConsoleFixture c({{QStringLiteral("Poker"), {"Anna"}}});
        QCOMPARE(c.window().findChild<QLabel *>(QStringLiteral("gamesHeading"))->text(), heading);
        UpgradeDialog upgrade(c.t.platform, UpdateSettings(), QStringLiteral("1.0.2"));
        int checked = 0;
        for (QWidget *widget : c.window().findChildren<QWidget *>() + upgrade.findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(widget);
            const auto *button = qobject_cast<QAbstractButton *>(widget);
            const QString text = label ? label->text() : button ? button->text().remove(u'&') : QString();
            if (text.isEmpty() || !widget->isVisibleTo(widget->window()))
                continue;
            ++checked;
            QVERIFY2(widget->fontMetrics().horizontalAdvance(text) <= widget->contentsRect().width(),
                     qPrintable(widget->objectName() + ": " + text));
        }
        QVERIFY(checked >= 10);
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
