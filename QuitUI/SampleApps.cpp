#include "SampleApps.h"

#include <array>

namespace SampleApps
{

namespace
{

AppEntry sample(pid_t pid, const char* name, const char* desktopId, quint64 memory)
{
    return AppEntry{
        pid, QString::fromUtf8(name), QString::fromUtf8(desktopId), std::nullopt, memory, {}};
}

// Our own drawings, one per sample in list order, so the rows tell the samples apart.
const std::array<const char*, 6> icons{"browser", "chat", "music", "photo", "notes", "viewer"};

} // namespace

const QList<AppEntry>& tutorial()
{
    static const QList<AppEntry> samples{
        sample(91001, "Google Chrome", "google-chrome", 2840000000),
        sample(91002, "Slack", "slack", 980000000),
        sample(91003, "Spotify", "spotify", 640000000),
        sample(91004, "Photoshop", "photoshop", 1210000000),
        sample(91005, "Notes", "notes", 230000000),
        sample(91006, "Preview", "preview", 190000000),
    };
    return samples;
}

std::optional<QString> iconFile(const AppEntry& app)
{
    const QList<AppEntry>& samples = tutorial();
    const qsizetype at = samples.indexOf(app);
    if (at < 0 || at >= qsizetype(icons.size()))
        return std::nullopt;
    return QStringLiteral(":/samples/%1.svg").arg(QLatin1String(icons[at]));
}

} // namespace SampleApps
