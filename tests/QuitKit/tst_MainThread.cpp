#include "MainThread.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstring>
#include <thread>

namespace
{

// Run in a child copy of this test: must never come back from the other thread.
constexpr char offMainThreadFlag[] = "--call-off-main-thread";

} // namespace

class TestMainThread : public QObject
{
    Q_OBJECT

private slots:
    void knowsTheMainThread()
    {
        QVERIFY(isMainThread());
        bool elsewhere = true;
        std::thread([&] { elsewhere = isMainThread(); }).join();
        QVERIFY(!elsewhere);
        requireMainThread("the test");
    }

    void stopsTheProgramOffTheMainThread()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {offMainThreadFlag});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QByteArray output = child.readAllStandardError();
        QVERIFY2(output.contains("the entry point must run on the main thread"),
                 output.constData());
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], offMainThreadFlag) == 0) {
        std::thread([] { requireMainThread("the entry point"); }).join();
        return 0;
    }
    TestMainThread test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_MainThread.moc"
