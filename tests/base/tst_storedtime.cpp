#include "base/StoredTime.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tavlo;

// The hand-made form must be Qt's ISO form with milliseconds, both ways, for any time and text.
class TestStoredTime : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textIsQtsForm()
    {
        QRandomGenerator random(20261208);
        const qint64 year1 = QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        const qint64 year10000 = QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        QList<QDateTime> times{QDateTime(), QDateTime::fromMSecsSinceEpoch(0, Qt::UTC), QDateTime::fromMSecsSinceEpoch(-1, Qt::UTC),
                               QDateTime::fromMSecsSinceEpoch(year1 - 1, Qt::UTC), QDateTime::fromMSecsSinceEpoch(year1, Qt::UTC),
                               QDateTime::fromMSecsSinceEpoch(year10000 - 1, Qt::UTC),
                               QDateTime::fromMSecsSinceEpoch(year10000, Qt::UTC),
                               QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, 999), Qt::UTC),
                               QDateTime(QDate(2026, 12, 8), QTime(4, 5, 6, 7), Qt::OffsetFromUTC, 3600),
                               QDateTime(QDate(2026, 7, 1), QTime(12, 0), Qt::LocalTime)};
        for (int i = 0; i < 20000; ++i)
            times << QDateTime::fromMSecsSinceEpoch(year1 - 86'400'000LL * 800 + qint64(random.bounded(1.0) * double(year10000 - year1 + 86'400'000LL * 1600)),
                                                    Qt::UTC);
        // Denser in the years a room lives in.
        for (int i = 0; i < 20000; ++i)
            times << QDateTime::fromMSecsSinceEpoch(946'684'800'000LL + qint64(random.bounded(1.0) * 3.2e12), Qt::UTC);
        for (const QDateTime &time : times)
            QCOMPARE(storedTimeText(time), time.toUTC().toString(Qt::ISODateWithMs));
    }

    void timeIsQtsReading()
    {
        QRandomGenerator random(8122026);
        QStringList texts{u""_qs, u"2026-12-08T03:11:58.123Z"_qs, u"2024-02-29T23:59:59.999Z"_qs, u"2023-02-29T10:00:00.000Z"_qs,
                          u"2026-12-08T24:00:00.000Z"_qs, u"2026-12-08T03:11:60.000Z"_qs, u"0000-01-01T00:00:00.000Z"_qs,
                          u"2026-12-08T03:11:58.123+01:00"_qs, u"2026-12-08T03:11:58Z"_qs, u"2026-12-08 03:11:58.123Z"_qs,
                          u"2026-13-08T03:11:58.123Z"_qs, u"2026-00-10T03:11:58.123Z"_qs, u"2026-12-08T03:11:58.123"_qs};
        const QString alphabet = u"0123456789-T:.Z +x"_qs;
        for (int i = 0; i < 20000; ++i) {
            QString text = QDateTime::fromMSecsSinceEpoch(qint64(random.bounded(1.0) * 4e14) - qint64(6e13), Qt::UTC)
                                   .toString(Qt::ISODateWithMs);
            // Some left whole, the others with a character changed; Qt has no text for years past 9999.
            if (i % 3 != 0 && !text.isEmpty())
                text[random.bounded(int(text.size()))] = alphabet[random.bounded(int(alphabet.size()))];
            texts << text;
        }
        for (const QString &text : texts) {
            const QDateTime expected = QDateTime::fromString(text, Qt::ISODateWithMs);
            const QDateTime time = storedTime(text);
            QCOMPARE(time.isValid(), expected.isValid());
            if (expected.isValid()) {
                QCOMPARE(time, expected);
                QCOMPARE(time.timeSpec(), Qt::UTC);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestStoredTime)
#include "tst_storedtime.moc"
