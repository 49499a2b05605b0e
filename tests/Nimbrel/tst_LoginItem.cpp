#include "LoginItem.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

Q_DECLARE_METATYPE(LoginItem::Status)

namespace
{

using Status = LoginItem::Status;

const QString programId = QStringLiteral("dev.corvane.Nimbrel");
const QByteArray ours = "[Desktop Entry]\nType=Application\nName=Nimbrel\nExec=/usr/bin/nimbrel\n"
                        "X-Nimbrel-Autostart=true\n";

// What sits at `path` itself, to tell whether anything replaced or changed it.
QByteArray fingerprint(const QString& path)
{
    struct stat info = {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(quint64(info.st_ino)) + ' ' + QByteArray::number(info.st_mode) + ' ' +
           QByteArray::number(qint64(info.st_size)) + ' ' +
           QByteArray::number(qint64(info.st_mtim.tv_nsec));
}

// Root could replace a real device through a broken ownership check, so root links to a device
// node of the test's own.
bool linkToDevice(const QString& path)
{
    if (geteuid() != 0)
        return QFile::link("/dev/zero", path);
    const QString device = QFileInfo(path).absolutePath() + "/zero";
    return mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0 &&
           QFile::link(device, path);
}

} // namespace

class tst_LoginItem : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void configDirectory_data();
    void configDirectory();
    void existingEntry_data();
    void existingEntry();
    void sessionStartsTheProgram_data();
    void sessionStartsTheProgram();

private:
    QString entryPath() const { return config->path() + "/autostart/" + programId + ".desktop"; }

    std::unique_ptr<QTemporaryDir> config;
};

void tst_LoginItem::init()
{
    config = std::make_unique<QTemporaryDir>();
    QVERIFY(config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
}

void tst_LoginItem::configDirectory_data()
{
    QTest::addColumn<QByteArray>("xdgConfigHome");
    QTest::addColumn<bool>("used");
    QTest::newRow("absolute") << QByteArray("/elsewhere/config") << true;
    QTest::newRow("relative") << QByteArray("relative/config") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void tst_LoginItem::configDirectory()
{
    QFETCH(QByteArray, xdgConfigHome);
    QFETCH(bool, used);
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(config->path()));
    qputenv("XDG_CONFIG_HOME", xdgConfigHome);
    const QString path = LoginItem(programId, "/usr/bin/nimbrel").path();
    qputenv("HOME", home);
    QCOMPARE(path, (used ? QString::fromUtf8(xdgConfigHome) : config->path() + "/.config") +
                       "/autostart/dev.corvane.Nimbrel.desktop");
}

void tst_LoginItem::existingEntry_data()
{
    QTest::addColumn<QString>("placed");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<Status>("status");
    QTest::newRow("nothing") << "nothing" << QByteArray() << Status::NotRegistered;
    QTest::newRow("ours") << "file" << ours << Status::Enabled;
    QTest::newRow("ours, hidden") << "file" << ours + "Hidden=true\n" << Status::Disabled;
    QTest::newRow("ours, switched off by the session")
        << "file" << ours + "X-GNOME-Autostart-enabled=false\n"
        << Status::Disabled;
    QTest::newRow("ours, both keys saying on")
        << "file" << ours + "Hidden=false\nX-GNOME-Autostart-enabled=true\n"
        << Status::Enabled;
    QTest::newRow("someone else's")
        << "file" << QByteArray("[Desktop Entry]\nType=Application\nName=Other\nExec=other\n")
        << Status::NotOurs;
    QTest::newRow("marker false") << "file" << QByteArray(ours).replace("=true", "=false")
                                  << Status::NotOurs;
    QTest::newRow("marker in another group")
        << "file" << QByteArray(ours).replace("X-Nimbrel", "[Desktop Action x]\nX-Nimbrel")
        << Status::NotOurs;
    QTest::newRow("not a key file") << "file" << ours + "no equals sign\n" << Status::NotOurs;
    QTest::newRow("over 64 KiB") << "file" << ours + "#" + QByteArray(64 * 1024, 'x') + "\n"
                                 << Status::NotOurs;
    QTest::newRow("FIFO") << "fifo" << QByteArray() << Status::NotOurs;
    QTest::newRow("symlink to a device") << "device" << QByteArray() << Status::NotOurs;
    QTest::newRow("dangling symlink") << "symlink" << QByteArray("gone") << Status::NotOurs;
}

void tst_LoginItem::existingEntry()
{
    QFETCH(QString, placed);
    QFETCH(QByteArray, contents);
    QFETCH(Status, status);
    const QString path = entryPath();
    QVERIFY(QDir().mkpath(config->path() + "/autostart"));
    if (placed == "file")
        QVERIFY(TestFiles::writeFile(path, contents));
    else if (placed == "fifo")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (placed == "symlink")
        QVERIFY(QFile::link(QString::fromUtf8(contents), path));
    else if (placed == "device")
        QVERIFY(linkToDevice(path));
    const QByteArray before = fingerprint(path);
    const LoginItem item(programId, "/usr/bin/nimbrel");
    QCOMPARE(item.status(), status);

    if (status == Status::NotOurs) {
        QVERIFY(item.registerItem().has_value());
        QVERIFY(item.unregisterItem().has_value());
        QCOMPARE(fingerprint(path), before);
        return;
    }
    QCOMPARE(item.registerItem(), std::nullopt);
    QCOMPARE(item.status(), Status::Enabled);
    QVERIFY(item.isEnabled());
    QCOMPARE(item.unregisterItem(), std::nullopt);
    QCOMPARE(item.status(), Status::NotRegistered);
    QCOMPARE(fingerprint(path), QByteArray());
}

void tst_LoginItem::sessionStartsTheProgram_data()
{
    QTest::addColumn<QString>("launcher");
    QTest::addColumn<QString>("programName");
    QTest::newRow("dex, space") << "dex"
                                << "start nimbrel";
    QTest::newRow("GIO, space") << "gio"
                                << "start nimbrel";
    QTest::newRow("GIO, shell characters") << "gio"
                                           << "it's \"$HOME\" `x` \\ (a);b";
}

void tst_LoginItem::sessionStartsTheProgram()
{
    QFETCH(QString, launcher);
    QFETCH(QString, programName);
    const QString folder = config->path() + "/my programs";
    const QString program = folder + '/' + programName;
    const QString started = folder + "/started";
    // The program reports the path it was started by.
    QVERIFY(TestFiles::writeFile(program, "#!/bin/sh\nprintf %s \"$0\" > \"${0%/*}/started\"\n"));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    const LoginItem item(programId, program);
    QCOMPARE(item.registerItem(), std::nullopt);

    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start("desktop-file-validate", {item.path()});
    QVERIFY2(validate.waitForFinished(), "desktop-file-validate is missing; run scripts/setup.sh");
    QVERIFY2(validate.exitCode() == 0 && validate.readAll().isEmpty(),
             TestFiles::readFile(item.path()).constData());

    // dex in autostart mode, limited to our folder so the machine's own entries stay put.
    QProcess launch;
    launch.setProcessChannelMode(QProcess::MergedChannels);
    launch.start(launcher, launcher == "dex" ? QStringList{"--autostart", "--search-paths",
                                                           config->path() + "/autostart"}
                                             : QStringList{"launch", item.path()});
    QVERIFY2(launch.waitForFinished(60000), qPrintable(launcher + " is missing or hangs"));
    QVERIFY2(launch.exitCode() == 0, launch.readAll().constData());
    QTRY_COMPARE_WITH_TIMEOUT(TestFiles::readFile(started), program.toUtf8(), 20000);
}

QTEST_GUILESS_MAIN(tst_LoginItem)
#include "tst_LoginItem.moc"
