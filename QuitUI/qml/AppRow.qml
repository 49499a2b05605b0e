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

    implicitHeight: content.implicitHeight + Units.size(8)

    // Every way of ticking goes through the model, which alone decides what the box shows.
    function toggle() {
        quitModel.setWillQuit(pid, !ticked);
    }

    TapHandler {
        onTapped: row.toggle()
    }

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.leftMargin: Units.size(6)
        anchors.rightMargin: Units.size(6)
        anchors.topMargin: Units.size(4)
        anchors.bottomMargin: Units.size(4)
        spacing: Units.size(10)

        CheckBox {
            id: tickBox
            checked: row.ticked
            // The model decides: a preset may leave an app unticked however it is clicked.
            nextCheckState: function () {
                row.toggle();
                return row.ticked ? Qt.Checked : Qt.Unchecked;
            }
            padding: 0
            // Drawn in the theme, as Fusion's box and mark fade into a dark window.
            indicator: Rectangle {
                implicitWidth: Units.size(16)
                implicitHeight: Units.size(16)
                radius: Units.size(4)
                color: row.ticked ? Theme.selection : "transparent"
                border.width: tickBox.visualFocus ? 2 : 1
                border.color: tickBox.visualFocus ? tickBox.palette.highlight
                                                  : row.ticked ? Theme.selection : Theme.edge
                Symbol {
                    anchors.centerIn: parent
                    visible: row.ticked
                    name: "checkmark"
                    color: Theme.selectionText
                    size: parent.width - Units.size(4)
                }
            }
            Accessible.name: row.tickLabel
            // Screen readers and tools toggle by action, which would set the box on its own.
            Accessible.onToggleAction: row.toggle()
            Accessible.onPressAction: row.toggle()
        }
        Image {
            source: row.icon
            Layout.preferredWidth: Units.iconSize
            Layout.preferredHeight: Units.iconSize
            sourceSize.width: Units.size(32)
            sourceSize.height: Units.size(32)
            fillMode: Image.PreserveAspectFit
            smooth: true
            Accessible.ignored: true
        }
        Label {
            text: row.name
            font.pixelSize: Units.font(13)
            textFormat: Text.PlainText
            elide: Text.ElideRight
            maximumLineCount: 1
            color: row.ticked ? Theme.primaryText : Theme.secondaryText
            Layout.fillWidth: true
        }
        Label {
            visible: row.memoryText !== ""
            text: row.memoryText
            font.pixelSize: Units.font(12)
            textFormat: Text.PlainText
            color: Theme.secondaryText
        }
    }
}
