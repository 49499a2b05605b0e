#include "QuitPlanner.h"

#include <QHash>
#include <QRegularExpression>

namespace
{

bool isWebApp(const QString& desktopId)
{
    // Chrome, Chromium and Edge name a web app's entry <browser>-<32-letter app id>-<profile>; the
    // bare prefix would also take the browsers' own entries (chromium-browser, msedge-beta).
    static const QRegularExpression webApp(
        QStringLiteral("^(chrome|chromium|msedge)-[a-p]{32}-[^-].*$"));
    return webApp.match(desktopId).hasMatch();
}

// Messengers: quit as distractions, kept for a call. Flathub IDs, then the desktop files the
// vendors' or Debian's packages install.
const QSet<QString>& messengers()
{
    static const QSet<QString> apps{
        QStringLiteral("org.telegram.desktop"),
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

// Freedesktop categories that decide whether an app is a distraction (true) or a work tool
// (false); broad main categories such as "AudioVideo" or "Network" decide nothing.
const QHash<QString, bool>& categoryVerdicts()
{
    static const QHash<QString, bool> verdicts{
        {QStringLiteral("Game"), true},          {QStringLiteral("ActionGame"), true},
        {QStringLiteral("AdventureGame"), true}, {QStringLiteral("ArcadeGame"), true},
        {QStringLiteral("BoardGame"), true},     {QStringLiteral("BlocksGame"), true},
        {QStringLiteral("CardGame"), true},      {QStringLiteral("KidsGame"), true},
        {QStringLiteral("LogicGame"), true},     {QStringLiteral("RolePlaying"), true},
        {QStringLiteral("Shooter"), true},       {QStringLiteral("SportsGame"), true},
        {QStringLiteral("StrategyGame"), true},  {QStringLiteral("Amusement"), true},
        {QStringLiteral("Audio"), true},         {QStringLiteral("Music"), true},
        {QStringLiteral("Video"), true},         {QStringLiteral("TV"), true},
        {QStringLiteral("Chat"), true},          {QStringLiteral("InstantMessaging"), true},
        {QStringLiteral("IRCClient"), true},     {QStringLiteral("News"), true},
        {QStringLiteral("Sports"), true},        {QStringLiteral("Development"), false},
        {QStringLiteral("Office"), false},       {QStringLiteral("WordProcessor"), false},
        {QStringLiteral("Spreadsheet"), false},  {QStringLiteral("Presentation"), false},
        {QStringLiteral("Graphics"), false},     {QStringLiteral("Photography"), false},
        {QStringLiteral("Education"), false},    {QStringLiteral("Finance"), false},
        {QStringLiteral("Utility"), false},
    };
    return verdicts;
}

} // namespace

namespace QuitPlanner
{

const QSet<QString>& distractionApps()
{
    static const QSet<QString> apps = messengers() + QSet<QString>{
                                                         QStringLiteral("com.spotify.Client"),
                                                         QStringLiteral("spotify"),
                                                         QStringLiteral("com.valvesoftware.Steam"),
                                                         QStringLiteral("steam"),
                                                     };
    return apps;
}

const QSet<QString>& callApps()
{
    static const QSet<QString> apps =
        messengers() + QSet<QString>{
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
    if (app.desktopId && distractionApps().contains(*app.desktopId))
        return true;
    // The desktop files of Slack, Teams or Zoom declare InstantMessaging or Chat; they are work
    // tools, so their own table outranks the category.
    if (app.desktopId && callApps().contains(*app.desktopId))
        return false;
    for (const QString& category : app.categories) {
        const auto verdict = categoryVerdicts().constFind(category);
        if (verdict != categoryVerdicts().constEnd())
            return *verdict;
    }
    return false;
}

bool isCallApp(const AppEntry& app)
{
    return app.desktopId && (callApps().contains(*app.desktopId) || isWebApp(*app.desktopId));
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
