#include "Localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTest>
#include <QTranslator>

class TestLocalization : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        for (QTranslator* table : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(table);
            delete table;
        }
        QLocale::setDefault(QLocale::c());
    }

    void userLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << 12345
                                << QStringLiteral("12.345 Apps geschlossen");
        QTest::newRow("Swiss German, through German")
            << QLocale(QLocale::German, QLocale::Switzerland) << 12
            << QStringLiteral("12 Apps geschlossen");
        QTest::newRow("English, the code's own") << QLocale(QLocale::English, QLocale::UnitedStates)
                                                 << 12345 << QStringLiteral("Closed 12,345 apps");
        QTest::newRow("no table: English with the locale's digits")
            << QLocale(QLocale::Arabic, QLocale::Egypt) << 12 << QStringLiteral("Closed ١٢ apps");
    }

    void userLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(int, count);
        QFETCH(QString, text);
        QLocale::setDefault(locale);
        installTranslations(*QCoreApplication::instance());
        QCOMPARE(QCoreApplication::translate("QuitKit", "Closed %L1 apps").arg(count), text);
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_Localization.moc"
