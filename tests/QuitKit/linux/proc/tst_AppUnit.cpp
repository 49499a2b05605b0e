#include "AppUnit.h"

#include <QTest>

class TestAppUnit : public QObject
{
    Q_OBJECT

private slots:
    void applicationId_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("id"); // empty: not an app unit
        const auto row = [](const char* name, const char* unit, const char* id) {
            QTest::newRow(name) << QString::fromUtf8(unit) << QString::fromUtf8(id);
        };
        row("gnome scope", "app-gnome-org.gnome.Evince-12345.scope", "org.gnome.Evince");
        row("escaped dashes", "app-gnome-firefox\\x2desr-4242.scope", "firefox-esr");
        row("escaped non-ascii", "app-gnome-caf\\xc3\\xa9-1.scope", "café");
        row("kde service", "app-kde-org.kde.dolphin@a1b2c3d4e5.service", "org.kde.dolphin");
        row("flatpak", "app-flatpak-org.mozilla.firefox-314159.scope", "org.mozilla.firefox");
        row("no launcher, scope", "app-org.kde.konsole-0123456789abcdef.scope", "org.kde.konsole");
        row("no launcher, service",
            "app-org.gnome.Evolution\\x2dalarm\\x2dnotify@autostart.service",
            "org.gnome.Evolution-alarm-notify");
        row("service without instance", "app-gnome-org.gnome.Calendar.service",
            "org.gnome.Calendar");
        row("unescaped dash in id", "app-gnome-firefox-esr-77.scope", "firefox-esr");
        row("legacy gnome", "gnome-launched-org.gnome.Terminal.desktop-2233.scope",
            "org.gnome.Terminal");
        row("legacy gnome, dash in id", "gnome-launched-firefox-esr.desktop-2233.scope",
            "firefox-esr");
        row("snap", "snap.firefox.firefox-0b8fb5a7-4f43-4c9a-8d4e-1d7f1e0d2c3b.scope",
            "firefox_firefox");
        row("snap, escaped",
            "snap.gnome\\x2dcalculator.gnome\\x2dcalculator-0b8fb5a7-4f43-4c9a-8d4e-1d7f1e0d2c3b"
            ".scope",
            "gnome-calculator_gnome-calculator");
        row("snap service", "snap.lxd.daemon.service", "");
        row("snap without uuid", "snap.firefox.firefox-1234.scope", "");
        row("session scope", "session-2.scope", "");
        row("app slice", "app.slice", "");
        row("app sub-slice", "app-org.gnome.Terminal.slice", "");
        row("vte terminal tab", "vte-spawn-7d1c9a8e-3a42-4f6e-a0a0-6b1f4f3c2d1e.scope", "");
        row("scope without number", "app-gnome.scope", "");
        row("scope with empty number", "app-gnome-org.gnome.Evince-.scope", "");
        row("template service", "app-gnome-org.gnome.Evince@.service", "");
        row("plain service", "dbus.service", "");
        row("empty", "", "");
    }

    void applicationId()
    {
        QFETCH(QString, unit);
        QFETCH(QString, id);
        const std::optional<QString> parsed = AppUnit::applicationId(unit);
        QCOMPARE(parsed.value_or(QString()), id);
        QCOMPARE(AppUnit::isAppUnit(unit), !id.isEmpty());
    }

    void fromCgroup_data()
    {
        QTest::addColumn<QByteArray>("cgroup");
        QTest::addColumn<QString>("unit"); // empty: none
        const QByteArray user = "/user.slice/user-1000.slice/user@1000.service/app.slice/";
        QTest::newRow("unified") << QByteArray("0::" + user +
                                               "app-gnome-org.gnome.Evince-12345.scope\n")
                                 << "app-gnome-org.gnome.Evince-12345.scope";
        QTest::newRow("unified service")
            << QByteArray("0::" + user + "app-kde-org.kde.dolphin@a1b2.service\n")
            << "app-kde-org.kde.dolphin@a1b2.service";
        QTest::newRow("snap") << QByteArray("0::" + user +
                                            "snap.firefox.firefox-0b8fb5a7-4f43-4c9a-8d4e-"
                                            "1d7f1e0d2c3b.scope\n")
                              << "snap.firefox.firefox-0b8fb5a7-4f43-4c9a-8d4e-1d7f1e0d2c3b.scope";
        QTest::newRow("hybrid: unified at the root")
            << QByteArray("12:memory:" + user +
                          "app-flatpak-org.gimp.GIMP-9.scope\n"
                          "1:name=systemd:" +
                          user + "app-flatpak-org.gimp.GIMP-9.scope\n0::/\n")
            << "app-flatpak-org.gimp.GIMP-9.scope";
        QTest::newRow("legacy v1 only")
            << QByteArray("3:cpu,cpuacct:/\n1:name=systemd:/user.slice/user-1000.slice/"
                          "user@1000.service/gnome-launched-org.gnome.Terminal.desktop-7.scope\n")
            << "gnome-launched-org.gnome.Terminal.desktop-7.scope";
        QTest::newRow("sub-group inside the app's scope")
            << QByteArray("0::" + user + "app-gnome-org.example.Ide-5.scope/build\n")
            << "app-gnome-org.example.Ide-5.scope";
        QTest::newRow("terminal tab")
            << QByteArray("0::" + user +
                          "app-org.gnome.Terminal.slice/"
                          "vte-spawn-7d1c9a8e-3a42-4f6e-a0a0-6b1f4f3c2d1e.scope\n")
            << QString();
        QTest::newRow("session") << QByteArray("0::/user.slice/user-1000.slice/session-2.scope\n")
                                 << QString();
        QTest::newRow("root") << QByteArray("0::/\n") << QString();
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void fromCgroup()
    {
        QFETCH(QByteArray, cgroup);
        QFETCH(QString, unit);
        QCOMPARE(AppUnit::fromCgroup(cgroup).value_or(QString()), unit);
    }
};

QTEST_GUILESS_MAIN(TestAppUnit)
#include "tst_AppUnit.moc"
