#include "DesktopSession.h"
#include "DesktopUser.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>

#include <memory>

namespace
{

// A check waits for its windows to show; a loaded machine takes its time.
constexpr int checkTimeout = 120000;

QStringList lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Whether every pixel of the picture has one colour, as a window that drew nothing has.
bool blank(const QImage& picture)
{
    const QRgb first = picture.pixel(0, 0);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) != first)
                return false;
        }
    }
    return true;
}

} // namespace

// Runs the program's four self-checks for real, each in a home of its own, on a private desktop
// with a tray.
class tst_SelfChecks : public QObject
{
    Q_OBJECT

    DesktopSession session;

    std::unique_ptr<QProcess> runCheck(const QString& home, const QStringList& arguments,
                                       const QHash<QString, QString>& extra = {})
    {
        QHash<QString, QString> environment = extra;
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        std::unique_ptr<QProcess> process = DesktopSession::process(environment);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(QStringLiteral(NIMBREL_PATH), arguments);
        return process;
    }

    QString home(const QString& name)
    {
        const QString path = session.scratchPath(name);
        QDir().mkpath(path);
        return path;
    }

    static void finishes(QProcess& process, int status)
    {
        QVERIFY(process.waitForFinished(checkTimeout));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
    }

public:
    static void initMain() { DesktopUser::becomeUnprivileged(); }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        if (const std::optional<QString> problem = session.startTray())
            QFAIL(qPrintable(*problem));
    }

    void menus()
    {
        const QString result = home(QStringLiteral("menus")) + QStringLiteral("/menus.txt");
        const auto check =
            runCheck(home(QStringLiteral("menus")), {QStringLiteral("--check-menus"), result});
        finishes(*check, 0);
        const QStringList written = lines(result);
        QCOMPARE(written.size(), 20);
        QCOMPARE(written.last(), QStringLiteral("ok"));
        for (const QString& line : written.mid(0, 19))
            QVERIFY2(line.startsWith(QStringLiteral("ok ")), qPrintable(line));
    }

    void brokenMenuFails()
    {
        const QString result = home(QStringLiteral("broken")) + QStringLiteral("/menus.txt");
        const auto check =
            runCheck(home(QStringLiteral("broken")), {QStringLiteral("--check-menus"), result},
                     {{QStringLiteral("NIMBREL_TEST_REDO_WITHOUT_SHIFT"), QStringLiteral("1")}});
        finishes(*check, 1);
        const QStringList written = lines(result);
        QCOMPARE(written.value(0), QStringLiteral("FAIL menu bar: Redo"));
        QCOMPARE(written.last(), QStringLiteral("FAILED"));
        QCOMPARE(written.size(), 20);
    }

    void tutorial()
    {
        const QString result = home(QStringLiteral("tutorial")) + QStringLiteral("/tutorial.txt");
        const auto check = runCheck(home(QStringLiteral("tutorial")),
                                    {QStringLiteral("--check-tutorial"), result});
        finishes(*check, 0);
        const QStringList written = lines(result);
        QCOMPARE(written.last(), QStringLiteral("ok"));
        QVERIFY(written.contains(
            QStringLiteral("ok the sample closes six apps — “Closed 6 apps, freed 5.7 GB”")));
    }

    void snapshots()
    {
        const QString folder = home(QStringLiteral("snap")) + QStringLiteral("/pictures/new");
        const auto check =
            runCheck(home(QStringLiteral("snap")), {QStringLiteral("--snapshot-windows"), folder});
        finishes(*check, 0);
        const QStringList report = lines(folder + QStringLiteral("/report.txt"));
        const QStringList names{"nimbrel-list-light",     "nimbrel-done-light",
                                "nimbrel-tutorial-light", "nimbrel-list-dark",
                                "nimbrel-done-dark",      "nimbrel-tutorial-dark"};
        QCOMPARE(report.size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY2(report[i].startsWith(names[i] + QStringLiteral(": ")), qPrintable(report[i]));
            const QImage picture(folder + QLatin1Char('/') + names[i] + QStringLiteral(".png"));
            QVERIFY2(!picture.isNull() && !blank(picture), qPrintable(names[i]));
            QCOMPARE(report[i], QStringLiteral("%1: %2×%3")
                                    .arg(names[i])
                                    .arg(picture.width())
                                    .arg(picture.height()));
        }
    }

    void idle_data()
    {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("two seconds")
            << QStringLiteral("2") << 0 << QStringLiteral("idle 2 s: cpu ");
        QTest::newRow("negative") << QStringLiteral("-5") << 1
                                  << QStringLiteral(
                                         "FAIL NIMBREL_IDLE_SECONDS=-5 is not a usable length");
        QTest::newRow("infinite") << QStringLiteral("inf") << 1
                                  << QStringLiteral(
                                         "FAIL NIMBREL_IDLE_SECONDS=inf is not a usable length");
    }

    void idle()
    {
        QFETCH(QString, seconds);
        QFETCH(int, status);
        QFETCH(QString, firstLine);
        const QString where = home(QStringLiteral("idle-") + QTest::currentDataTag());
        const QString result = where + QStringLiteral("/idle.txt");
        const auto check = runCheck(where, {QStringLiteral("--idle-report"), result},
                                    {{QStringLiteral("NIMBREL_IDLE_SECONDS"), seconds}});
        finishes(*check, status);
        const QStringList written = lines(result);
        QVERIFY2(written.value(0).startsWith(firstLine), qPrintable(written.value(0)));
        QCOMPARE(written.size(), 2);
        QCOMPARE(written.last(), status == 0 ? QStringLiteral("ok") : QStringLiteral("FAILED"));
    }
};

QTEST_MAIN(tst_SelfChecks)
#include "tst_SelfChecks.moc"
