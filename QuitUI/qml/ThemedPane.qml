import QtQuick
import QtQuick.Controls
import Nimbrel.QuitUI

// A window's background in the program's theme; controls inside draw with its palette.
Pane {
    id: pane

    // A window without the window manager's frame draws its own edge, so it stands apart from
    // a window of the same shade behind it.
    property bool edged: false
    // Only where the window's own background is transparent.
    property real cornerRadius: 0

    palette.window: Theme.windowBackground
    palette.windowText: Theme.primaryText
    palette.text: Theme.primaryText
    palette.buttonText: Theme.primaryText
    palette.placeholderText: Theme.secondaryText
    palette.base: Theme.dark ? Qt.lighter(Theme.windowBackground, 1.3)
                             : Qt.lighter(Theme.windowBackground, 1.05)
    palette.button: Theme.dark ? Qt.lighter(Theme.windowBackground, 1.5)
                               : Qt.darker(Theme.windowBackground, 1.04)
    palette.toolTipBase: Theme.windowBackground
    palette.toolTipText: Theme.primaryText

    background: Rectangle {
        color: Theme.windowBackground
        border.width: pane.edged ? 1 : 0
        border.color: Theme.edge
        radius: pane.cornerRadius
    }
}
