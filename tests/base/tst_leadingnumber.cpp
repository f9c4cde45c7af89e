#include "base/LeadingNumber.h"

#include <QTest>

#include <cmath>

using namespace tavlo;

struct WholeRow { QString text; bool numeric; double value; };

struct RoundingRow { double value; bool fits; int expected; };

class TestLeadingNumber : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("plain") << "640" << 640.0;
        QTest::newRow("trailing text") << "640px" << 640.0;
        QTest::newRow("no digits") << "abc" << 0.0;
        QTest::newRow("lone sign") << "-" << 0.0;
        QTest::newRow("negative") << "-12" << -12.0;
        QTest::newRow("blanks before") << "  \t 42" << 42.0;
        QTest::newRow("blanks inside") << "1 2\t3" << 123.0;
        QTest::newRow("line feed inside") << "4\n5" << 45.0;
        QTest::newRow("carriage return stops") << "4\r5" << 4.0;
        QTest::newRow("decimal") << "12.5" << 12.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("exponent E") << "1.5E2" << 150.0;
        QTest::newRow("exponent D") << "2d3" << 2000.0;
        QTest::newRow("negative exponent") << "25e-1" << 2.5;
        QTest::newRow("exponent without digits") << "3E" << 3.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("hex 16-bit wraps") << "&HFFFF" << -1.0;
        QTest::newRow("hex 32-bit") << "&H10000" << 65536.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&O78" << 7.0;
        QTest::newRow("ampersand alone") << "&X1" << 0.0;
        QTest::newRow("version text") << "1.0.2\r\n" << 1.0;
        QTest::newRow("too small is zero") << "1e-999" << 0.0;
        QTest::newRow("too small negative") << "-0.0001E-400" << 0.0;
        QTest::newRow("many digits, small exponent") << QString(QString("1") + QString(400, '0') + "e-10") << HUGE_VAL;
        QTest::newRow("too large") << "1e999" << HUGE_VAL;
        QTest::newRow("too large negative") << "-12.5e400" << -HUGE_VAL;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(tavlo::leadingNumber(text), expected);
    }

    void wholeNumber_data()
    {
        QTest::addColumn<WholeRow>("row");
        QTest::newRow("one") << WholeRow{"1", true, 1.0};
        QTest::newRow("blanks around") << WholeRow{" 0 ", true, 0.0};
        QTest::newRow("word") << WholeRow{"yes", false, 0.0};
        QTest::newRow("number then word") << WholeRow{"1x", false, 0.0};
    }

    void wholeNumber()
    {
        QFETCH(WholeRow, row);
        const auto &[text, numeric, value] = row;
        const auto result = tavlo::wholeNumber(text);
        QCOMPARE(result.has_value(), numeric);
        if (numeric)
            QCOMPARE(*result, value);
    }

    void rounding_data()
    {
        QTest::addColumn<RoundingRow>("row");
        QTest::newRow("12.5 to even 12") << RoundingRow{12.5, true, 12};
        QTest::newRow("13.5 to even 14") << RoundingRow{13.5, true, 14};
        QTest::newRow("-2.5 to even -2") << RoundingRow{-2.5, true, -2};
        QTest::newRow("largest") << RoundingRow{32767.0, true, 32767};
        QTest::newRow("32767.5 rounds out") << RoundingRow{32767.5, false, 0};
        QTest::newRow("too large") << RoundingRow{40000.0, false, 0};
        QTest::newRow("infinite") << RoundingRow{HUGE_VAL, false, 0};
    }

    void rounding()
    {
        QFETCH(RoundingRow, row);
        const auto &[value, fits, expected] = row;
        const auto result = toInt16(value);
        QCOMPARE(result.has_value(), fits);
        if (fits)
            QCOMPARE(int(*result), expected);
    }
};

QTEST_GUILESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"
