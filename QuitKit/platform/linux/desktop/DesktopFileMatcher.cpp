#include "DesktopFileMatcher.h"

#include "AppUnit.h"
#include "CommandIdentity.h"
#include "DesktopEntries.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace
{

// The `name` of the [Application] group of a .flatpak-info file.
std::optional<QString> flatpakApplication(const QByteArray& info)
{
    bool inApplication = false;
    for (const QByteArray& rawLine : info.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('['))
            inApplication = line == "[Application]";
        else if (inApplication && line.startsWith("name="))
            return QString::fromUtf8(line.mid(5).trimmed());
    }
    return std::nullopt;
}

// `NAME=value` of a NUL-separated environment block.
std::optional<QByteArray> variable(const QByteArray& environment, const QByteArray& name)
{
    const QByteArray prefix = name + '=';
    for (const QByteArray& entry : environment.split('\0')) {
        if (entry.startsWith(prefix))
            return entry.mid(prefix.size());
    }
    return std::nullopt;
}

QString fileIdFromWmClass(const QString& wmClass)
{
    return wmClass.toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

} // namespace

DesktopFileMatcher::DesktopFileMatcher(QString procRoot_)
    : procRoot(procRoot_), processes(procRoot_)
{
}

const QList<DesktopEntry>& DesktopFileMatcher::Installed::entries()
{
    if (!read)
        read = &all.entries();
    return *read;
}

std::optional<DesktopEntry> DesktopFileMatcher::match(const QList<AppIdentity>& windows) const
{
    if (windows.isEmpty())
        return std::nullopt;
    Installed installed(allEntries);
    const pid_t pid = windows.first().pid;
    if (auto entry = bySandbox(pid))
        return entry;
    // The first window's own hints outrank the process's; later windows can only add their own.
    if (auto entry = byWindow(windows.first(), installed))
        return entry;
    if (auto entry = byProcess(pid, installed))
        return entry;
    for (qsizetype i = 1; i < windows.size(); ++i) {
        if (auto entry = byWindow(windows[i], installed))
            return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopFileMatcher::matchProcess(pid_t pid) const
{
    Installed installed(allEntries);
    if (auto entry = bySandbox(pid))
        return entry;
    return byProcess(pid, installed);
}

std::optional<DesktopEntry> DesktopFileMatcher::byWindow(const AppIdentity& window,
                                                         Installed& installed) const
{
    if (auto entry = byToolkitId(window))
        return entry;
    if (auto entry = byStartupWmClass(window, installed))
        return entry;
    return byWmClassFile(window);
}

std::optional<DesktopEntry> DesktopFileMatcher::byProcess(pid_t pid, Installed& installed) const
{
    if (auto entry = byAppUnit(pid))
        return entry;
    if (auto entry = byLauncherHint(pid))
        return entry;
    return byExec(pid, installed);
}

std::optional<DesktopEntry> DesktopFileMatcher::bySandbox(pid_t pid) const
{
    if (pid <= 0)
        return std::nullopt;
    if (const auto flatpak = flatpakApplication(procFile(pid, "root/.flatpak-info")))
        return DesktopEntries::byId(*flatpak);
    const std::optional<QString> unit = processes.appUnit(pid);
    if (unit && unit->startsWith(QLatin1String("snap."))) {
        if (const auto id = AppUnit::applicationId(*unit))
            return DesktopEntries::byId(*id);
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopFileMatcher::byToolkitId(const AppIdentity& window) const
{
    if (auto entry = DesktopEntries::byId(window.applicationId))
        return entry;
    return DesktopEntries::byId(window.kdeDesktopFile);
}

std::optional<DesktopEntry> DesktopFileMatcher::byStartupWmClass(const AppIdentity& window,
                                                                 Installed& installed) const
{
    for (const QString& wmClass : {window.wmInstance, window.wmClass}) {
        if (wmClass.isEmpty())
            continue;
        for (const DesktopEntry& entry : installed.entries()) {
            if (entry.startupWmClass == wmClass)
                return entry;
        }
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopFileMatcher::byWmClassFile(const AppIdentity& window) const
{
    for (const QString& wmClass : {window.wmInstance, window.wmClass}) {
        if (auto entry = DesktopEntries::byId(wmClass))
            return entry;
        if (auto entry = DesktopEntries::byId(fileIdFromWmClass(wmClass)))
            return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopFileMatcher::byAppUnit(pid_t pid) const
{
    if (pid <= 0)
        return std::nullopt;
    const std::optional<QString> unit = processes.appUnit(pid);
    if (!unit)
        return std::nullopt;
    const std::optional<QString> id = AppUnit::applicationId(*unit);
    return id ? DesktopEntries::byId(*id) : std::nullopt;
}

std::optional<DesktopEntry> DesktopFileMatcher::byLauncherHint(pid_t pid) const
{
    if (pid <= 0)
        return std::nullopt;
    const QByteArray environment = procFile(pid, "environ");
    // Children inherit the launcher's variables; only the launched process itself is meant.
    const auto launchedPid = variable(environment, "GIO_LAUNCHED_DESKTOP_FILE_PID");
    const auto launched = variable(environment, "GIO_LAUNCHED_DESKTOP_FILE");
    if (launched && (!launchedPid || launchedPid->toLongLong() == pid)) {
        if (auto entry = DesktopEntries::byFilename(QFile::decodeName(*launched)))
            return entry;
    }
    if (const auto hint = variable(environment, "BAMF_DESKTOP_FILE_HINT"))
        return DesktopEntries::byFilename(QFile::decodeName(*hint));
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopFileMatcher::byExec(pid_t pid, Installed& installed) const
{
    if (pid <= 0)
        return std::nullopt;
    QStringList words;
    for (const QByteArray& word : procFile(pid, "cmdline").split('\0'))
        words.append(QFile::decodeName(word));
    if (!words.isEmpty() && words.last().isEmpty())
        words.removeLast();
    // An interpreter is known by what it runs, never by its own name.
    const std::optional<QString> runs = CommandIdentity::of(words);
    if (!runs)
        return std::nullopt;
    // A name that fits more than one entry says nothing.
    std::optional<DesktopEntry> found;
    for (const DesktopEntry& entry : installed.entries()) {
        if (CommandIdentity::of(entry.commandLine) != runs)
            continue;
        if (found)
            return std::nullopt;
        found = entry;
    }
    return found;
}

QByteArray DesktopFileMatcher::procFile(pid_t pid, const char* name) const
{
    QFile file(procRoot + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/') +
               QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
