#include "Localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTest>

class TestLocalization : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(L(QStringLiteral("Nimbrel lives in the menu bar")),
                 QStringLiteral("Nimbrel lives in the menu bar"));
        installTranslations(*QCoreApplication::instance());
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("untranslated key") << QStringLiteral("No other apps are open.")
                                          << QStringLiteral("No other apps are open.");
        QTest::newRow("unknown key") << QStringLiteral("Not a text anyone wrote")
                                     << QStringLiteral("Not a text anyone wrote");
        QTest::newRow("Dock")
            << QStringLiteral("Quits every app in the Dock except the ones you keep.")
            << QStringLiteral("Quits every app in the taskbar except the ones you keep.");
        QTest::newRow("menu bar") << QStringLiteral("Nimbrel lives in the menu bar")
                                  << QStringLiteral("Nimbrel lives in the system tray");
        QTest::newRow("Mac, non-ASCII key")
            << QStringLiteral("Example apps — nothing on your Mac is closed")
            << QStringLiteral("Example apps — nothing on your computer is closed");
        QTest::newRow("command key")
            << QStringLiteral("Ticked apps close; untick one to keep it (remembered). Apps with "
                              "unsaved work ask "
                              "you to save first, like ⌘Q.")
            << QStringLiteral("Ticked apps close; untick one to keep it "
                              "(remembered). Apps with unsaved work ask you to "
                              "save first, like Ctrl+Q.");
    }

    void lookup()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QCOMPARE(L(key), text);
    }

    void formats_data()
    {
        // Filled here because the arguments differ in type from row to row.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("integers in order")
            << L(QStringLiteral("Step %d of %d"), 1, 2) << QStringLiteral("Step 1 of 2");
        QTest::newRow("texts in order")
            << L(QStringLiteral("%@, freed %@"), "Closed 2 apps", QStringLiteral("3 MB"))
            << QStringLiteral("Closed 2 apps, freed 3 MB");
        QTest::newRow("grouped integer")
            << L(QStringLiteral("Closed %d apps"), 12345) << QStringLiteral("Closed 12,345 apps");
        QTest::newRow("unsigned 64-bit") << L(QStringLiteral("%d"), quint64(1) << 63)
                                         << QStringLiteral("9,223,372,036,854,775,808");
        QTest::newRow("negative") << L(QStringLiteral("%d"), -3) << QStringLiteral("-3");
        QTest::newRow("positional reorders")
            << L(QStringLiteral("%2$@ before %1$@ and %2$d"), "b", "a")
            << QStringLiteral("a before b and a");
        QTest::newRow("percent sign and strays")
            << L(QStringLiteral("100%% %x %0$d %"), 1) << QStringLiteral("100% %x %0$d %");
        QTest::newRow("absurd position stays") << L(QStringLiteral("%99999999999999999999999$d"), 1)
                                               << QStringLiteral("%99999999999999999999999$d");
        QTest::newRow("missing argument stays")
            << L(QStringLiteral("%d of %d"), 4) << QStringLiteral("4 of %d");
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QTest::newRow("German grouping")
            << L(QStringLiteral("Closed %d apps"), 12345) << QStringLiteral("Closed 12.345 apps");
        QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
        QTest::newRow("locale digits")
            << L(QStringLiteral("Step %d of %d"), 1, 2) << QStringLiteral("Step ١ of ٢");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void formats()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_Localization.moc"
