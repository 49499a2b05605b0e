import QtQuick
import Nimbrel.QuitUI
import QtQuick.Controls

// The large full-width action button: white text on green, or on pale grey when the action is
// not available. `available` only chooses the look; callers disable the control themselves.
Button {
    id: button

    property bool available: true

    font.pixelSize: 14
    font.weight: Font.DemiBold
    topPadding: 8
    bottomPadding: 8
    leftPadding: 12
    rightPadding: 12

    Accessible.name: text

    contentItem: Label {
        text: button.text
        textFormat: Text.PlainText
        font: button.font
        color: "white"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        implicitHeight: 32
        radius: 10
        color: button.available ? Theme.green : Theme.grey
        opacity: button.available ? (button.down ? 0.75 : 1) : Theme.greyOpacity
        border.width: button.visualFocus ? 2 : 0
        border.color: button.palette.highlight
    }
}
