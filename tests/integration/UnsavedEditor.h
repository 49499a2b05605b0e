#pragma once

#include <QString>

#include <functional>

class DesktopSession;

// An editor holding unsaved text (the test app unsaved.py) on an X test desktop: asked to quit,
// it puts up a save question and stays open, as a real editor does.
class UnsavedEditor
{
public:
    // Starts it on `session`, which stops it with the rest of its apps.
    explicit UnsavedEditor(DesktopSession& session);

    qint64 pid() const { return processId; }
    // Whether its window is on screen.
    bool shown() const;
    // Whether it was asked to quit and put up its save question.
    bool asked() const;
    // Gives the save question the focus, as the user clicking it does, until `panelClosed()`;
    // asks again while it does not have it, since a loaded window manager may pass over a
    // request. False when the panel stayed open within `timeout` ms.
    bool focusQuestionUntil(const std::function<bool()>& panelClosed, int timeout) const;

private:
    // The save question's window; empty until it shows.
    QString question() const;

    QString log;
    qint64 processId = 0;
};
