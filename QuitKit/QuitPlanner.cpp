#include "QuitPlanner.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace
{

const QStringList& webAppPrefixes()
{
    static const QStringList prefixes{
        QStringLiteral("com.google.Chrome.app."),
        QStringLiteral("com.microsoft.edgemac.app."),
    };
    return prefixes;
}

bool isWebApp(const QString& bundleID)
{
    // On Linux the browsers name a web app's entry <browser>-<32-letter app id>-<profile>; the bare
    // prefix would also take the browsers' own entries (chromium-browser, chrome-remote-desktop).
    static const QRegularExpression linuxWebApp(
        QStringLiteral("^(chrome|chromium|msedge)-[a-p]{32}-[^-].*$"));
    return std::any_of(webAppPrefixes().begin(), webAppPrefixes().end(),
                       [&](const QString& prefix) { return bundleID.startsWith(prefix); }) ||
           linuxWebApp.match(bundleID).hasMatch();
}

// Linux desktop IDs of messengers: quit as distractions, kept for a call.
const QSet<QString>& linuxMessengers()
{
    static const QSet<QString> apps{
        QStringLiteral("telegram-desktop"),
        QStringLiteral("telegramdesktop"),
        QStringLiteral("com.github.eneshecan.WhatsAppForLinux"),
        QStringLiteral("whatsapp-for-linux"),
        QStringLiteral("com.discordapp.Discord"),
        QStringLiteral("discord"),
        QStringLiteral("org.signal.Signal"),
        QStringLiteral("signal-desktop"),
    };
    return apps;
}

} // namespace

namespace QuitPlanner
{

const QSet<QString>& distractionCategories()
{
    static const QSet<QString> categories{
        QStringLiteral("public.app-category.games"),
        QStringLiteral("public.app-category.entertainment"),
        QStringLiteral("public.app-category.social-networking"),
        QStringLiteral("public.app-category.music"),
        QStringLiteral("public.app-category.video"),
        QStringLiteral("public.app-category.sports"),
        QStringLiteral("public.app-category.news"),
        QStringLiteral("public.app-category.lifestyle"),
    };
    return categories;
}

const QSet<QString>& distractionApps()
{
    static const QSet<QString> apps{
        QStringLiteral("ru.keepcoder.Telegram"),
        QStringLiteral("org.telegram.desktop"),
        QStringLiteral("net.whatsapp.WhatsApp"),
        QStringLiteral("desktop.WhatsApp"),
        QStringLiteral("com.hnc.Discord"),
        QStringLiteral("com.spotify.client"),
        QStringLiteral("com.valvesoftware.steam"),
        QStringLiteral("com.apple.MobileSMS"),
        QStringLiteral("com.apple.Music"),
        QStringLiteral("com.apple.TV"),
        QStringLiteral("com.apple.podcasts"),
        QStringLiteral("com.apple.news"),
        QStringLiteral("com.facebook.archon"),
        QStringLiteral("com.facebook.archon.developerID"),
        QStringLiteral("com.netflix.Netflix"),
        QStringLiteral("tv.twitch.studio"),
        QStringLiteral("com.apple.Photos"),
        QStringLiteral("com.epicgames.EpicGamesLauncher"),
        QStringLiteral("com.blizzard.bnetlauncher"),
        QStringLiteral("com.apple.gamecenter"),
        QStringLiteral("com.apple.games"),
    };
    return apps;
}

const QSet<QString>& callApps()
{
    static const QSet<QString> apps{
        QStringLiteral("us.zoom.xos"),
        QStringLiteral("com.microsoft.teams2"),
        QStringLiteral("com.microsoft.teams"),
        QStringLiteral("com.apple.FaceTime"),
        QStringLiteral("com.tinyspeck.slackmacgap"),
        QStringLiteral("com.cisco.webexmeetingsapp"),
        QStringLiteral("Cisco-Systems.Spark"),
        QStringLiteral("com.skype.skype"),
        QStringLiteral("com.hnc.Discord"),
        QStringLiteral("com.google.meet"),
        QStringLiteral("com.ringcentral.glip"),
        QStringLiteral("com.goto.meeting"),
        QStringLiteral("com.logmein.GoToMeeting"),
        QStringLiteral("co.teamwork.around"),
        QStringLiteral("com.whereby.app"),
        QStringLiteral("net.whatsapp.WhatsApp"),
        QStringLiteral("ru.keepcoder.Telegram"),
        QStringLiteral("org.telegram.desktop"),
        QStringLiteral("com.apple.MobileSMS"),
    };
    return apps;
}

const QSet<QString>& linuxDistractionApps()
{
    static const QSet<QString> apps =
        linuxMessengers() + QSet<QString>{
                                // music and games
                                QStringLiteral("com.spotify.Client"),
                                QStringLiteral("spotify"),
                                QStringLiteral("com.valvesoftware.Steam"),
                                QStringLiteral("steam"),
                            };
    return apps;
}

const QSet<QString>& linuxCallApps()
{
    static const QSet<QString> apps =
        linuxMessengers() +
        QSet<QString>{
            QStringLiteral("us.zoom.Zoom"),  QStringLiteral("zoom"),
            QStringLiteral("Zoom"),          QStringLiteral("com.microsoft.Teams"),
            QStringLiteral("teams"),         QStringLiteral("com.slack.Slack"),
            QStringLiteral("slack"),         QStringLiteral("com.skype.Client"),
            QStringLiteral("skypeforlinux"),
        };
    return apps;
}

bool isDistraction(const AppEntry& app)
{
    if (app.bundleID && (distractionApps().contains(*app.bundleID) ||
                         linuxDistractionApps().contains(*app.bundleID)))
        return true;
    // Linux desktop files of Slack, Teams or Zoom declare InstantMessaging or Chat, which reads as
    // a social category; they are work tools, so their own table outranks the category.
    if (app.bundleID && linuxCallApps().contains(*app.bundleID))
        return false;
    if (!app.category)
        return false;
    return distractionCategories().contains(*app.category) ||
           app.category->endsWith(QStringLiteral("-games"));
}

bool isCallApp(const AppEntry& app)
{
    if (!app.bundleID)
        return false;
    const QString& id = *app.bundleID;
    return callApps().contains(id) || linuxCallApps().contains(id) || isWebApp(id);
}

bool quits(const AppEntry& app, QuitPreset preset, const QSet<QString>& keep,
           const QSet<pid_t>& inUse)
{
    if (keep.contains(app.key()))
        return false;
    switch (preset.value()) {
    case QuitPreset::everything:
        return true;
    case QuitPreset::work:
        return isDistraction(app);
    case QuitPreset::call:
        return !isCallApp(app) && !inUse.contains(app.pid);
    }
    Q_UNREACHABLE();
}

QuitPlan plan(const QList<AppEntry>& apps, QuitPreset preset, const QSet<QString>& keep,
              const QSet<pid_t>& inUse)
{
    QuitPlan result;
    for (const AppEntry& app : apps)
        (quits(app, preset, keep, inUse) ? result.toQuit : result.kept).append(app);
    return result;
}

} // namespace QuitPlanner
