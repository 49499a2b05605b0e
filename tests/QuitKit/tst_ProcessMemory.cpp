#include "ProcFixture.h"
#include "ProcProcessInfo.h"
#include "ProcessMemory.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <functional>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const QString editorUnit = QStringLiteral("app-gnome-org.example.Editor-100.scope");
constexpr pid_t editor = 100, browser = 200, player = 300, launched = 400;

// One tree for every attribution rule; footprints are distinct powers of two (kB), so each total
// tells exactly which processes went into it.
void buildTree(ProcFixture& proc)
{
    proc.add(1, {.parent = 0, .startTime = 1, .rollupKb = 1u << 20});
    proc.add(editor, {.startTime = 1000, .rollupKb = 1, .unit = editorUnit});
    proc.add(101, {.parent = editor, .startTime = 1001, .rollupKb = 2, .unit = editorUnit});
    proc.add(102, {.parent = 101, .startTime = 1002, .rollupKb = 4});
    // A service the editor's unit started under the init process.
    proc.add(110, {.startTime = 1005, .rollupKb = 8, .unit = editorUnit});
    // Belongs to no app.
    proc.add(120, {.startTime = 900, .rollupKb = 128});
    // The browser's child, but in the editor's unit: the responsible process wins.
    proc.add(130, {.parent = browser, .startTime = 1010, .rollupKb = 16, .unit = editorUnit});
    // Readable only through status: no rollup file, or a rollup too old to split Pss.
    proc.add(160, {.parent = editor, .rollupKb = std::nullopt, .statusKb = 32});
    proc.add(161, {.parent = editor, .statusKb = 64});
    proc.write(161, QStringLiteral("smaps_rollup"), "Rss: 9999 kB\nPss: 9999 kB\n");
    // Gone between listing and reading.
    proc.addVanished(140);
    proc.add(150, {.parent = editor, .rollupKb = std::nullopt});
    QFile::remove(proc.root() + QStringLiteral("/150/status"));

    proc.add(browser, {.startTime = 2000, .rollupKb = 256});
    // 201..213: a chain of descendants, 213 being 13 steps below the browser.
    for (pid_t pid = 201; pid <= 213; ++pid)
        proc.add(pid, {.parent = pid - 1, .startTime = 2000 + quint64(pid), .rollupKb = 0});
    proc.add(212, {.parent = 211, .rollupKb = 512});
    proc.add(213, {.parent = 212, .rollupKb = 1024});

    proc.add(player, {.startTime = 3000, .rollupKb = 2048});

    // An app started from the editor (a terminal, a launcher) shares its unit; so does its helper.
    proc.add(launched, {.parent = 101, .startTime = 1020, .rollupKb = 4096, .unit = editorUnit});
    proc.add(401, {.parent = launched, .startTime = 1021, .rollupKb = 8192, .unit = editorUnit});
}

const QSet<pid_t> apps{editor, browser, player, launched};

// What quitting a process frees, read here independently of the code under test.
quint64 rollupBytes(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QString text = QString::fromLatin1(file.readAll());
    static const QRegularExpression line(
        QStringLiteral("^(?:Pss_Anon|Pss_Shmem|SwapPss|Private_Hugetlb):\\s+(\\d+) kB$"),
        QRegularExpression::MultilineOption);
    quint64 kilobytes = 0;
    for (const QRegularExpressionMatch& match : line.globalMatch(text))
        kilobytes += match.captured(1).toULongLong();
    return kilobytes * 1024;
}

// How often `work` opened each file ("PID/name") in the process folders under `root`, as the
// kernel reports it.
QHash<QString, int> countOpens(const QString& root, const std::function<void()>& work)
{
    const int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QHash<int, QString> folders;
    for (const QString& folder : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray path = QFile::encodeName(root + QLatin1Char('/') + folder);
        folders.insert(inotify_add_watch(watcher, path.constData(), IN_OPEN), folder);
    }
    work();
    QHash<QString, int> opens;
    alignas(inotify_event) char events[64 * 1024];
    for (ssize_t size; (size = read(watcher, events, sizeof events)) > 0;) {
        for (const char* at = events; at < events + size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->len > 0)
                opens[folders.value(event->wd) + QLatin1Char('/') +
                      QString::fromUtf8(event->name)]++;
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(watcher);
    return opens;
}

bool readAll(int fd, void* data, size_t size)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 20000) != 1)
            return false;
        const ssize_t n = read(fd, bytes, size);
        if (n <= 0)
            return false;
        bytes += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

class TestProcessMemory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { buildTree(proc); }

    void owner_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("owner"); // 0: none
        QTest::newRow("an app owns itself") << int(editor) << int(editor);
        QTest::newRow("child") << 101 << int(editor);
        QTest::newRow("grandchild outside the unit") << 102 << int(editor);
        QTest::newRow("service under init, in the app's unit") << 110 << int(editor);
        QTest::newRow("process of no app") << 120 << 0;
        QTest::newRow("responsible wins over parent") << 130 << int(editor);
        QTest::newRow("app started inside another app's unit") << int(launched) << int(launched);
        QTest::newRow("its helper in that unit") << 401 << int(launched);
        QTest::newRow("12 steps below") << 212 << int(browser);
        QTest::newRow("13 steps below") << 213 << 0;
        QTest::newRow("vanished") << 140 << 0;
        QTest::newRow("init") << 1 << 0;
        QTest::newRow("no such process") << 999 << 0;
    }

    void owner()
    {
        QFETCH(int, pid);
        QFETCH(int, owner);
        const std::optional<pid_t> found = ProcessMemory::owner(info(), pid, apps);
        QCOMPARE(found.value_or(0), owner);
    }

    void responsible()
    {
        QCOMPARE(ProcessMemory::responsible(info(), 110), editor);
        QCOMPARE(ProcessMemory::responsible(info(), editor), editor);
        QCOMPARE(ProcessMemory::responsible(info(), 102), 102);
        QCOMPARE(ProcessMemory::responsible(info(), 140), 140);
    }

    void oldestProcessOfTheUnitIsResponsible()
    {
        ProcFixture tied;
        const QString unit = QStringLiteral("app-kde-org.kde.kate@1.service");
        tied.add(50, {.startTime = 7, .unit = unit});
        tied.add(40, {.startTime = 7, .unit = unit});
        tied.add(30, {.startTime = 8, .unit = unit});
        const ProcProcessInfo tiedInfo(tied.root());
        QCOMPARE(ProcessMemory::responsible(tiedInfo, 50), 40);
        QCOMPARE(ProcessMemory::responsible(tiedInfo, 30), 40);
    }

    void totals()
    {
        const QHash<pid_t, quint64> totals =
            ProcessMemory::totals(info(), {editor, browser, player, launched, 999});
        const QHash<pid_t, quint64> expected{{editor, (1 + 2 + 4 + 8 + 16 + 32 + 64) * 1024},
                                             {browser, (256 + 512) * 1024},
                                             {player, 2048 * 1024},
                                             {launched, (4096 + 8192) * 1024},
                                             {999, 0}};
        QCOMPARE(totals, expected);
    }

    void totalsAgreeWithOwnerOfEachProcess()
    {
        QHash<pid_t, quint64> expected{{editor, 0}, {browser, 0}, {player, 0}, {launched, 0}};
        for (const pid_t pid : ProcessMemory::allPIDs(info())) {
            const std::optional<pid_t> owner = ProcessMemory::owner(info(), pid, apps);
            if (owner)
                expected[*owner] += ProcessMemory::footprint(info(), pid).value_or(0);
        }
        QCOMPARE(ProcessMemory::totals(info(), apps), expected);
    }

    void onePassOpensEachFileOnce_data()
    {
        QTest::addColumn<QList<int>>("measured");
        QTest::addColumn<bool>("unitsMatter"); // false: only the apps' own cgroup is read
        QTest::newRow("apps in a unit") << QList<int>{editor, browser, player, launched} << true;
        QTest::newRow("no app in a unit") << QList<int>{browser, player} << false;
    }

    void onePassOpensEachFileOnce()
    {
        QFETCH(QList<int>, measured);
        QFETCH(bool, unitsMatter);
        const QSet<pid_t> measuredApps(measured.begin(), measured.end());
        const QHash<QString, int> opens =
            countOpens(proc.root(), [&] { ProcessMemory::totals(info(), measuredApps); });

        QSet<QString> cgroupsRead;
        for (auto file = opens.cbegin(); file != opens.cend(); ++file) {
            QVERIFY2(file.value() == 1, qPrintable(file.key()));
            if (file.key().endsWith(QLatin1String("/cgroup")))
                cgroupsRead.insert(file.key().section(QLatin1Char('/'), 0, 0));
        }
        QVERIFY(opens.contains(QStringLiteral("213/stat")));
        QSet<QString> expected;
        for (const pid_t pid : ProcessMemory::allPIDs(info())) {
            // 140 ended before its record could be read: nothing else of it is asked for.
            if (unitsMatter ? pid != 140 : measuredApps.contains(pid))
                expected.insert(QString::number(pid));
        }
        QCOMPARE(cgroupsRead, expected);
    }

    void emptySetGivesEmptyTable() { QVERIFY(ProcessMemory::totals(info(), {}).isEmpty()); }

    void sharedMemoryCountsOnce()
    {
        constexpr size_t shared = 32 << 20;
        constexpr int helpers = 3;
        int pipeFds[2];
        QCOMPARE(pipe(pipeFds), 0);
        const pid_t app = fork();
        QVERIFY(app >= 0);
        if (app == 0)
            runSharingApp(pipeFds[1], shared, helpers);
        close(pipeFds[1]);
        pid_t tree[helpers + 1];
        const bool ready = readAll(pipeFds[0], tree, sizeof tree);
        close(pipeFds[0]);
        const auto cleanUp = qScopeGuard([&] {
            kill(app, SIGKILL);
            waitpid(app, nullptr, 0);
        });
        QVERIFY(ready);

        const ProcProcessInfo live;
        const quint64 total = ProcessMemory::totals(live, {app}).value(app);
        quint64 independent = 0;
        for (const pid_t pid : tree)
            independent += rollupBytes(pid);
#ifdef __SANITIZE_ADDRESS__
        // AddressSanitizer's shadow memory and allocator make each of the four processes larger.
        constexpr quint64 ownMemory = 64 << 20;
#else
        constexpr quint64 ownMemory = 16 << 20;
#endif
        // Every process maps all of it: resident-set sums would count it four times.
        QVERIFY2(total >= shared && total < shared + ownMemory, QByteArray::number(total));
        QVERIFY2(qAbs(qint64(total) - qint64(independent)) < (256 << 10),
                 QByteArray::number(total) + " vs " + QByteArray::number(independent));
    }

private:
    const ProcProcessInfo& info() const
    {
        return fixtureInfo;
    }

    // Runs in the forked app: maps and fills a shared region, forks helpers that touch it too,
    // reports every pid of the tree and waits to be killed.
    [[noreturn]] static void runSharingApp(int reportFd, size_t size, int helpers)
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        auto* region = static_cast<volatile char*>(
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
        if (region == MAP_FAILED)
            _exit(1);
        for (size_t at = 0; at < size; at += 4096)
            region[at] = 1;
        for (int i = 0; i < helpers; ++i) {
            if (fork() == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                [[maybe_unused]] volatile char sink = 0;
                for (size_t at = 0; at < size; at += 4096)
                    sink = region[at];
                const pid_t self = getpid();
                if (write(reportFd, &self, sizeof self) != sizeof self)
                    _exit(1);
                for (;;)
                    pause();
            }
        }
        const pid_t self = getpid();
        if (write(reportFd, &self, sizeof self) != sizeof self)
            _exit(1);
        for (;;)
            pause();
    }

    ProcFixture proc;
    ProcProcessInfo fixtureInfo{proc.root()};
};

QTEST_GUILESS_MAIN(TestProcessMemory)
#include "tst_ProcessMemory.moc"
