#include "StartupFlags.h"

#include <QTest>

using StartupFlags::Check;
using StartupFlags::CheckRequest;

class tst_StartupFlags : public QObject
{
    Q_OBJECT

private slots:
    void checkRequest_data();
    void checkRequest();
    void answerRequest_data();
    void answerRequest();
};

void tst_StartupFlags::checkRequest_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<CheckRequest>>("expected");
    const auto request = [](Check check, const QString& path) {
        return std::optional(CheckRequest{check, path});
    };
    const std::optional<CheckRequest> none;

    QTest::newRow("usual run") << QStringList{"nimbrel"} << none;
    QTest::newRow("menus") << QStringList{"nimbrel", "--check-menus", "m"}
                           << request(Check::Menus, "m");
    QTest::newRow("tutorial") << QStringList{"nimbrel", "--check-tutorial", "t"}
                              << request(Check::Tutorial, "t");
    QTest::newRow("window snapshots") << QStringList{"nimbrel", "--snapshot-windows", "/tmp/s"}
                                      << request(Check::WindowSnapshots, "/tmp/s");
    QTest::newRow("idle report") << QStringList{"nimbrel", "-platform", "xcb", "--idle-report", "i"}
                                 << request(Check::IdleReport, "i");
    QTest::newRow("program path") << QStringList{"--check-menus", "m"} << none;
    QTest::newRow("trailing flag") << QStringList{"nimbrel", "x", "--check-menus"} << none;
    QTest::newRow("first occurrence")
        << QStringList{"nimbrel", "--check-tutorial", "a", "--check-tutorial", "b"}
        << request(Check::Tutorial, "a");
    QTest::newRow("first occurrence takes the second as its value")
        << QStringList{"nimbrel", "--check-tutorial", "--check-tutorial", "b"}
        << request(Check::Tutorial, "--check-tutorial");
    QTest::newRow("trailing flag as a value")
        << QStringList{"nimbrel", "--idle-report", "--check-menus"}
        << request(Check::IdleReport, "--check-menus");
    QTest::newRow("menus win over a flag before them")
        << QStringList{"nimbrel", "--idle-report", "i", "--check-menus", "m"}
        << request(Check::Menus, "m");
    QTest::newRow("snapshots win over idle report")
        << QStringList{"nimbrel", "--idle-report", "i", "--snapshot-windows", "s"}
        << request(Check::WindowSnapshots, "s");
    QTest::newRow("value attached") << QStringList{"nimbrel", "--check-menus=m", "x"} << none;
    QTest::newRow("other case") << QStringList{"nimbrel", "--Check-Menus", "m"} << none;
}

void tst_StartupFlags::checkRequest()
{
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<CheckRequest>, expected);
    QVERIFY(StartupFlags::checkRequest(arguments) == expected);
}

void tst_StartupFlags::answerRequest_data()
{
    using StartupFlags::Answer;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<Answer>>("expected");
    const std::optional<Answer> none;
    QTest::newRow("usual run") << QStringList{"nimbrel"} << none;
    QTest::newRow("help") << QStringList{"nimbrel", "--help"} << std::optional(Answer::Help);
    QTest::newRow("short help") << QStringList{"nimbrel", "-h"} << std::optional(Answer::Help);
    QTest::newRow("version") << QStringList{"nimbrel", "--version"}
                             << std::optional(Answer::Version);
    QTest::newRow("the first wins")
        << QStringList{"nimbrel", "--version", "--help"} << std::optional(Answer::Version);
    QTest::newRow("a self-check's path")
        << QStringList{"nimbrel", "--check-menus", "--help"} << none;
    QTest::newRow("after a self-check")
        << QStringList{"nimbrel", "--idle-report", "i", "--help"} << std::optional(Answer::Help);
    QTest::newRow("program path") << QStringList{"--help"} << none;
}

void tst_StartupFlags::answerRequest()
{
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<StartupFlags::Answer>, expected);
    QVERIFY(StartupFlags::answerRequest(arguments) == expected);
}

QTEST_APPLESS_MAIN(tst_StartupFlags)
#include "tst_StartupFlags.moc"
