#pragma once

#include <QObject>

#include <memory>

class QDBusServiceWatcher;
class X11SystemTray;

/// The tray hosts the desktop offers, followed as they come and go: a StatusNotifierItem host
/// (the org.kde.StatusNotifierWatcher name on the session bus) and, on X11, an XEmbed tray (the
/// screen's tray selection). Nothing here waits for an answer. Main thread only.
class TrayHosts : public QObject
{
    Q_OBJECT

public:
    explicit TrayHosts(QObject* parent = nullptr);
    ~TrayHosts() override;

    /// False until the session bus told whether a watcher runs.
    bool known() const { return watcherKnown; }
    bool hasStatusNotifierHost() const { return watcherPresent; }
    bool hasXEmbedTray() const;
    /// The XEmbed tray; null off X11.
    X11SystemTray* xembedTray() const { return xembed.get(); }

signals:
    /// A host came or went, or an XEmbed tray changed its colours.
    void changed();
    /// A StatusNotifierWatcher took its name: items must register with it anew.
    void watcherStarted();

private:
    void setWatcherPresent(bool present);

    std::unique_ptr<QDBusServiceWatcher> watcher;
    std::unique_ptr<X11SystemTray> xembed;
    bool watcherKnown = false;
    bool watcherPresent = false;
};
