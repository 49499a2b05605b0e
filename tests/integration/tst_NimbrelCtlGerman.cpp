#include "DesktopSession.h"
#include "DesktopUser.h"
#include "TestDesktopApps.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

// nimbrelctl as a German user runs it: LANG alone picks the texts and how figures are written.
class TestNimbrelCtlGerman : public QObject
{
    Q_OBJECT

    DesktopSession session;

    static QString germanRun(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* overriding : {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LANGUAGE"})
            environment.remove(QString::fromLatin1(overriding));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(NIMBRELCTL_PATH), arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            return {};
        return QString::fromUtf8(process.readAllStandardOutput());
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        TestDesktopApps::install(session);
        // Over a GB, so the figure has a fraction: "1,0 GB" in German, "1.0 GB" in English.
        QProcess* helper =
            session.startApp(QStringLiteral("helper.py"), {{"NIMBREL_HOG_MB", "1024"}});
        QVERIFY(helper->waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(germanRun({QStringLiteral("list")}).contains(" GB"),
                                 DesktopSession::appearTimeout);
    }

    void figuresAndTextsInGerman_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::newRow("list") << QStringList{QStringLiteral("list")} << QString();
        QTest::newRow("plan") << QStringList{QStringLiteral("plan"), QStringLiteral("--preset"),
                                             QStringLiteral("everything")}
                              << QStringLiteral("Voreinstellung: Alles");
    }

    void figuresAndTextsInGerman()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        const QString out = germanRun(arguments);
        QVERIFY2(out.contains(QRegularExpression(QStringLiteral(R"(\b1,\d GB\b)"))),
                 qPrintable(out));
        QVERIFY2(out.contains(text), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestNimbrelCtlGerman)
#include "tst_NimbrelCtlGerman.moc"
