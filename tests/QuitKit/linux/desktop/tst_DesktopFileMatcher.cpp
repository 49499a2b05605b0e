#include "DesktopEntries.h"
#include "DesktopFileMatcher.h"
#include "InstalledEntries.h"
#include "ProcFixture.h"
#include "TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace
{

// A NUL-separated block, as /proc/PID/environ and /proc/PID/cmdline hold them.
QByteArray block(const QByteArrayList& parts)
{
    return parts.join('\0') + '\0';
}

} // namespace

// Desktop entries in a throwaway data home, processes in a folder laid out like /proc.
class TestDesktopFileMatcher : public QObject
{
    Q_OBJECT

    QTemporaryDir data;
    ProcFixture proc;
    pid_t nextPid = 100;

    QString applications() const { return data.filePath(QStringLiteral("home/applications/")); }

    void install(const QString& fileId, const QByteArray& extra = {})
    {
        QVERIFY(TestFiles::writeFile(applications() + fileId,
                                     "[Desktop Entry]\nType=Application\nName=" + fileId.toUtf8() +
                                         "\nExec=true\n" + extra));
    }

private slots:
    void initTestCase()
    {
        // GIO reads these once, on first use.
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.filePath(QStringLiteral("home"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(data.filePath(QStringLiteral("system"))));
        install(QStringLiteral("org.example.Flat.desktop"));
        install(QStringLiteral("org.example.Gtk.desktop"));
        install(QStringLiteral("org.kde.Thing.desktop"));
        install(QStringLiteral("startup-instance.desktop"), "StartupWMClass=StartInstance\n");
        install(QStringLiteral("startup-class.desktop"), "StartupWMClass=StartClass\n");
        install(QStringLiteral("AsIs.desktop"));
        install(QStringLiteral("spaced-name.desktop"));
        install(QStringLiteral("unitapp.desktop"));
        install(QStringLiteral("mysnap_tool.desktop"));
        install(QStringLiteral("vendor/launched.desktop"));
        install(QStringLiteral("hinted.desktop"));
        // GIO drops entries whose program does not exist.
        for (const char* program : {"uniquebin", "twinbin"}) {
            const QString path = data.filePath(QStringLiteral("bin/") + QLatin1String(program));
            QVERIFY(TestFiles::writeFile(path, "#!/bin/sh\n"));
            QFile(path).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        const QByteArray bin = QFile::encodeName(data.filePath(QStringLiteral("bin/")));
        QVERIFY(TestFiles::writeFile(applications() + QStringLiteral("unique.desktop"),
                                     "[Desktop Entry]\nType=Application\nName=Unique\nExec=" + bin +
                                         "uniquebin --x %U\n"));
        // One entry per interpreter: a lone entry must not claim every script that interpreter
        // runs.
        install(QStringLiteral("pyapp.desktop"), "Exec=/usr/bin/python3 /opt/pyapp/pyapp.py %F\n");
        install(QStringLiteral("pymodule.desktop"), "Exec=env LANG=C python3 -m mymod.gui\n");
        install(QStringLiteral("javatool.desktop"),
                "Exec=env GDK_BACKEND=x11 java -Xmx1g -jar /opt/tool/tool.jar\n");
        install(QStringLiteral("runner.desktop"),
                "Exec=env flatpak run --branch=stable org.example.Runner\n");
        // GLib's loader would block opening it for good.
        QCOMPARE(mkfifo(QFile::encodeName(applications() + "blocker.desktop").constData(), 0600),
                 0);
        for (const char* twin : {"twin-one.desktop", "twin-two.desktop"})
            QVERIFY(TestFiles::writeFile(
                applications() + QLatin1String(twin),
                "[Desktop Entry]\nType=Application\nName=Twin\nExec=" + bin + "twinbin /x\n"));
    }

    void matchesInOrder_data()
    {
        QTest::addColumn<QString>("wmInstance");
        QTest::addColumn<QString>("wmClass");
        QTest::addColumn<QString>("gtkId");
        QTest::addColumn<QString>("kdeFile");
        QTest::addColumn<QByteArray>("flatpakInfo");
        QTest::addColumn<QByteArray>("cgroup");
        QTest::addColumn<QByteArray>("environment");
        QTest::addColumn<QByteArray>("cmdline");
        QTest::addColumn<QString>("expected"); // empty: no match

        const QByteArray none;
        const QByteArray launched = QFile::encodeName(applications()) + "vendor/launched.desktop";
        QTest::newRow("flatpak beats the window's own claim")
            << "asis"
            << "AsIs"
            << "org.example.Gtk"
            << "" << QByteArray("[Application]\nname=org.example.Flat\n") << none << none << none
            << "org.example.Flat";
        QTest::newRow("snap unit")
            << ""
            << ""
            << ""
            << "" << none
            << QByteArray(
                   "0::/user.slice/snap.mysnap.tool-1b2c3d4e-aaaa-bbbb-cccc-0123456789ab.scope\n")
            << none << none << "mysnap_tool";
        QTest::newRow("GTK application id")
            << "AsIs"
            << "AsIs"
            << "org.example.Gtk"
            << "" << none << none << none << none << "org.example.Gtk";
        QTest::newRow("KDE desktop file")
            << ""
            << ""
            << ""
            << "org.kde.Thing" << none << none << none << none << "org.kde.Thing";
        QTest::newRow("unknown toolkit id falls through")
            << "AsIs"
            << ""
            << "org.example.Missing"
            << "" << none << none << none << none << "AsIs";
        QTest::newRow("StartupWMClass: instance before class")
            << "StartInstance"
            << "StartClass"
            << ""
            << "" << none << none << none << none << "startup-instance";
        QTest::newRow("StartupWMClass: class")
            << "nothing"
            << "StartClass"
            << ""
            << "" << none << none << none << none << "startup-class";
        QTest::newRow("StartupWMClass beats the file name")
            << "AsIs"
            << "StartClass"
            << ""
            << "" << none << none << none << none << "startup-class";
        QTest::newRow("WM_CLASS as file name") << ""
                                               << "AsIs"
                                               << ""
                                               << "" << none << none << none << none << "AsIs";
        QTest::newRow("WM_CLASS lower-cased, spaces as dashes")
            << ""
            << "Spaced Name"
            << ""
            << "" << none << none << none << none << "spaced-name";
        QTest::newRow("app unit")
            << ""
            << ""
            << ""
            << "" << none
            << QByteArray(
                   "0::/user.slice/user@1000.service/app.slice/app-gnome-unitapp-4242.scope\n")
            << none << none << "unitapp";
        QTest::newRow("GIO launch hint for this process")
            << ""
            << ""
            << ""
            << "" << none << none
            << block({"A=1", "GIO_LAUNCHED_DESKTOP_FILE=" + launched,
                      "GIO_LAUNCHED_DESKTOP_FILE_PID=@PID@"})
            << none << "vendor-launched";
        QTest::newRow("GIO launch hint inherited from another process")
            << ""
            << ""
            << ""
            << "" << none << none
            << block({"GIO_LAUNCHED_DESKTOP_FILE=" + launched, "GIO_LAUNCHED_DESKTOP_FILE_PID=1"})
            << none << "";
        QTest::newRow("BAMF hint")
            << ""
            << ""
            << ""
            << "" << none << none
            << QByteArray("BAMF_DESKTOP_FILE_HINT=" + QFile::encodeName(applications()) +
                          "hinted.desktop")
            << none << "hinted";
        QTest::newRow("Exec name")
            << ""
            << ""
            << ""
            << "" << none << none << none << block({"/usr/local/bin/uniquebin", "--y"}) << "unique";
        QTest::newRow("Exec name shared by two entries")
            << ""
            << ""
            << ""
            << "" << none << none << none << block({"twinbin", "/x"}) << "";
        const struct {
            const char* row;
            QByteArrayList cmdline;
            const char* expected;
        } interpreted[] = {
            {"python script", {"python3.11", "-u", "/opt/pyapp/pyapp.py", "a.txt"}, "pyapp"},
            {"another python script", {"/usr/bin/python3", "/usr/bin/other-tool"}, ""},
            {"python prompt", {"python3"}, ""},
            {"python module", {"python3", "-m", "mymod.gui"}, "pymodule"},
            {"python code inline", {"python3", "-c", "import mymod.gui"}, ""},
            {"java jar", {"java", "-cp", "x", "-jar", "/usr/share/tool/tool.jar"}, "javatool"},
            {"another jar", {"java", "-jar", "other.jar"}, ""},
            {"flatpak run", {"/usr/bin/flatpak", "run", "org.example.Runner"}, "runner"},
            {"shell script", {"sh", "/opt/pyapp/pyapp.py"}, "pyapp"},
            {"shell code inline", {"sh", "-c", "pyapp.py"}, ""},
        };
        for (const auto& row : interpreted)
            QTest::newRow(row.row)
                << ""
                << ""
                << ""
                << "" << none << none << none << block(row.cmdline) << row.expected;
        QTest::newRow("nothing known") << "stranger"
                                       << "Stranger"
                                       << ""
                                       << "" << none << none << none << block({"stranger"}) << "";
    }

    void matchesInOrder()
    {
        QFETCH(QString, wmInstance);
        QFETCH(QString, wmClass);
        QFETCH(QString, gtkId);
        QFETCH(QString, kdeFile);
        QFETCH(QByteArray, flatpakInfo);
        QFETCH(QByteArray, cgroup);
        QFETCH(QByteArray, environment);
        QFETCH(QByteArray, cmdline);
        QFETCH(QString, expected);

        const pid_t pid = nextPid++;
        QVERIFY(proc.write(pid, QStringLiteral("cgroup"), cgroup));
        QVERIFY(proc.write(pid, QStringLiteral("environ"),
                           QByteArray(environment).replace("@PID@", QByteArray::number(pid))));
        QVERIFY(proc.write(pid, QStringLiteral("cmdline"), cmdline));
        if (!flatpakInfo.isEmpty())
            QVERIFY(proc.write(pid, QStringLiteral("root/.flatpak-info"), flatpakInfo));

        const AppIdentity window{pid, wmInstance, wmClass, gtkId, kdeFile};
        const std::optional<DesktopEntry> entry = DesktopFileMatcher(proc.root()).match({window});
        QCOMPARE(entry ? entry->id : QString(), expected);
        if (entry)
            QVERIFY(QFileInfo(entry->filename).isAbsolute());
    }

    void fifoEntryNeverBlocks()
    {
        QVERIFY(!DesktopEntries::byId(QStringLiteral("blocker")));
        QVERIFY(!DesktopEntries::byFilename(applications() + "blocker.desktop"));
        const QList<DesktopEntry> all = InstalledEntries().entries();
        QVERIFY(std::any_of(all.begin(), all.end(), [](const DesktopEntry& entry) {
            return entry.id == QLatin1String("vendor-launched");
        }));
        QVERIFY(std::none_of(all.begin(), all.end(), [](const DesktopEntry& entry) {
            return entry.id == QLatin1String("blocker");
        }));
    }

    // A long-lived matcher keeps the entries it read, and sees one installed, changed or removed.
    void keptEntriesFollowTheFiles()
    {
        AppIdentity window;
        window.pid = nextPid++;
        window.wmClass = QStringLiteral("Changer");
        const DesktopFileMatcher matcher(proc.root());
        QVERIFY(!matcher.match({window}));
        install(QStringLiteral("changing.desktop"), "StartupWMClass=Changer\n");
        QCOMPARE(matcher.match({window})->name, QStringLiteral("changing.desktop"));
        QVERIFY(TestFiles::writeFile(applications() + "changing.desktop",
                                     "[Desktop Entry]\nType=Application\nName=Changed\n"
                                     "Exec=true\nStartupWMClass=Changer\n"));
        QCOMPARE(matcher.match({window})->name, QStringLiteral("Changed"));
        QVERIFY(QFile::remove(applications() + "changing.desktop"));
        QVERIFY(!matcher.match({window}));
    }

    void firstWindowAndProcessBeforeLaterWindows()
    {
        const pid_t pid = nextPid++;
        QVERIFY(proc.write(pid, QStringLiteral("cgroup"),
                           "0::/user.slice/app-gnome-unitapp-42.scope\n"));
        AppIdentity plain, hinted;
        plain.pid = hinted.pid = pid;
        hinted.applicationId = QStringLiteral("org.example.Gtk");
        const DesktopFileMatcher matcher(proc.root());
        QCOMPARE(matcher.match({plain, hinted})->id, QStringLiteral("unitapp"));
        QCOMPARE(matcher.match({hinted, plain})->id, QStringLiteral("org.example.Gtk"));
        QVERIFY(!matcher.match({}));
    }
};

QTEST_GUILESS_MAIN(TestDesktopFileMatcher)
#include "tst_DesktopFileMatcher.moc"
