#pragma once

#include <QMainWindow>

class QMenuBar;
class QQuickView;

/// A program window (settings or tutorial): titled, closable, of a fixed size, hosting Qt Quick
/// content under the program's menu bar. Esc closes it exactly as its close button does.
class NimbrelWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// Takes ownership of `content` and `menuBar`.
    NimbrelWindow(const QString& title, QSize contentSize, QQuickView* content, QMenuBar* menuBar);

    QQuickView* content() const { return view; }
    /// What Esc does: closes the window as its close button would.
    void cancelOperation();

signals:
    /// The window is closing, however it was closed.
    void willClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QQuickView* view;
};
