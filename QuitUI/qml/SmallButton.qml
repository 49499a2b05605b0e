import QtQuick
import QtQuick.Controls
import Nimbrel.QuitUI

// A button for an action beside the main one, named by its caption. A screen reader's press does
// what a click does, and nothing while the button is off: Qt's own buttons take no press.
Button {
    font.pixelSize: Units.font(11)
    Accessible.name: text
    Accessible.onPressAction: {
        if (enabled)
            clicked();
    }
}
