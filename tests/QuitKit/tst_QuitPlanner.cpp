#include "QuitPlanner.h"

#include <QTest>

namespace
{

AppEntry app(pid_t pid, std::optional<QString> desktopId, const QString& categories = {},
             quint64 memory = 0, const QString& name = QStringLiteral("App"))
{
    return AppEntry{pid,          name,   std::move(desktopId),
                    std::nullopt, memory, categories.split(QLatin1Char(';'), Qt::SkipEmptyParts)};
}

} // namespace

class TestQuitPlanner : public QObject
{
    Q_OBJECT

private slots:
    void singleApp_data()
    {
        QTest::addColumn<AppEntry>("entry");
        QTest::addColumn<QSet<QString>>("keep");
        QTest::addColumn<QSet<pid_t>>("inUse");
        // Whether the entry is quit under everything, work and call.
        QTest::addColumn<bool>("everything");
        QTest::addColumn<bool>("work");
        QTest::addColumn<bool>("call");
        const QSet<QString> none;
        const QSet<pid_t> idle;

        QTest::newRow("unlisted, uncategorised") << app(1, QStringLiteral("org.example.Editor"))
                                                 << none << idle << true << false << true;
        QTest::newRow("no identifier, no category")
            << app(1, std::nullopt) << none << idle << true << false << true;
        QTest::newRow("kept distraction")
            << app(1, QStringLiteral("spotify")) << QSet{QStringLiteral("spotify")} << idle << false
            << false << false;
        QTest::newRow("kept by name without identifier")
            << app(1, std::nullopt, "Game", 0, QStringLiteral("Notes"))
            << QSet{QStringLiteral("Notes")} << idle << false << false << false;
        QTest::newRow("name does not keep an app that has an identifier")
            << app(1, QStringLiteral("org.example.Notes"), {}, 0, QStringLiteral("Notes"))
            << QSet{QStringLiteral("Notes")} << idle << true << false << true;
        QTest::newRow("listed distraction whatever its categories")
            << app(1, QStringLiteral("spotify"), "Office") << none << idle << true << true << true;
        QTest::newRow("game") << app(1, QStringLiteral("org.example.A"), "Game;BoardGame") << none
                              << idle << true << true << true;
        QTest::newRow("game sub-category alone, no desktop ID")
            << app(1, std::nullopt, "LogicGame") << none << idle << true << true << true;
        QTest::newRow("broad main category skipped")
            << app(1, std::nullopt, "AudioVideo;Audio;Player") << none << idle << true << true
            << true;
        QTest::newRow("messenger by category")
            << app(1, std::nullopt, "Network;InstantMessaging;Qt") << none << idle << true << true
            << true;
        QTest::newRow("first deciding category wins")
            << app(1, std::nullopt, "GNOME;Office;Chat") << none << idle << true << false << true;
        QTest::newRow("work tool") << app(1, std::nullopt, "GNOME;GTK;Utility;TextEditor") << none
                                   << idle << true << false << true;
        QTest::newRow("only undeciding categories")
            << app(1, std::nullopt, "Network;X-Custom") << none << idle << true << false << true;
        QTest::newRow("category match is case-sensitive")
            << app(1, std::nullopt, "game") << none << idle << true << false << true;
        QTest::newRow("zoom") << app(1, QStringLiteral("Zoom")) << none << idle << true << false
                              << false;
        QTest::newRow("desktop ID match is case-sensitive")
            << app(1, QStringLiteral("ZOOM")) << none << idle << true << false << true;
        QTest::newRow("Telegram messenger") << app(1, QStringLiteral("org.telegram.desktop"))
                                            << none << idle << true << true << false;
        QTest::newRow("Linux Chrome web app")
            << app(1, QStringLiteral("chrome-kjgfgldnnfoeklkmfkjfagphfepbbdan-Default")) << none
            << idle << true << false << false;
        QTest::newRow("Linux Chromium web app")
            << app(1, QStringLiteral("chromium-kjgfgldnnfoeklkmfkjfagphfepbbdan-Profile_1")) << none
            << idle << true << false << false;
        QTest::newRow("Linux Edge web app")
            << app(1, QStringLiteral("msedge-kjgfgldnnfoeklkmfkjfagphfepbbdan-Default")) << none
            << idle << true << false << false;
        QTest::newRow("Chromium itself")
            << app(1, QStringLiteral("chromium-browser")) << none << idle << true << false << true;
        QTest::newRow("Chrome Remote Desktop") << app(1, QStringLiteral("chrome-remote-desktop"))
                                               << none << idle << true << false << true;
        QTest::newRow("Edge's own entry")
            << app(1, QStringLiteral("msedge-beta")) << none << idle << true << false << true;
        QTest::newRow("not an app id")
            << app(1, QStringLiteral("chrome-kjgfgldnnfoeklkmfkjfagphfepbbdaz-Default")) << none
            << idle << true << false << true;
        QTest::newRow("Linux Chrome itself")
            << app(1, QStringLiteral("google-chrome")) << none << idle << true << false << true;
        QTest::newRow("in use without identifier")
            << app(7, std::nullopt) << none << QSet<pid_t>{7} << true << false << false;
        QTest::newRow("other pid in use")
            << app(7, std::nullopt) << none << QSet<pid_t>{8} << true << false << true;
        QTest::newRow("in-use distraction")
            << app(7, QStringLiteral("spotify")) << none << QSet<pid_t>{7} << true << true << false;
        QTest::newRow("Flatpak Spotify")
            << app(1, QStringLiteral("com.spotify.Client")) << none << idle << true << true << true;
        QTest::newRow("Flatpak Zoom")
            << app(1, QStringLiteral("us.zoom.Zoom")) << none << idle << true << false << false;
        QTest::newRow("Flatpak Discord messenger")
            << app(1, QStringLiteral("com.discordapp.Discord")) << none << idle << true << true
            << false;
    }

    void singleApp()
    {
        QFETCH(AppEntry, entry);
        QFETCH(QSet<QString>, keep);
        QFETCH(QSet<pid_t>, inUse);
        QFETCH(bool, everything);
        QFETCH(bool, work);
        QFETCH(bool, call);
        for (const auto& [preset, quits] :
             {std::pair{QuitPreset(QuitPreset::everything), everything},
              std::pair{QuitPreset(QuitPreset::work), work},
              std::pair{QuitPreset(QuitPreset::call), call}}) {
            const QuitPlan plan = QuitPlanner::plan({entry}, preset, keep, inUse);
            const QuitPlan expected = quits ? QuitPlan{{entry}, {}} : QuitPlan{{}, {entry}};
            QVERIFY2(plan == expected, qPrintable(preset.rawValue()));
        }
    }

    void plansKeepInputOrderAndCountOnlyQuitMemory()
    {
        const QList<AppEntry> apps{
            app(1, QStringLiteral("steam"), {}, 900),
            app(2, QStringLiteral("org.example.Editor"), {}, 500),
            app(3, std::nullopt, "AudioVideo;Audio", 300, QStringLiteral("Player")),
            app(4, QStringLiteral("com.slack.Slack"), "Network;InstantMessaging", 200),
            app(5, std::nullopt, {}, 100, QStringLiteral("Notes")),
        };
        const QSet<QString> keep{QStringLiteral("Notes")};

        const QuitPlan all = QuitPlanner::plan(apps, QuitPreset::everything, {}, {});
        QCOMPARE(all, (QuitPlan{apps, {}}));
        QCOMPARE(all.bytes(), quint64(2000));

        const QuitPlan work = QuitPlanner::plan(apps, QuitPreset::work, keep, {});
        QCOMPARE(work, (QuitPlan{{apps[0], apps[2]}, {apps[1], apps[3], apps[4]}}));
        QCOMPARE(work.bytes(), quint64(1200));

        const QuitPlan call = QuitPlanner::plan(apps, QuitPreset::call, keep, {2});
        QCOMPARE(call, (QuitPlan{{apps[0], apps[2]}, {apps[1], apps[3], apps[4]}}));

        const QuitPlan nothing = QuitPlanner::plan({}, QuitPreset::call, keep, {1});
        QCOMPARE(nothing, QuitPlan{});
        QCOMPARE(nothing.bytes(), quint64(0));
    }

    void planEqualityIsOrderSensitive()
    {
        const AppEntry a = app(1, std::nullopt), b = app(2, std::nullopt);
        QVERIFY((QuitPlan{{a, b}, {}}) != (QuitPlan{{b, a}, {}}));
        QVERIFY((QuitPlan{{a}, {b}}) != (QuitPlan{{b}, {a}}));
    }

    void messengersAreInBothTables()
    {
        const QSet<QString> both = QSet(QuitPlanner::distractionApps()) & QuitPlanner::callApps();
        QVERIFY(both.contains(QStringLiteral("org.signal.Signal")));
        QVERIFY(!both.contains(QStringLiteral("spotify")));
        QVERIFY(!both.contains(QStringLiteral("zoom")));
    }

    void tables_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("distraction");
        QTest::addColumn<bool>("call");
        QTest::addColumn<bool>("isDistraction"); // of an app without a category
        QTest::addColumn<bool>("isCallApp");
        QTest::newRow("Flatpak Spotify")
            << QStringLiteral("com.spotify.Client") << true << false << true << false;
        QTest::newRow("Debian Spotify")
            << QStringLiteral("spotify") << true << false << true << false;
        QTest::newRow("Flatpak Steam")
            << QStringLiteral("com.valvesoftware.Steam") << true << false << true << false;
        QTest::newRow("Debian Steam") << QStringLiteral("steam") << true << false << true << false;
        QTest::newRow("Flatpak Discord")
            << QStringLiteral("com.discordapp.Discord") << true << true << true << true;
        QTest::newRow("Debian Discord")
            << QStringLiteral("discord") << true << true << true << true;
        QTest::newRow("Debian Telegram")
            << QStringLiteral("telegram-desktop") << true << true << true << true;
        QTest::newRow("WhatsApp") << QStringLiteral("com.github.eneshecan.WhatsAppForLinux") << true
                                  << true << true << true;
        QTest::newRow("Flatpak Signal")
            << QStringLiteral("org.signal.Signal") << true << true << true << true;
        QTest::newRow("Debian Signal")
            << QStringLiteral("signal-desktop") << true << true << true << true;
        QTest::newRow("Flatpak Zoom")
            << QStringLiteral("us.zoom.Zoom") << false << true << false << true;
        QTest::newRow("Debian Zoom") << QStringLiteral("zoom") << false << true << false << true;
        QTest::newRow("Flatpak Slack")
            << QStringLiteral("com.slack.Slack") << false << true << false << true;
        QTest::newRow("Debian Slack") << QStringLiteral("slack") << false << true << false << true;
        QTest::newRow("Flatpak Skype")
            << QStringLiteral("com.skype.Client") << false << true << false << true;
        QTest::newRow("Debian Skype")
            << QStringLiteral("skypeforlinux") << false << true << false << true;
        QTest::newRow("Flatpak Teams")
            << QStringLiteral("com.microsoft.Teams") << false << true << false << true;
        QTest::newRow("Debian Teams") << QStringLiteral("teams") << false << true << false << true;
        QTest::newRow("Flathub IDs are case-sensitive")
            << QStringLiteral("com.spotify.client") << false << false << false << false;
    }

    void tables()
    {
        QFETCH(QString, id);
        QFETCH(bool, distraction);
        QFETCH(bool, call);
        QCOMPARE(QuitPlanner::distractionApps().contains(id), distraction);
        QCOMPARE(QuitPlanner::callApps().contains(id), call);
        QTEST(QuitPlanner::isDistraction(app(1, id)), "isDistraction");
        QTEST(QuitPlanner::isCallApp(app(1, id)), "isCallApp");
    }

    void workToolsDeclaringChatStayForWork()
    {
        const auto declaring = [](const QString& id) {
            return app(1, id, "Network;Chat;InstantMessaging");
        };
        QVERIFY(!QuitPlanner::isDistraction(declaring(QStringLiteral("com.slack.Slack"))));
        QVERIFY(!QuitPlanner::isDistraction(declaring(QStringLiteral("teams"))));
        // Messengers are in both tables and still count as distractions.
        QVERIFY(QuitPlanner::isDistraction(declaring(QStringLiteral("discord"))));
        QVERIFY(QuitPlanner::isDistraction(declaring(QStringLiteral("org.example.Chat"))));
    }
};

QTEST_GUILESS_MAIN(TestQuitPlanner)
#include "tst_QuitPlanner.moc"
