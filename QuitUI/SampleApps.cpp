#include "SampleApps.h"

namespace SampleApps
{

namespace
{

AppEntry sample(pid_t pid, const char* name, const char* bundleID, quint64 memory)
{
    return AppEntry{
        pid,         QString::fromUtf8(name), QString::fromUtf8(bundleID), std::nullopt, memory,
        std::nullopt};
}

} // namespace

const QList<AppEntry>& tutorial()
{
    static const QList<AppEntry> samples{
        sample(91001, "Google Chrome", "com.google.Chrome", 2840000000),
        sample(91002, "Slack", "com.tinyspeck.slackmacgap", 980000000),
        sample(91003, "Spotify", "com.spotify.client", 640000000),
        sample(91004, "Photoshop", "com.adobe.Photoshop", 1210000000),
        sample(91005, "Notes", "com.apple.Notes", 230000000),
        sample(91006, "Preview", "com.apple.Preview", 190000000),
    };
    return samples;
}

} // namespace SampleApps
