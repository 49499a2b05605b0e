#pragma once

#include "SwaySession.h"
#include "TrayDesktop.h"
#include "WlrVirtualPointer.h"

#include <QImage>
#include <QProcess>

// The tray program's desktop on a headless sway, seen through sway's IPC and its screen (grim),
// and typed on with wtype. sway has a layer shell: the panel sits there, out of the window tree.
class SwayTrayDesktop : public TrayDesktop
{
public:
    // `topInset`: the height of a bar across the top of the output, which the panel stays clear of.
    explicit SwayTrayDesktop(int topInset_ = 0) : topInset(topInset_) {}
    ~SwayTrayDesktop() override;

    std::optional<QString> start() override;
    QProcessEnvironment programEnvironment(const QString& busAddress) override;
    bool showsPanel(pid_t program) override;
    std::optional<QString> press(Key key) override;
    std::optional<QString> keepsFocusOnPanel() const override
    {
        return QStringLiteral("sway 1.7 gives a focused layer-shell surface the keyboard back "
                              "whenever it focuses a window; the panel keeps it until it closes");
    }
    std::optional<int> otherWindowCount(pid_t program) override;
    bool openAnotherWindow() override;
    void stopApps() override;

    // The output as sway shows it now; a null image when it cannot be read.
    QImage screen() const;
    // Presses and releases pointer `button` (1 left, 3 right) at `point` of the output; nothing
    // when sent, else why not.
    std::optional<QString> click(QPoint point, int button);
    // Moves the pointer to the output's bottom left corner, where it hovers over nothing.
    std::optional<QString> parkPointer();
    // The compositor, for apps of the test's own.
    SwaySession& session() { return sway; }

protected:
    SwaySession sway;

private:
    const int topInset;
    // A virtual keyboard for the whole session: a seat with none gives no window the keyboard,
    // and one that comes and goes with each key press takes the focus along.
    QProcess keyboard;
    // The same for the pointer, which a headless sway has none of.
    std::unique_ptr<WlrVirtualPointer> pointer;
};
