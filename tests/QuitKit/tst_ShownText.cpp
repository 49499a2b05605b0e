#include "ShownText.h"

#include <QTest>

class tst_ShownText : public QObject
{
    Q_OBJECT

private slots:
    void oneLine_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QStringLiteral("Text Editor") << QStringLiteral("Text Editor");
        QTest::newRow("markup stays text")
            << QStringLiteral("<b>Mail</b><img src=\"file:///tmp/fifo\">")
            << QStringLiteral("<b>Mail</b><img src=\"file:///tmp/fifo\">");
        QTest::newRow("right-to-left override dropped")
            << QStringLiteral("Invoice \u202Etxt.exe") << QStringLiteral("Invoice txt.exe");
        QTest::newRow("isolates and marks dropped")
            << QStringLiteral("\u2067a\u2069\u200Fb\u200E\u061Cc") << QStringLiteral("abc");
        QTest::newRow("zero-width space and BOM dropped")
            << QStringLiteral("\uFEFFPay\u200Bpal") << QStringLiteral("Paypal");
        QTest::newRow("line breaks and tabs become spaces")
            << QStringLiteral("Line\nTwo\tThree\u2028Four\r")
            << QStringLiteral("Line Two Three Four");
        QTest::newRow("escape sequences shown as replacement")
            << QStringLiteral("\x1b]0;owned\x07Term") << QStringLiteral("\uFFFD]0;owned\uFFFDTerm");
        QTest::newRow("C1 control") << QStringLiteral("a\u009Bb") << QStringLiteral("a\uFFFDb");
        QTest::newRow("unpaired surrogate")
            << QString(QChar(0xD800)) + QStringLiteral("x") << QStringLiteral("\uFFFDx");
        QTest::newRow("emoji joiners kept") << QStringLiteral("\U0001F469\u200D\U0001F4BB Dev")
                                            << QStringLiteral("\U0001F469\u200D\U0001F4BB Dev");
        QTest::newRow("only controls") << QStringLiteral("\u202E\u200B ") << QString();
        QTest::newRow("long name cut")
            << QString(10000, QLatin1Char('x'))
            << QString(ShownText::maxNameLength, QLatin1Char('x')) + QChar(u'…');
        // 199 letters and an emoji straddling the limit: the pair is dropped whole.
        QTest::newRow("cut never splits a pair")
            << QString(ShownText::maxNameLength - 1, QLatin1Char('x')) +
                   QStringLiteral("\U0001F600\U0001F600")
            << QString(ShownText::maxNameLength - 1, QLatin1Char('x')) + QChar(u'…');
    }

    void oneLine()
    {
        QFETCH(QString, given);
        QFETCH(QString, shown);
        QCOMPARE(ShownText::oneLine(given), shown);
    }

    void escaped_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QStringLiteral("Éditeur — 文") << QStringLiteral("Éditeur — 文");
        QTest::newRow("terminal title")
            << QStringLiteral("\x1b]0;owned\x07") << QStringLiteral("\\x1b]0;owned\\x07");
        QTest::newRow("line break and C1")
            << QStringLiteral("a\nb\u009Bc") << QStringLiteral("a\\x0ab\\x9bc");
        QTest::newRow("direction controls") << QStringLiteral("Invoice \u202Etxt\u2066.exe")
                                            << QStringLiteral("Invoice \\u202etxt\\u2066.exe");
        QTest::newRow("line separator")
            << QStringLiteral("a\u2028b") << QStringLiteral("a\\u2028b");
    }

    void escaped()
    {
        QFETCH(QString, given);
        QFETCH(QString, shown);
        QCOMPARE(ShownText::escaped(given), shown);
    }
};

QTEST_GUILESS_MAIN(tst_ShownText)
#include "tst_ShownText.moc"
