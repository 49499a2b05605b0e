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

QTEST_APPLESS_MAIN(tst_StartupFlags)
#include "tst_StartupFlags.moc"
