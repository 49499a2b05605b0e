#include "CtlJson.h"

namespace
{

QJsonValue optionalText(const std::optional<QString>& text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

// JSON numbers are doubles: byte counts stay exact up to 2^53, far beyond any real figure.
QJsonValue bytes(quint64 value)
{
    return QJsonValue(double(value));
}

} // namespace

QJsonObject CtlJson::entry(const AppEntry& app, Memory memory)
{
    return QJsonObject{
        // An app whose process could not be verified has neither a pid nor a memory figure.
        {QStringLiteral("pid"), app.pid > 0 ? QJsonValue(int(app.pid)) : QJsonValue()},
        {QStringLiteral("name"), app.name},
        {QStringLiteral("bundleID"), optionalText(app.bundleID)},
        {QStringLiteral("bundleURL"), optionalText(app.bundleURL)},
        {QStringLiteral("memory"),
         memory == measured && app.pid > 0 ? bytes(app.memory) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("category"), optionalText(app.category)},
    };
}

QJsonArray CtlJson::entries(const QList<AppEntry>& apps)
{
    QJsonArray array;
    for (const AppEntry& app : apps)
        array.append(entry(app));
    return array;
}

QJsonObject CtlJson::plan(const QuitPlan& plan, QuitPreset preset)
{
    return QJsonObject{
        {QStringLiteral("preset"), preset.rawValue()},
        {QStringLiteral("toQuit"), entries(plan.toQuit)},
        {QStringLiteral("kept"), entries(plan.kept)},
        {QStringLiteral("bytes"), bytes(plan.bytes())},
    };
}

QJsonObject CtlJson::report(const Quitter::Report& report)
{
    return QJsonObject{
        {QStringLiteral("closed"), entries(report.closed)},
        {QStringLiteral("stillOpen"), entries(report.stillOpen)},
        {QStringLiteral("freed"), bytes(report.freed())},
        {QStringLiteral("headline"), report.headline()},
    };
}
