#include <QProcess>
#include <QTest>

// nimbrelctl's own answers, before any command runs, in the language the environment asks for.
// The German locale need not be installed on the machine: Qt reads the variables itself.
class TestCtlMain : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QStringList>("language");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        const QStringList german{QStringLiteral("LANG=de_DE.UTF-8")};
        const QStringList plain{QStringLiteral("LANG=C")};
        const QStringList help{QStringLiteral("--help")};
        const QStringList mistyped{QStringLiteral("plan"), QStringLiteral("--foo")};
        QTest::newRow("help, German")
            << german << help << 0 << QStringLiteral("Aufruf: nimbrelctl BEFEHL [OPTIONEN]\n");
        QTest::newRow("help, C") << plain << help << 0
                                 << QStringLiteral("Usage: nimbrelctl COMMAND [OPTIONS]\n");
        QTest::newRow("mistyped, German") << german << mistyped << 2
                                          << QStringLiteral("nimbrelctl: plan akzeptiert --foo "
                                                            "nicht\n„nimbrelctl --help“ gibt "
                                                            "weitere Auskunft.\n");
        QTest::newRow("mistyped, C")
            << plain << mistyped << 2
            << QStringLiteral("nimbrelctl: plan does not take --foo\nTry 'nimbrelctl --help'.\n");
        QTest::newRow("LC_MESSAGES over LANG")
            << QStringList{QStringLiteral("LANG=C"), QStringLiteral("LC_MESSAGES=de_DE.UTF-8")}
            << QStringList() << 2 << QStringLiteral("nimbrelctl: kein Befehl angegeben\n");
        // The caller's own argument is quoted back, but cannot retitle the terminal or reorder
        // the line.
        QTest::newRow("hostile argument, C")
            << plain
            << QStringList{QStringLiteral("plan"), QStringLiteral("--preset"),
                           QStringLiteral("\x1b]0;x\x07\u202Etxt.exe")}
            << 2
            << QStringLiteral("nimbrelctl: unknown preset \"\\x1b]0;x\\x07\\u202etxt.exe\" (use "
                              "everything, work or call)\n");
        QTest::newRow("version, German") << german << QStringList{QStringLiteral("--version")} << 0
                                         << QStringLiteral("nimbrelctl " NIMBREL_VERSION "\n");
    }

    void answers()
    {
        QFETCH(QStringList, language);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, text);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            environment.remove(QString::fromLatin1(name));
        for (const QString& setting : language)
            environment.insert(setting.section(QLatin1Char('='), 0, 0),
                               setting.section(QLatin1Char('='), 1));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(NIMBRELCTL_PATH), arguments);
        QVERIFY(program.waitForFinished(30000));
        const QString output = QString::fromUtf8(program.readAll());
        QCOMPARE(program.exitCode(), status);
        QVERIFY2(output.startsWith(text), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestCtlMain)
#include "tst_CtlMain.moc"
