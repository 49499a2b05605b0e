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
    // What a screen reader hears with each button: the app, and why it is still open.
    readonly property string description: modelData.reason !== ""
                                          ? modelData.name + ", " + modelData.reason
                                          : modelData.name

    spacing: 10

    Image {
        source: row.modelData.icon
        Layout.preferredWidth: 20
        Layout.preferredHeight: 20
        sourceSize.width: 32
        sourceSize.height: 32
        fillMode: Image.PreserveAspectFit
        Accessible.ignored: true
    }
    ColumnLayout {
        spacing: 0
        Layout.fillWidth: true

        Label {
            text: row.modelData.name
            textFormat: Text.PlainText
            font.pixelSize: 12
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
        }
        Label {
            visible: text !== ""
            text: row.modelData.reason
            textFormat: Text.PlainText
            font.pixelSize: 10
            color: Theme.secondaryText
            elide: Text.ElideRight
            maximumLineCount: 1
            Layout.fillWidth: true
        }
    }
    Button {
        text: qsTranslate("QuitUI", "Show")
        font.pixelSize: 11
        onClicked: row.quitModel.show(row.modelData.pid)
        Accessible.name: text
        Accessible.description: row.description
    }
    Button {
        text: qsTranslate("QuitUI", "Force Quit")
        font.pixelSize: 11
        onClicked: row.quitModel.forceQuit(row.modelData.pid)
        ToolTip.visible: hovered
        ToolTip.text: qsTranslate("QuitUI", "Unsaved work in this app will be lost.")
        Accessible.name: text
        Accessible.description: row.description
    }
}
