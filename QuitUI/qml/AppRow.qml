import QtQuick
import Nimbrel.QuitUI
import QtQuick.Controls
import QtQuick.Layouts

// One listed app: tick box, icon, name and memory. A tap anywhere on the row toggles it.
Item {
    id: row

    required property QuitModel quitModel
    required property int pid
    required property string name
    required property string memoryText
    required property bool ticked
    required property string tickLabel
    required property string icon

    implicitHeight: content.implicitHeight + 8

    TapHandler {
        onTapped: row.quitModel.setWillQuit(row.pid, !row.ticked)
    }

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.leftMargin: 6
        anchors.rightMargin: 6
        anchors.topMargin: 4
        anchors.bottomMargin: 4
        spacing: 10

        CheckBox {
            checked: row.ticked
            // The model decides: a preset may leave an app unticked however it is clicked.
            nextCheckState: function () {
                row.quitModel.setWillQuit(row.pid, !row.ticked);
                return row.ticked ? Qt.Checked : Qt.Unchecked;
            }
            padding: 0
            Accessible.name: row.tickLabel
        }
        Image {
            source: row.icon
            Layout.preferredWidth: 24
            Layout.preferredHeight: 24
            sourceSize.width: 32
            sourceSize.height: 32
            fillMode: Image.PreserveAspectFit
            smooth: true
            Accessible.ignored: true
        }
        Label {
            text: row.name
            textFormat: Text.PlainText
            font.pixelSize: 13
            elide: Text.ElideRight
            maximumLineCount: 1
            color: row.ticked ? Theme.primaryText : Theme.secondaryText
            Layout.fillWidth: true
        }
        Label {
            visible: row.memoryText !== ""
            text: row.memoryText
            textFormat: Text.PlainText
            font.pixelSize: 12
            color: Theme.secondaryText
        }
    }
}
