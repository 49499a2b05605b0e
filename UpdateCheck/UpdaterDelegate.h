#pragma once

#include <QList>
#include <QMap>
#include <QString>

struct Appcast;

/// What the updater asks of its owner around each feed load. Called on the main thread.
class UpdaterDelegate
{
public:
    /// One extra query item of a feed request: "key" → its name, "value" → its value.
    using Parameter = QMap<QString, QString>;

    virtual ~UpdaterDelegate() = default;

    /// Asked before every feed request; each parameter is added to the request as a query item.
    virtual QList<Parameter> feedParameters() = 0;
    /// Told after a feed has loaded and parsed.
    virtual void didFinishLoadingAppcast(const Appcast& appcast) = 0;
};
