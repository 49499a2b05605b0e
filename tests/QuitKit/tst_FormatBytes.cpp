#include "FormatBytes.h"

#include <QLocale>
#include <QTest>

class TestFormatBytes : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void figures_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("text");
        const QString us = QStringLiteral("en_US"), de = QStringLiteral("de_DE");
        const quint64 mb = quint64(1) << 20, gb = quint64(1) << 30;
        QTest::newRow("zero") << us << quint64(0) << QStringLiteral("0 MB");
        QTest::newRow("one byte shows 1 MB") << us << quint64(1) << QStringLiteral("1 MB");
        QTest::newRow("half a MB") << us << mb / 2 << QStringLiteral("1 MB");
        QTest::newRow("1.5 MB rounds to even") << us << mb * 3 / 2 << QStringLiteral("2 MB");
        QTest::newRow("2.5 MB rounds to even") << us << mb * 5 / 2 << QStringLiteral("2 MB");
        QTest::newRow("300 MB") << us << 300 * mb << QStringLiteral("300 MB");
        QTest::newRow("byte under a GB") << us << gb - 1 << QStringLiteral("1,024 MB");
        QTest::newRow("one GB") << us << gb << QStringLiteral("1.0 GB");
        QTest::newRow("1.5 GB") << us << gb * 3 / 2 << QStringLiteral("1.5 GB");
        QTest::newRow("GB rounds half to even") << us << gb * 5 / 4 << QStringLiteral("1.2 GB");
        QTest::newRow("thousands of GB") << us << 2048 * gb << QStringLiteral("2,048.0 GB");
        QTest::newRow("decimal comma") << de << gb * 3 / 2 << QStringLiteral("1,5 GB");
        QTest::newRow("German grouping") << de << gb - 1 << QStringLiteral("1.024 MB");
        QTest::newRow("C locale groups like English")
            << QStringLiteral("C") << gb - 1 << QStringLiteral("1,024 MB");
        QTest::newRow("C locale decimal point")
            << QStringLiteral("C") << gb * 3 / 2 << QStringLiteral("1.5 GB");
    }

    void figures()
    {
        QFETCH(QString, locale);
        QFETCH(quint64, bytes);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(formatBytes(bytes), text);
    }

    void localeDigits()
    {
        QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
        // Arabic-Indic digits and the Arabic decimal separator, unit still Latin.
        QCOMPARE(formatBytes(quint64(3) << 29), QStringLiteral("١٫٥ GB"));
    }
};

QTEST_GUILESS_MAIN(TestFormatBytes)
#include "tst_FormatBytes.moc"
