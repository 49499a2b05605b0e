#include "FormatBytes.h"
#include "Localization.h"
#include "Quitter.h"
#include "TotalMemory.h"

quint64 Quitter::Report::freed() const
{
    return totalMemory(closed);
}

QString Quitter::Report::headline() const
{
    const qsizetype count = closed.size();
    if (count == 0)
        return stillOpen.isEmpty() ? L("Nothing to close") : L("Nothing closed yet");
    const QString countLine = count == 1 ? L("Closed 1 app") : L("Closed %d apps", count);
    const quint64 bytes = freed();
    if (bytes == 0)
        return countLine;
    return L("%@, freed %@", countLine, formatBytes(bytes));
}
