import QtQuick
import Nimbrel.QuitUI
import QtQuick.Controls
import QtQuick.Layouts

// An app that did not close: its icon, name and why it may still be open, and what can still be
// done about it.
RowLayout {
    id: row

    required property QuitModel quitModel
    required property var modelData
    // What a screen reader hears with each button: the app, why it is still open, and how a
    // force quit of it stands.
    readonly property string description: [modelData.name, modelData.reason,
                                           modelData.forceQuitNote].filter(part => part !== "")
                                                                   .join(", ")

    spacing: Units.size(10)

    Image {
        source: row.modelData.icon
        Layout.preferredWidth: Units.size(20)
        Layout.preferredHeight: Units.size(20)
        sourceSize.width: Units.size(32)
        sourceSize.height: Units.size(32)
        fillMode: Image.PreserveAspectFit
        Accessible.ignored: true
    }
    ColumnLayout {
        spacing: Units.size(0)
        Layout.fillWidth: true

        Label {
            text: row.modelData.name
            font.pixelSize: Units.font(12)
            textFormat: Text.PlainText
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
        }
        Label {
            visible: text !== ""
            text: row.modelData.reason
            font.pixelSize: Units.font(10)
            textFormat: Text.PlainText
            color: Theme.secondaryText
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
        }
        Label {
            objectName: "forceQuitNote"
            visible: text !== ""
            text: row.modelData.forceQuitNote
            textFormat: Text.PlainText
            font.pixelSize: Units.font(10)
            color: Theme.secondaryText
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }
    SmallButton {
        text: qsTranslate("QuitUI", "Show")
        onClicked: row.quitModel.show(row.modelData.pid)
        Accessible.description: row.description
    }
    SmallButton {
        visible: row.modelData.offersForceQuit
        text: qsTranslate("QuitUI", "Force Quit")
        onClicked: row.quitModel.forceQuit(row.modelData.pid)
        ToolTip.visible: hovered
        ToolTip.text: qsTranslate("QuitUI", "Unsaved work in this app will be lost.")
        Accessible.description: row.description
    }
}
