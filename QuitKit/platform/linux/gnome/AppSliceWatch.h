#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;

// Tells when the app slice changes: a unit or slice folder comes or goes (inotify on the
// slices), or a unit gains or loses its processes (its cgroup.events). Nothing polls.
class AppSliceWatch : public QObject
{
    Q_OBJECT

public:
    explicit AppSliceWatch(QObject* parent = nullptr);
    ~AppSliceWatch() override;

    /// Watches exactly these slice and unit folders from now on.
    void follow(const QStringList& slices, const QStringList& units);

signals:
    void changed();

private:
    void watchPath(const QString& path, quint32 events);
    void readEvents();

    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QHash<QString, int> watches; // watched path -> its inotify watch
};
