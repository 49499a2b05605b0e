#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Run in a child copy of this test: one launch of the program, which prints its role and, as
// the primary, keeps serving until it is killed.
constexpr char launchFlag[] = "--launch";
const QString name = QStringLiteral("nimbrel-test");

enum class Folder { Missing, Relative, Private, OpenToGroup, SomeoneElses, LinkToPrivate };

bool make(const QString& path, Folder folder)
{
    const QByteArray native = QFile::encodeName(path);
    if (folder == Folder::LinkToPrivate)
        return make(path + ".target", Folder::Private) &&
               symlink((native + ".target").constData(), native.constData()) == 0;
    return mkdir(native.constData(), 0700) == 0 &&
           chmod(native.constData(), folder == Folder::OpenToGroup ? 0750 : 0700) == 0 &&
           (folder != Folder::SomeoneElses || chown(native.constData(), 65534, 65534) == 0);
}

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void laterLaunchesReachTheRunningOne();
    void launchAfterAKilledOneListens();
    void displaysKeptApart_data();
    void displaysKeptApart();
    void lockHeldLongLeavesTheStartToItsHolder();
    void launchesAtOnceBesideAStoppedOneStartNothing();
    void privateFolder_data();
    void privateFolder();

private:
    std::unique_ptr<QTemporaryDir> runtime;
};

void tst_SingleInstance::init()
{
    runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(runtime->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    qputenv("DISPLAY", ":7");
    qunsetenv("WAYLAND_DISPLAY");
}

void tst_SingleInstance::laterLaunchesReachTheRunningOne()
{
    SingleInstance primary(name);
    QCOMPARE(primary.start(), SingleInstance::Role::Primary);
    QSignalSpy reopened(&primary, &SingleInstance::reopenRequested);
    for (int launches = 1; launches <= 2; ++launches) {
        QProcess launch;
        launch.start(QCoreApplication::applicationFilePath(), {launchFlag});
        QTRY_COMPARE_WITH_TIMEOUT(reopened.count(), launches, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(launch.state(), QProcess::NotRunning, 30000);
        QCOMPARE(launch.exitCode(), 0);
        QCOMPARE(launch.readAllStandardOutput(), "secondary\n");
    }
}

void tst_SingleInstance::launchAfterAKilledOneListens()
{
    QProcess crashing;
    crashing.start(QCoreApplication::applicationFilePath(), {launchFlag});
    QVERIFY(crashing.waitForReadyRead(30000));
    QCOMPARE(crashing.readAllStandardOutput(), "primary\n");
    crashing.kill();
    QVERIFY(crashing.waitForFinished(30000));

    SingleInstance next(name);
    QVERIFY(QFileInfo(next.socketPath()).exists());
    QCOMPARE(next.start(), SingleInstance::Role::Primary);
}

void tst_SingleInstance::displaysKeptApart_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("X displays") << QByteArray("DISPLAY") << QByteArray(":0") << QByteArray(":1");
    QTest::newRow("look-alike") << QByteArray("DISPLAY") << QByteArray(":0") << QByteArray("%3A0");
    QTest::newRow("Wayland by path")
        << QByteArray("WAYLAND_DISPLAY") << QByteArray("/run/user/0/wayland-0")
        << QByteArray("/run/user/0/wayland-1");
    const QByteArray deep = "/tmp/" + QByteArray(80, 'd') + "/wayland-";
    QTest::newRow("Wayland by a path too long for a socket name")
        << QByteArray("WAYLAND_DISPLAY") << deep + '0' << deep + '1';
}

void tst_SingleInstance::displaysKeptApart()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    qputenv(variable.constData(), first);
    SingleInstance onFirst(name);
    qputenv(variable.constData(), second);
    SingleInstance onSecond(name);
    QCOMPARE(onFirst.start(), SingleInstance::Role::Primary);
    QCOMPARE(onSecond.start(), SingleInstance::Role::Primary);
}

void tst_SingleInstance::lockHeldLongLeavesTheStartToItsHolder()
{
    SingleInstance launch(name);
    QLockFile otherLaunch(launch.socketPath() + ".lock");
    QVERIFY(otherLaunch.lock());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Another launch holds .* is starting"));
    QCOMPARE(launch.start(), SingleInstance::Role::Secondary);
    QVERIFY(!QFileInfo::exists(launch.socketPath()));
}

// A running tray program too busy to answer (stopped here) and two launches at once: each waits
// its turn at the lock and hands over; neither starts a second, unguarded program.
void tst_SingleInstance::launchesAtOnceBesideAStoppedOneStartNothing()
{
    QProcess running;
    running.start(QCoreApplication::applicationFilePath(), {launchFlag});
    QVERIFY(running.waitForReadyRead(30000));
    QCOMPARE(running.readAllStandardOutput(), "primary\n");
    const auto resume = qScopeGuard([&] {
        kill(pid_t(running.processId()), SIGCONT);
        running.kill();
        running.waitForFinished(30000);
    });
    QCOMPARE(kill(pid_t(running.processId()), SIGSTOP), 0);

    QProcess first, second;
    for (QProcess* launch : {&first, &second}) {
        launch->setProcessChannelMode(QProcess::SeparateChannels);
        launch->start(QCoreApplication::applicationFilePath(), {launchFlag});
    }
    for (QProcess* launch : {&first, &second}) {
        QVERIFY(launch->waitForFinished(30000));
        QCOMPARE(launch->exitCode(), 0);
        QCOMPARE(launch->readAllStandardOutput(), "secondary\n");
    }
}

void tst_SingleInstance::privateFolder_data()
{
    QTest::addColumn<Folder>("runtimeFolder");
    QTest::addColumn<Folder>("sharedFolder"); // under /tmp
    QTest::addColumn<Folder>("ownFolder");    // under the user's cache folder
    QTest::addColumn<QString>("chosen");
    const Folder missing = Folder::Missing;
    QTest::newRow("runtime") << Folder::Private << missing << missing << "runtime";
    QTest::newRow("no runtime") << missing << missing << missing << "shared";
    QTest::newRow("relative runtime") << Folder::Relative << Folder::Private << missing << "shared";
    QTest::newRow("runtime a link") << Folder::LinkToPrivate << missing << missing << "shared";
    QTest::newRow("shared taken by another user")
        << missing << Folder::SomeoneElses << missing << "own";
    QTest::newRow("shared a link") << missing << Folder::LinkToPrivate << missing << "own";
    QTest::newRow("shared open") << missing << Folder::OpenToGroup << missing << "own";
    QTest::newRow("shared taken, own open")
        << missing << Folder::SomeoneElses << Folder::OpenToGroup << "";
    QTest::newRow("shared taken, own a link")
        << missing << Folder::SomeoneElses << Folder::LinkToPrivate << "";
}

void tst_SingleInstance::privateFolder()
{
    QFETCH(Folder, runtimeFolder);
    QFETCH(Folder, sharedFolder);
    QFETCH(Folder, ownFolder);
    QFETCH(QString, chosen);
    if (sharedFolder == Folder::SomeoneElses && geteuid() != 0)
        QSKIP("giving a folder to another user needs root");
    const QString runtimePath = runtime->filePath("run");
    const QString sharedPath = runtime->filePath("tmp/nimbrel-%1").arg(geteuid());
    const QString ownPath = runtime->filePath("cache/nimbrel-run");
    QVERIFY(QDir().mkpath(runtime->filePath("tmp")));
    QVERIFY(QDir().mkpath(runtime->filePath("cache")));
    // The relative path leads to a good folder, so only its being relative can refuse it.
    const bool relative = runtimeFolder == Folder::Relative;
    qputenv(
        "XDG_RUNTIME_DIR",
        QFile::encodeName(relative ? QDir::current().relativeFilePath(runtimePath) : runtimePath));
    if (runtimeFolder != Folder::Missing)
        QVERIFY(make(runtimePath, relative ? Folder::Private : runtimeFolder));
    if (sharedFolder != Folder::Missing)
        QVERIFY(make(sharedPath, sharedFolder));
    if (ownFolder != Folder::Missing)
        QVERIFY(make(ownPath, ownFolder));

    const std::optional<QString> folder =
        SingleInstance::privateFolder(runtime->filePath("tmp"), runtime->filePath("cache"));
    const QString expected = chosen == "runtime"  ? runtimePath
                             : chosen == "shared" ? sharedPath
                                                  : ownPath;
    QCOMPARE(folder, chosen.isEmpty() ? std::nullopt : std::optional(expected));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], launchFlag) == 0) {
        SingleInstance launch(name);
        const SingleInstance::Role role = launch.start();
        const char* said = role == SingleInstance::Role::Primary     ? "primary\n"
                           : role == SingleInstance::Role::Secondary ? "secondary\n"
                                                                     : "unguarded\n";
        fputs(said, stdout);
        fflush(stdout);
        return role == SingleInstance::Role::Primary ? app.exec() : 0;
    }
    tst_SingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SingleInstance.moc"
