#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Standard output of a command-line tool (xdotool, xprop, …); empty when it fails or finds
// nothing.
inline QString toolOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        process.kill();
    return QString::fromUtf8(process.readAllStandardOutput());
}
