#include <QProcess>
#include <QTest>

// The tray program answers --help and --version on the terminal, in the user's language, where
// there is no display at all (an ssh session, a packaging script), and starts nothing.
class TestProgramAnswers : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("start");
        QTest::newRow("help") << QStringLiteral("C") << QStringList{QStringLiteral("--help")}
                              << QStringLiteral("Usage: nimbrel [OPTION]\n");
        QTest::newRow("help, German, short form")
            << QStringLiteral("de_DE.UTF-8") << QStringList{QStringLiteral("-h")}
            << QStringLiteral("Aufruf: nimbrel [OPTION]\n");
        QTest::newRow("version, after another flag")
            << QStringLiteral("C") << QStringList{QStringLiteral("-x"), QStringLiteral("--version")}
            << QStringLiteral("nimbrel " NIMBREL_VERSION "\n");
    }

    void answers()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, arguments);
        QFETCH(QString, start);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE",
                                 "LC_ALL", "LC_MESSAGES", "DBUS_SESSION_BUS_ADDRESS"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LANG"), language);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(NIMBREL_PATH), arguments);
        QVERIFY(program.waitForFinished(30000));
        const QString output = QString::fromUtf8(program.readAllStandardOutput());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(output.startsWith(start), qPrintable(output));
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()), QString());
    }
};

QTEST_GUILESS_MAIN(TestProgramAnswers)
#include "tst_ProgramAnswers.moc"
