#include "ProcFixture.h"
#include "VideoCaptureDevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace
{

constexpr pid_t recorder = 500, other = 501;

} // namespace

class TestVideoCaptureDevices : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProcFixture> proc;
    std::unique_ptr<QTemporaryDir> dev;

    void addDevice(const QString& name)
    {
        QFile device(dev->filePath(name));
        QVERIFY(device.open(QIODevice::WriteOnly));
    }

    // Gives `pid` descriptor `fd` on `target`, as /proc/PID/fd shows open files.
    void addDescriptor(pid_t pid, int fd, const QString& target)
    {
        const QString folder = proc->root() + QStringLiteral("/%1/fd").arg(pid);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(target, folder + QStringLiteral("/%1").arg(fd)));
    }

    // What a program opening and closing the device would make inotify tell.
    void touchDevice(const QString& name)
    {
        const int fd = ::open(QFile::encodeName(dev->filePath(name)).constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        ::close(fd);
    }

private slots:
    void init()
    {
        proc = std::make_unique<ProcFixture>();
        dev = std::make_unique<QTemporaryDir>();
        proc->add(recorder, {});
        proc->add(other, {});
    }

    void openDescriptors_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<bool>("owned");
        QTest::addColumn<bool>("capturing");
        QTest::newRow("a camera open")
            << QStringList{"video0"} << QStringList{"/dev/null", "/dev/video0"} << true << true;
        QTest::newRow("other devices open")
            << QStringList{"video1"} << QStringList{"/dev/video10", "/dev/snd/pcmC0D0c"} << true
            << false;
        QTest::newRow("no camera on the machine")
            << QStringList{} << QStringList{"/dev/video0"} << true << false;
        QTest::newRow("another user's process")
            << QStringList{"video0"} << QStringList{"/dev/video0"} << false << false;
    }

    void openDescriptors()
    {
        QFETCH(QStringList, devices);
        QFETCH(QStringList, targets);
        QFETCH(bool, owned);
        QFETCH(bool, capturing);
        for (const QString& device : devices)
            addDevice(device);
        for (int i = 0; i < targets.size(); ++i)
            addDescriptor(recorder, 3 + i, targets[i]);
        if (!owned) {
            const QByteArray folder = QFile::encodeName(proc->root()) + "/500";
            if (::chown(folder.constData(), 65534, 65534) != 0)
                QSKIP("only root can give a fixture process to another user");
        }
        VideoCaptureDevices cameras(proc->root(), dev->path());
        QCOMPARE(cameras.capturingProcesses(), capturing ? QSet<pid_t>{recorder} : QSet<pid_t>{});
    }

    void answersFollowOpenAndClose()
    {
        addDevice(QStringLiteral("video0"));
        addDescriptor(recorder, 3, QStringLiteral("/dev/video0"));
        VideoCaptureDevices cameras(proc->root(), dev->path());
        QCOMPARE(cameras.capturingProcesses(), QSet<pid_t>{recorder});

        // Nothing is walked again until a device is opened or closed.
        addDescriptor(other, 3, QStringLiteral("/dev/video0"));
        QCOMPARE(cameras.capturingProcesses(), QSet<pid_t>{recorder});
        touchDevice(QStringLiteral("video0"));
        QCOMPARE(cameras.capturingProcesses(), (QSet<pid_t>{recorder, other}));

        // A camera plugged in later is watched too.
        addDevice(QStringLiteral("video2"));
        QFile::remove(proc->root() + QStringLiteral("/501/fd/3"));
        addDescriptor(other, 4, QStringLiteral("/dev/video2"));
        QCOMPARE(cameras.capturingProcesses(), (QSet<pid_t>{recorder, other}));
        QFile::remove(proc->root() + QStringLiteral("/501/fd/4"));
        touchDevice(QStringLiteral("video2"));
        QCOMPARE(cameras.capturingProcesses(), QSet<pid_t>{recorder});
    }

    // Without watches each question reads afresh: nothing is missed for want of an event.
    void askedOnceReadsAfresh()
    {
        VideoCaptureDevices cameras(proc->root(), dev->path(), CaptureAsking::once);
        QCOMPARE(cameras.capturingProcesses(), QSet<pid_t>{});
        addDevice(QStringLiteral("video0"));
        addDescriptor(recorder, 3, QStringLiteral("/dev/video0"));
        QCOMPARE(cameras.capturingProcesses(), QSet<pid_t>{recorder});
        addDescriptor(other, 3, QStringLiteral("/dev/video0"));
        QCOMPARE(cameras.capturingProcesses(), (QSet<pid_t>{recorder, other}));
    }

    void realCamera()
    {
        const QStringList found =
            QDir(QStringLiteral("/dev")).entryList({QStringLiteral("video*")}, QDir::System);
        if (found.isEmpty())
            QSKIP("no /dev/video* here (a camera or the v4l2loopback module would add one)");
        VideoCaptureDevices cameras;
        QVERIFY(!cameras.capturingProcesses().contains(::getpid()));
        const QByteArray path = "/dev/" + QFile::encodeName(found.first());
        const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            QSKIP("the camera cannot be opened here");
        QVERIFY(cameras.capturingProcesses().contains(::getpid()));
        ::close(fd);
        QVERIFY(!cameras.capturingProcesses().contains(::getpid()));
    }
};

QTEST_GUILESS_MAIN(TestVideoCaptureDevices)
#include "tst_VideoCaptureDevices.moc"
