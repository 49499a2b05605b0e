#include "CtlArguments.h"

#include <QTest>

using Command = CtlArguments::Command;

class TestCtlArguments : public QObject
{
    Q_OBJECT

private slots:
    void acceptsCommands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("json");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QStringList>("keep");
        QTest::addColumn<double>("timeout");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<int>("pid");
        const QStringList noKeep{QStringLiteral("<stored>")};
        QTest::newRow("list") << QStringList{"list"} << int(Command::list) << false << "" << noKeep
                              << 12.0 << false << 0;
        QTest::newRow("list json") << QStringList{"list", "--json"} << int(Command::list) << true
                                   << "" << noKeep << 12.0 << false << 0;
        QTest::newRow("plan with keeps")
            << QStringList{"plan", "--preset", "work", "--keep", "org.a", "--keep=Notes"}
            << int(Command::plan) << false << "work" << QStringList{"org.a", "Notes"} << 12.0
            << false << 0;
        QTest::newRow("quit options")
            << QStringList{"quit", "--preset=call", "--timeout", "2.5", "--dry-run", "--json"}
            << int(Command::quit) << true << "call" << noKeep << 2.5 << true << 0;
        QTest::newRow("quit keeps like plan")
            << QStringList{"quit", "--keep", "org.a", "--keep=Notes"} << int(Command::quit) << false
            << "" << QStringList{"org.a", "Notes"} << 12.0 << false << 0;
        QTest::newRow("force-quit") << QStringList{"force-quit", "4321"} << int(Command::forceQuit)
                                    << false << "" << noKeep << 12.0 << false << 4321;
        QTest::newRow("help anywhere") << QStringList{"plan", "--help"} << int(Command::help)
                                       << false << "" << noKeep << 12.0 << false << 0;
        QTest::newRow("version") << QStringList{"--version"} << int(Command::version) << false << ""
                                 << noKeep << 12.0 << false << 0;
    }

    void acceptsCommands()
    {
        QFETCH(QStringList, arguments);
        const auto parsed = CtlArguments::parse(arguments);
        if (const auto* error = std::get_if<CtlArguments::Error>(&parsed))
            QFAIL(qPrintable(error->message));
        const CtlArguments& result = std::get<CtlArguments>(parsed);
        QTEST(int(result.command), "command");
        QTEST(result.json, "json");
        QTEST(result.preset ? result.preset->rawValue() : QString(), "preset");
        QTEST(result.keep.value_or(QStringList{QStringLiteral("<stored>")}), "keep");
        QTEST(result.timeout, "timeout");
        QTEST(result.dryRun, "dryRun");
        QTEST(int(result.pid), "pid");
    }

    void refusesBadCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("nothing") << QStringList{} << "no command";
        QTest::newRow("unknown command") << QStringList{"close"} << "close";
        QTest::newRow("unknown preset") << QStringList{"plan", "--preset", "Work"} << "Work";
        QTest::newRow("preset without value") << QStringList{"plan", "--preset"} << "--preset";
        QTest::newRow("option of another command")
            << QStringList{"list", "--timeout", "3"} << "--timeout";
        QTest::newRow("negative timeout") << QStringList{"quit", "--timeout", "-1"} << "-1";
        QTest::newRow("timeout not a number") << QStringList{"quit", "--timeout", "soon"} << "soon";
        QTest::newRow("flag with value") << QStringList{"quit", "--dry-run=yes"} << "--dry-run";
        QTest::newRow("stray argument") << QStringList{"list", "extra"} << "extra";
        QTest::newRow("force-quit without pid") << QStringList{"force-quit"} << "process id";
        QTest::newRow("force-quit with a name")
            << QStringList{"force-quit", "firefox"} << "firefox";
        QTest::newRow("force-quit with zero") << QStringList{"force-quit", "0"} << "0";
        QTest::newRow("force-quit with two pids")
            << QStringList{"force-quit", "1", "2"} << "exactly one";
    }

    void refusesBadCommandLines()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const auto parsed = CtlArguments::parse(arguments);
        QVERIFY(std::holds_alternative<CtlArguments::Error>(parsed));
        QVERIFY2(std::get<CtlArguments::Error>(parsed).message.contains(mentions),
                 qPrintable(std::get<CtlArguments::Error>(parsed).message));
    }
};

QTEST_GUILESS_MAIN(TestCtlArguments)
#include "tst_CtlArguments.moc"
