#include "LocalizedCompare.h"

#include <QLocale>
#include <QTest>

class TestLocalizedCompare : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void ordersLikeTheLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("C locale still ignores case") << "C"
                                                     << "alpha"
                                                     << "Beta";
        QTest::newRow("en_US ignores case") << "en_US"
                                            << "alpha"
                                            << "Beta";
        QTest::newRow("en_US accents sort with their letter") << "en_US"
                                                              << "Ébène"
                                                              << "Fable";
        QTest::newRow("de_DE umlaut beside its vowel") << "de_DE"
                                                       << "Äpfel"
                                                       << "Birne";
        QTest::newRow("sv_SE puts Å after Z") << "sv_SE"
                                              << "Zebra"
                                              << "Åsa";
        QTest::newRow("digits before letters") << "en_US"
                                               << "2048"
                                               << "Atom";
    }

    void ordersLikeTheLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QLocale::setDefault(QLocale(locale));
        QVERIFY(localizedCompare(first, second) < 0);
        QVERIFY(localizedCompare(second, first) > 0);
        QCOMPARE(localizedCompare(first, first), 0);
    }
};

QTEST_GUILESS_MAIN(TestLocalizedCompare)
#include "tst_LocalizedCompare.moc"
