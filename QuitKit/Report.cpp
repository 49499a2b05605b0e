#include "FormatBytes.h"
#include "Quitter.h"
#include "TotalMemory.h"

#include <QCoreApplication>

#include <algorithm>

quint64 Quitter::Report::freed() const
{
    return totalMemory(closed);
}

bool Quitter::Report::markClosed(pid_t pid)
{
    const auto open = std::find_if(stillOpen.cbegin(), stillOpen.cend(),
                                   [pid](const AppEntry& app) { return app.pid == pid; });
    if (open == stillOpen.cend())
        return false;
    closed.append(*open);
    stillOpen.removeIf([pid](const AppEntry& app) { return app.pid == pid; });
    reasons.remove(pid);
    forceQuitStates.remove(pid);
    return true;
}

QString Quitter::Report::headline() const
{
    const qsizetype count = closed.size();
    if (count == 0)
        return stillOpen.isEmpty() ? QCoreApplication::translate("QuitKit", "Nothing to close")
                                   : QCoreApplication::translate("QuitKit", "Nothing closed yet");
    const QString countLine =
        count == 1 ? QCoreApplication::translate("QuitKit", "Closed 1 app")
                   : QCoreApplication::translate("QuitKit", "Closed %L1 apps").arg(count);
    const quint64 bytes = freed();
    if (bytes == 0)
        return countLine;
    return QCoreApplication::translate("QuitKit", "%1, freed %2")
        .arg(countLine, formatBytes(shownTotalMemory(closed)));
}
