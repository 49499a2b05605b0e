#pragma once

#include "SwayTree.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <cstdint>
#include <memory>

// sway's window tree over its i3-compatible IPC socket ($SWAYSOCK), read without blocking:
// subscribed to window events, it fetches the tree again after each, one request at a time.
class SwayIpc : public QObject
{
    Q_OBJECT

public:
    explicit SwayIpc(const QString& socketPath, QObject* parent = nullptr);
    ~SwayIpc() override;

    bool isConnected() const { return socket >= 0; }
    // The windows of the latest tree received.
    const QList<SwayWindow>& windows() const { return latest; }

    // Asks for the tree again; returns the number of the tree that will show the windows as
    // they are now (compare with treesReceived()).
    std::uint64_t refresh();
    std::uint64_t treesReceived() const { return received; }
    /// Waits, at most until `deadline`, for tree number `tree`; for start-up only.
    bool waitForTree(std::uint64_t tree, QDeadlineTimer deadline);

signals:
    void treeReceived();

private:
    void send(std::uint32_t type, const QByteArray& payload);
    void readMessages();
    void hangUp();

    int socket = -1;
    std::unique_ptr<QSocketNotifier> readable;
    QByteArray buffer;
    QList<SwayWindow> latest;
    std::uint64_t requested = 0;
    std::uint64_t received = 0;
    bool askAgain = false;
};
