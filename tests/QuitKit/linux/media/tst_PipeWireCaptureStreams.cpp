#include "InUseApps.h"
#include "PipeWireCaptureStreams.h"
#include "ProcProcessInfo.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace
{

// Whether a daemon listens on `path`: the socket file comes a moment before that.
bool listening(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    qstrncpy(address.sun_path, encoded.constData(), sizeof address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

class TestPipeWireCaptureStreams : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime;
    QTemporaryDir recordings;
    QProcess daemon;
    // Stands in for an app: a shell that starts pw-record, then becomes a sleep that never reaps
    // it, so the recorder's pid outlives its stream.
    QProcess app;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pipewire")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pw-record")).isEmpty())
            QSKIP("needs pipewire and pw-record (Debian packages pipewire, pipewire-bin)");
        // A private daemon: its socket is all the code under test and pw-record look for.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qunsetenv("PIPEWIRE_RUNTIME_DIR");
        qunsetenv("PIPEWIRE_REMOTE");
    }

    void cleanupTestCase()
    {
        app.kill();
        app.waitForFinished();
        daemon.terminate();
        daemon.waitForFinished();
    }

    void followsTheDaemonAndItsStreams()
    {
        PipeWireCaptureStreams streams;
        QVERIFY(streams.settle(5s));
        QVERIFY(streams.capturingProcesses().isEmpty());

        daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        daemon.start(QStringLiteral("pipewire"), {});
        QTRY_VERIFY(listening(runtime.filePath(QStringLiteral("pipewire-0"))));
        app.start(QStringLiteral("sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("pw-record --target 0 \"$0\" & echo $!; exec sleep 600"),
                   recordings.filePath(QStringLiteral("call.wav"))});
        QVERIFY(app.waitForReadyRead());
        const pid_t recorder = app.readLine().trimmed().toInt();
        QTRY_VERIFY(streams.capturingProcesses().contains(recorder));
        // The recorder records for the app that started it.
        const pid_t appPid = pid_t(app.processId());
        QCOMPARE(InUseApps::owners(ProcProcessInfo(), streams.capturingProcesses(), {appPid}),
                 QSet<pid_t>{appPid});

        // One who asks once gets the streams open already.
        PipeWireCaptureStreams asking;
        QVERIFY(asking.settle(5s));
        QVERIFY(asking.capturingProcesses().contains(recorder));
        // A claim counts only for a process of this user's (none in an empty /proc).
        QTemporaryDir noProcesses;
        PipeWireCaptureStreams elsewhere(noProcesses.path());
        QVERIFY(elsewhere.settle(5s));
        QVERIFY(elsewhere.capturingProcesses().isEmpty());

        // The stream ends; the recorder's pid stays, unreaped.
        ::kill(recorder, SIGTERM);
        QTRY_VERIFY(!streams.capturingProcesses().contains(recorder));
        QVERIFY(QFile::exists(QStringLiteral("/proc/%1").arg(recorder)));
    }
};

QTEST_GUILESS_MAIN(TestPipeWireCaptureStreams)
#include "tst_PipeWireCaptureStreams.moc"
