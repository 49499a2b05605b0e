#include "ViewText.h"

#include <QLocale>
#include <QTest>

class tst_ViewText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void mainButton_data()
    {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<int>("count");
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<bool>("simulate");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        const quint64 mb = 1024 * 1024;
        const Phase ready = Phase::ready();
        QTest::newRow("nothing ticked")
            << ready << 0 << quint64(0) << false << QStringLiteral("Nothing to Quit") << false;
        QTest::newRow("nothing ticked in sample mode")
            << ready << 0 << quint64(0) << true << QStringLiteral("Nothing to Quit") << false;
        QTest::newRow("one with memory")
            << ready << 1 << 300 * mb << false
            << QStringLiteral("Quit 1 App · frees 300 MB of memory") << true;
        QTest::newRow("one without memory")
            << ready << 1 << quint64(0) << false << QStringLiteral("Quit 1 App") << true;
        QTest::newRow("three with memory")
            << ready << 3 << 1536 * mb << false
            << QStringLiteral("Quit 3 Apps · frees 1.5 GB of memory") << true;
        QTest::newRow("sample mode hides count and memory")
            << ready << 3 << 1536 * mb << true << QStringLiteral("Try It — Nothing Really Closes")
            << true;
        QTest::newRow("quitting shows progress, not the plan")
            << Phase::quitting(2, 5) << 0 << quint64(0) << true << QStringLiteral("Closing… 2 of 5")
            << false;
        QTest::newRow("done keeps the button off")
            << Phase::done({}) << 2 << 10 * mb << false
            << QStringLiteral("Quit 2 Apps · frees 10 MB of memory") << false;
    }

    void mainButton()
    {
        QFETCH(Phase, phase);
        QFETCH(int, count);
        QFETCH(quint64, bytes);
        QFETCH(bool, simulate);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QCOMPARE(ViewText::mainButtonCaption(phase, count, bytes, simulate), caption);
        QCOMPARE(ViewText::mainButtonEnabled(phase, count), enabled);
    }

    void resultLines_data()
    {
        QTest::addColumn<int>("apps");
        QTest::addColumn<QString>("closedLine");
        QTest::addColumn<QString>("stillOpenLine");
        QTest::newRow("one")
            << 1 << QStringLiteral("of memory freed — 1 app closed")
            << QStringLiteral("Still open — it may be asking you to save, or not responding:");
        QTest::newRow("two") << 2 << QStringLiteral("of memory freed — 2 apps closed")
                             << QStringLiteral("Still open — they may be asking you to save, or "
                                               "not responding:");
        QTest::newRow("grouped count")
            << 1200 << QStringLiteral("of memory freed — 1,200 apps closed")
            << QStringLiteral("Still open — they may be asking you to "
                              "save, or not responding:");
    }

    void resultLines()
    {
        QFETCH(int, apps);
        QFETCH(QString, closedLine);
        QFETCH(QString, stillOpenLine);
        QCOMPARE(ViewText::closedCountLine(apps), closedLine);
        QCOMPARE(ViewText::stillOpenLine(apps), stillOpenLine);
    }

    void joinNames_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("joined"); // "<" and ">" stand for the isolates around a name
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("none") << english << QStringList() << QString();
        QTest::newRow("one") << english << QStringList{"Mail"} << QStringLiteral("<Mail>");
        QTest::newRow("two") << english << QStringList{"Mail", "Notes"}
                             << QStringLiteral("<Mail> and <Notes>");
        QTest::newRow("three, in given order") << english << QStringList{"Zed", "Mail", "Notes"}
                                               << QStringLiteral("<Zed>, <Mail>, and <Notes>");
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << QStringList{"A", "B", "C"} << QStringLiteral("<A>, <B> und <C>");
        // Without isolates the Hebrew name would carry ", and" into its right-to-left run.
        QTest::newRow("right-to-left name")
            << english << QStringList{QStringLiteral("\u05E9\u05DC\u05D5\u05DD"), "Mail"}
            << QStringLiteral("<\u05E9\u05DC\u05D5\u05DD> and <Mail>");
    }

    void joinNames()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, names);
        QFETCH(QString, joined);
        QLocale::setDefault(locale);
        joined.replace(QLatin1Char('<'), QChar(0x2068)).replace(QLatin1Char('>'), QChar(0x2069));
        QCOMPARE(ViewText::joinNames(names), joined);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
};

QTEST_GUILESS_MAIN(tst_ViewText)
#include "tst_ViewText.moc"
