// Number masks, value texts and the rows that feed the printouts.

#include "reports/format.h"
#include "reports/rows.h"

#include "db/decimal.h"

#include <QtTest>

using db::Decimal;
using reports::formatNumber;
using reports::formatValue;

class TestFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void masks_data();
    void masks();
    void doublesRoundAsWritten();
    void values_data();
    void values();
    void plainLetters();
    void rows();
};

void TestFormat::masks_data()
{
    QTest::addColumn<QString>("value"); // decimal text
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");
    QTest::newRow("money") << "1234.5" << "#,##0.00" << "1.234,50";
    QTest::newRow("money millions") << "1234567.891" << "#,##0.00" << "1.234.567,89";
    QTest::newRow("money zero") << "0" << "#,##0.00" << "0,00";
    QTest::newRow("money small") << "0.05" << "#,##0.00" << "0,05";
    QTest::newRow("money negative") << "-1234.5" << "#,##0.00" << "-1.234,50";
    QTest::newRow("money half up") << "2.345" << "#,##0.00" << "2,35";
    QTest::newRow("money half away from zero") << "-2.345" << "#,##0.00" << "-2,35";
    QTest::newRow("negative rounds to zero") << "-0.001" << "#,##0.00" << "0,00";
    QTest::newRow("currency") << "1234.5" << "R$ #,##0.00" << "R$ 1.234,50";
    QTest::newRow("currency negative") << "-5" << "R$ #,##0.00" << "-R$ 5,00";
    QTest::newRow("sheet mask") << "1234.5" << "##,#0.00" << "1.234,50";
    QTest::newRow("sheet mask small") << "7" << "##,#0.00" << "7,00";
    QTest::newRow("sheet currency") << "98765.4" << "R$ ##,#0.00" << "R$ 98.765,40";
    QTest::newRow("quantity") << "1500" << "##,#0" << "1.500";
    QTest::newRow("price") << "2.355" << ",0.###" << "2,355";
    QTest::newRow("price short") << "1.5" << ",0.###" << "1,5";
    QTest::newRow("price whole") << "12" << ",0.###" << "12";
    QTest::newRow("price thousands") << "1234.1" << ",0.###" << "1.234,1";
    QTest::newRow("price rounds") << "0.12345" << ",0.###" << "0,123";
    QTest::newRow("litres") << "1234.6" << "#,##" << "1.235";
    QTest::newRow("litres zero is empty") << "0" << "#,##" << "";
    QTest::newRow("litres small is empty") << "0.4" << "#,##" << "";
    QTest::newRow("no grouping") << "1234.5" << "0.00" << "1234,50";
    QTest::newRow("negative section drops the sign") << "-1234.5" << ",0.00;,0.00" << "1.234,50";
    QTest::newRow("negative section in brackets") << "-3" << "0.00;(0.00)" << "(3,00)";
    QTest::newRow("zero section") << "0" << "0.00;-0.00;'zero'" << "zero";
    QTest::newRow("quoted literal") << "3" << "0 'kg'" << "3 kg";
    QTest::newRow("empty mask") << "1234.50" << "" << "1234,50";
}

void TestFormat::masks()
{
    QFETCH(QString, value);
    QFETCH(QString, mask);
    QFETCH(QString, text);
    const auto d = Decimal::parse(value);
    QVERIFY(d);
    QCOMPARE(formatNumber(*d, mask), text);
    // The same through a variant, as a report field reads it.
    QCOMPARE(formatValue(d->toVariant(), mask), text);
}

void TestFormat::doublesRoundAsWritten()
{
    QCOMPARE(formatNumber(1.005, reports::fmt::Money), QStringLiteral("1,01"));
    QCOMPARE(formatNumber(0.1 + 0.2, reports::fmt::Money), QStringLiteral("0,30"));
    QCOMPARE(formatNumber(1234.5, QStringLiteral(",0.00;,0.00")), QStringLiteral("1.234,50"));
    QCOMPARE(formatNumber(-1234.5, QStringLiteral(",0.00;,0.00")), QStringLiteral("1.234,50"));
    QCOMPARE(formatNumber(2.5, QString()), QStringLiteral("2,5"));
    QCOMPARE(formatNumber(1e12, reports::fmt::Money), QStringLiteral("1.000.000.000.000,00"));
}

void TestFormat::values_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("null") << QVariant() << "#,##0.00" << "";
    QTest::newRow("null date") << QVariant(QMetaType::fromType<QDate>()) << "" << "";
    QTest::newRow("date") << QVariant(QDate(2024, 5, 3)) << "" << "03/05/2024";
    QTest::newRow("date pattern") << QVariant(QDate(2024, 5, 3)) << "dd/MM/yy" << "03/05/24";
    QTest::newRow("time") << QVariant(QTime(9, 5, 7)) << "" << "09:05:07";
    QTest::newRow("date and time") << QVariant(QDateTime(QDate(2024, 5, 3), QTime(9, 5))) << "" << "03/05/2024 09:05:00";
    QTest::newRow("integer") << QVariant(1234) << "" << "1234";
    QTest::newRow("integer masked") << QVariant(qlonglong(1234)) << "#,##0.00" << "1.234,00";
    QTest::newRow("double") << QVariant(2.75) << "" << "2,75";
    QTest::newRow("double masked") << QVariant(2.755) << "#,##0.00" << "2,76";
    QTest::newRow("decimal") << Decimal(-12345, 2).toVariant() << "" << "-123,45";
    QTest::newRow("padded char") << QVariant(QStringLiteral("C   ")) << "" << "C";
    QTest::newRow("leading blanks stay") << QVariant(QStringLiteral("  A ")) << "" << "  A";
    QTest::newRow("text ignores a mask") << QVariant(QStringLiteral("R$ 1,00")) << "#,##0.00" << "R$ 1,00";
}

void TestFormat::values()
{
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(formatValue(value, format), text);
}

void TestFormat::plainLetters()
{
    QCOMPARE(reports::plainLetters(QStringLiteral("PREÇO UNITÁRIO ÀÉÎÕÜ çã")), QStringLiteral("PRECO UNITARIO AEIOU ca"));
    QCOMPARE(reports::plainLetters(QStringLiteral("Nº 12 | -")), QStringLiteral("Nº 12 | -"));
}

void TestFormat::rows()
{
    reports::Rows rows({QStringLiteral("CD_PEDIDO"), QStringLiteral("PESO"), QStringLiteral("VALOR_UNITARIO")});
    rows.append(QVariantList{1, Decimal(150, 2).toVariant(), Decimal(10000, 3).toVariant()});
    rows.append(QVariantList{2, Decimal(2000, 3).toVariant()}); // price missing: null
    rows.addColumn(QStringLiteral("TOTAL"), [](const reports::Row &r) {
        return Decimal::fromVariant(r.value(QStringLiteral("PESO")))
            .multipliedBy(Decimal::fromVariant(r.value(QStringLiteral("VALOR_UNITARIO"))), 2)
            .toVariant();
    });
    QCOMPARE(rows.count(), 2);
    QCOMPARE(rows.columnIndex(QStringLiteral("peso")), 1);
    QCOMPARE(rows.columnIndex(QStringLiteral("nada")), -1);
    QCOMPARE(rows.value(0, QStringLiteral("Total")).value<Decimal>().toString(), QStringLiteral("15.00"));
    QVERIFY(rows.value(1, QStringLiteral("VALOR_UNITARIO")).isNull());
    QVERIFY(!rows.value(5, QStringLiteral("PESO")).isValid());

    // Maps add the columns they bring; computed columns stay last.
    rows.append(QVariantMap{{QStringLiteral("CD_PEDIDO"), 3}, {QStringLiteral("OBS"), QStringLiteral("X")}});
    QCOMPARE(rows.columns(), (QStringList{QStringLiteral("CD_PEDIDO"), QStringLiteral("PESO"), QStringLiteral("VALOR_UNITARIO"),
                                          QStringLiteral("OBS"), QStringLiteral("TOTAL")}));
    QCOMPARE(rows.value(2, QStringLiteral("OBS")).toString(), QStringLiteral("X"));
    QVERIFY(rows.value(0, QStringLiteral("OBS")).isNull());
    QCOMPARE(rows.value(0, QStringLiteral("TOTAL")).value<Decimal>().toString(), QStringLiteral("15.00"));

    const reports::Rows some = rows.filtered([](const reports::Row &r) { return r.value(QStringLiteral("CD_PEDIDO")).toInt() != 2; });
    QCOMPARE(some.count(), 2);
    QCOMPARE(some.value(1, QStringLiteral("CD_PEDIDO")).toInt(), 3);
    QCOMPARE(some.value(0, QStringLiteral("TOTAL")).value<Decimal>().toString(), QStringLiteral("15.00"));
}

QTEST_GUILESS_MAIN(TestFormat)
#include "test_format.moc"
