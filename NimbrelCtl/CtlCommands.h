#pragma once

#include "AppEntry.h"
#include "CtlArguments.h"
#include "QuitPlan.h"

#include <QCoroTask>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class InUseApps;
class ProcessInfo;
class QTextStream;
class Workspace;

// Runs one nimbrelctl command against the desktop and prints its outcome.
class CtlCommands
{
public:
    enum ExitStatus { success = 0, failure = 1, badArguments = 2, appsStillOpen = 3 };

    // What Nimbrel itself has stored; used when the command line does not say otherwise.
    struct Stored {
        QuitPreset preset;
        QSet<QString> keep;
        std::optional<QString> unreadable =
            std::nullopt; // why they could not be read; nothing when they were
    };

    CtlCommands(Workspace& workspace, const ProcessInfo& processes, Stored stored,
                QSet<QString> neverOffered, QTextStream& out, QTextStream& err);

    // Where plans learn which apps use the camera or microphone; without it none does.
    void setInUseApps(InUseApps& apps) { inUseApps = &apps; }

    QCoro::Task<int> run(CtlArguments arguments);

private:
    int list(const CtlArguments& arguments);
    int plan(const CtlArguments& arguments);
    QCoro::Task<int> quit(CtlArguments arguments);
    int forceQuit(const CtlArguments& arguments);
    // Whether the app `pid`, just killed, has ended, waiting a few seconds for it.
    bool hasEnded(pid_t pid);
    // Refuses to quit apps on stored choices that could not be read; nothing when it may go on.
    std::optional<int> refusal(const CtlArguments& arguments);

    QList<AppEntry> snapshot(bool measure);
    // The pids of the apps of `apps` using the camera or microphone now.
    QSet<pid_t> inUse(const QList<AppEntry>& apps);
    QuitPreset presetFor(const CtlArguments& arguments) const
    {
        return arguments.preset.value_or(stored.preset);
    }
    // The measured plan for the command line's preset and kept apps, else the stored ones.
    QuitPlan plannedFor(const CtlArguments& arguments);
    void printPlan(const CtlArguments& arguments, const QuitPlan& plan);

    Workspace& workspace;
    const ProcessInfo& processes;
    Stored stored;
    QSet<QString> neverOffered;
    QTextStream& out;
    QTextStream& err;
    bool partial = false; // the desktop shows apps that cannot be listed
    InUseApps* inUseApps = nullptr;
};
