import QtQuick
import Nimbrel.QuitUI
import QtQuick.Controls

// The large full-width action button: white text on green, or on pale grey when the action is
// not available. `available` only chooses the look; callers disable the control themselves.
Button {
    id: button

    property bool available: true

    font.pixelSize: Units.font(14)
    font.weight: Font.DemiBold
    topPadding: Units.size(8)
    bottomPadding: Units.size(8)
    leftPadding: Units.size(12)
    rightPadding: Units.size(12)

    Accessible.name: text
    // A screen reader's press does what a click does, and nothing while the control is off.
    Accessible.onPressAction: {
        if (enabled)
            clicked();
    }

    contentItem: Label {
        text: button.text
        textFormat: Text.PlainText
        font: button.font
        // A long caption (many apps, a long language) shrinks a little before it elides.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: Units.font(11)
        color: "white"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        implicitHeight: Units.size(32)
        radius: Units.size(10)
        color: button.available ? Theme.green : Theme.grey
        opacity: button.available ? (button.down ? 0.75 : 1) : Theme.greyOpacity
        border.width: button.visualFocus ? 2 : 0
        border.color: button.palette.highlight
    }
}
