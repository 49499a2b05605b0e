#include "ViewText.h"

#include "FormatBytes.h"
#include "IcuLocale.h"
#include "ShownText.h"

#include <QCoreApplication>
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
        return QCoreApplication::translate("QuitUI", "Closing… %L1 of %L2")
            .arg(phase.closed())
            .arg(phase.of());
    if (count == 0)
        return QCoreApplication::translate("QuitUI", "Nothing to Quit");
    if (simulate)
        return QCoreApplication::translate("QuitUI", "Try It — Nothing Really Closes");
    const QString base = count == 1
                             ? QCoreApplication::translate("QuitUI", "Quit 1 App")
                             : QCoreApplication::translate("QuitUI", "Quit %L1 Apps").arg(count);
    if (bytes == 0)
        return base;
    return QCoreApplication::translate("QuitUI", "%1 · frees %2 of memory")
        .arg(base, formatBytes(bytes));
}

bool mainButtonEnabled(const Phase& phase, int count)
{
    return count > 0 && phase.kind() == Phase::Ready;
}

QString tickLabel(const QString& name)
{
    return QCoreApplication::translate("QuitUI", "Quit %1").arg(name);
}

QString closedCountLine(qsizetype closed)
{
    if (closed == 1)
        return QCoreApplication::translate("QuitUI", "of memory freed — 1 app closed");
    return QCoreApplication::translate("QuitUI", "of memory freed — %L1 apps closed").arg(closed);
}

QString stillOpenLine(qsizetype stillOpen)
{
    if (stillOpen == 1)
        return QCoreApplication::translate(
            "QuitUI", "Still open — it may be asking you to save, or not responding:");
    return QCoreApplication::translate(
        "QuitUI", "Still open — they may be asking you to save, or not responding:");
}

QString joinNames(const QStringList& unisolated)
{
    // Each name keeps its own direction without reordering the list around it.
    QStringList names;
    names.reserve(unisolated.size());
    for (const QString& name : unisolated)
        names.append(ShownText::isolated(name));
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

QString reopenCaption(qsizetype count)
{
    if (count == 1)
        return QCoreApplication::translate("QuitUI", "Reopen 1 App");
    return QCoreApplication::translate("QuitUI", "Reopen %L1 Apps").arg(count);
}

QString notReopenableLine(const QStringList& names)
{
    return QCoreApplication::translate("QuitUI", "Can't be reopened: %1").arg(joinNames(names));
}

} // namespace ViewText
