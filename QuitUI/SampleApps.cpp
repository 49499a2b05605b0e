#include "SampleApps.h"

namespace SampleApps
{

namespace
{

AppEntry sample(pid_t pid, const char* name, const char* desktopId, quint64 memory)
{
    return AppEntry{
        pid, QString::fromUtf8(name), QString::fromUtf8(desktopId), std::nullopt, memory, {}};
}

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

} // namespace SampleApps
