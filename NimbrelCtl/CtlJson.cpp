#include "CtlJson.h"

namespace
{

QJsonValue optionalText(const std::optional<QString>& text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

// The reason's name in the engine; null when none is known.
QJsonValue reasonName(StillOpenReason reason)
{
    switch (reason) {
    case StillOpenReason::none:
        return QJsonValue(QJsonValue::Null);
    case StillOpenReason::askingToSave:
        return QStringLiteral("askingToSave");
    case StillOpenReason::notResponding:
        return QStringLiteral("notResponding");
    case StillOpenReason::cannotBeAsked:
        return QStringLiteral("cannotBeAsked");
    }
    Q_UNREACHABLE();
}

// Whether the app can be force quit, under the engine's name of the state.
QString forceQuitName(ForceQuitState state)
{
    switch (state) {
    case ForceQuitState::possible:
        return QStringLiteral("possible");
    case ForceQuitState::unverified:
        return QStringLiteral("unverified");
    case ForceQuitState::otherUser:
        return QStringLiteral("otherUser");
    case ForceQuitState::waiting:
        return QStringLiteral("waiting");
    case ForceQuitState::failed:
        return QStringLiteral("failed");
    }
    Q_UNREACHABLE();
}

// The apps still open, each with why and whether it can be force quit.
QJsonArray stillOpen(const Quitter::Report& report, const QSet<pid_t>& inUse)
{
    QJsonArray array;
    for (const AppEntry& app : report.stillOpen) {
        QJsonObject object = CtlJson::entry(app, inUse.contains(app.pid));
        object.insert(QStringLiteral("reason"), reasonName(report.reason(app)));
        object.insert(QStringLiteral("forceQuit"), forceQuitName(report.forceQuitState(app)));
        array.append(object);
    }
    return array;
}

// JSON numbers are doubles: byte counts stay exact up to 2^53, far beyond any real figure.
QJsonValue bytes(quint64 value)
{
    return QJsonValue(double(value));
}

} // namespace

QJsonObject CtlJson::entry(const AppEntry& app, bool inUse, Memory memory)
{
    return QJsonObject{
        // An app whose process could not be verified has neither a pid nor a memory figure.
        {QStringLiteral("pid"), app.pid > 0 ? QJsonValue(int(app.pid)) : QJsonValue()},
        {QStringLiteral("name"), app.name},
        {QStringLiteral("desktopId"), optionalText(app.desktopId)},
        {QStringLiteral("desktopFile"), optionalText(app.desktopFile)},
        {QStringLiteral("memory"),
         memory == measured && app.pid > 0 ? bytes(app.memory) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("categories"), QJsonArray::fromStringList(app.categories)},
        {QStringLiteral("inUse"), inUse},
    };
}

QJsonArray CtlJson::entries(const QList<AppEntry>& apps, const QSet<pid_t>& inUse)
{
    QJsonArray array;
    for (const AppEntry& app : apps)
        array.append(entry(app, inUse.contains(app.pid)));
    return array;
}

QJsonObject CtlJson::plan(const QuitPlan& plan, QuitPreset preset, const QSet<pid_t>& inUse)
{
    return QJsonObject{
        {QStringLiteral("preset"), preset.rawValue()},
        {QStringLiteral("toQuit"), entries(plan.toQuit, inUse)},
        {QStringLiteral("kept"), entries(plan.kept, inUse)},
        {QStringLiteral("bytes"), bytes(plan.bytes())},
    };
}

QJsonObject CtlJson::report(const Quitter::Report& report, const QSet<pid_t>& inUse)
{
    return QJsonObject{
        {QStringLiteral("closed"), entries(report.closed, inUse)},
        {QStringLiteral("stillOpen"), stillOpen(report, inUse)},
        {QStringLiteral("freed"), bytes(report.freed())},
        {QStringLiteral("headline"), report.headline()},
    };
}
