#include "ViewText.h"

#include "FormatBytes.h"
#include "IcuLocale.h"
#include "Localization.h"

#include <QLocale>

#include <unicode/listformatter.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace ViewText
{

QString mainButtonCaption(const Phase& phase, int count, quint64 bytes, bool simulate)
{
    if (phase.kind() == Phase::Quitting)
        return L("Closing… %d of %d", phase.closed(), phase.of());
    if (count == 0)
        return L("Nothing to Quit");
    if (simulate)
        return L("Try It — Nothing Really Closes");
    const QString base = count == 1 ? L("Quit 1 App") : L("Quit %d Apps", count);
    if (bytes == 0)
        return base;
    return L("%@ · frees %@ of memory", base, formatBytes(bytes));
}

bool mainButtonEnabled(const Phase& phase, int count)
{
    return count > 0 && phase.kind() == Phase::Ready;
}

QString tickLabel(const QString& name)
{
    return L("Quit %@", name);
}

QString closedCountLine(qsizetype closed)
{
    if (closed == 1)
        return L("of memory freed — 1 app closed");
    return L("of memory freed — %d apps closed", closed);
}

QString stillOpenLine(qsizetype stillOpen)
{
    if (stillOpen == 1)
        return L("Still open — it may be asking you to save, or not responding:");
    return L("Still open — they may be asking you to save, or not responding:");
}

QString joinNames(const QStringList& names)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::ListFormatter> formatter(
        icu::ListFormatter::createInstance(icuLocale(QLocale()), status));
    if (U_FAILURE(status) || !formatter)
        return names.join(QStringLiteral(", "));
    std::vector<icu::UnicodeString> items;
    items.reserve(names.size());
    for (const QString& name : names)
        items.emplace_back(reinterpret_cast<const char16_t*>(name.utf16()), int32_t(name.size()));
    icu::UnicodeString joined;
    formatter->format(items.data(), int32_t(items.size()), joined, status);
    if (U_FAILURE(status))
        return names.join(QStringLiteral(", "));
    return QString(reinterpret_cast<const QChar*>(joined.getBuffer()), joined.length());
}

bool showsReopen(const Quitter::Report& report, bool simulate)
{
    return !simulate &&
           std::any_of(report.closed.cbegin(), report.closed.cend(),
                       [](const AppEntry& app) { return app.desktopFile.has_value(); });
}

} // namespace ViewText
