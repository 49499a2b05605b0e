import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Nimbrel.QuitUI

// The tray panel: the name and the settings button above the app list.
ThemedPane {
    id: panel

    required property QuitModel model
    required property var shell
    // Set where the window behind the panel is transparent.
    property bool rounded: false

    padding: Units.size(16)
    edged: true
    cornerRadius: rounded ? Units.size(8) : 0
    focus: true

    ColumnLayout {
        anchors.fill: parent
        spacing: Units.size(10)

        RowLayout {
            Layout.fillWidth: true
            Label {
                text: "Nimbrel"
                font.pixelSize: Units.font(15)
                font.bold: true
                color: Theme.primaryText
            }
            Item { Layout.fillWidth: true }
            ToolButton {
                objectName: "settingsButton"
                flat: true
                icon.source: "image://symbol/gearshape?color=" + Theme.secondaryText
                icon.color: "transparent"
                onClicked: panel.shell.showSettings()
                ToolTip.visible: hovered
                ToolTip.text: qsTranslate("Nimbrel", "Settings")
                Accessible.name: qsTranslate("Nimbrel", "Settings")
                // Qt's own buttons take no press from a screen reader.
                Accessible.onPressAction: clicked()
            }
        }

        // The panel grows with what it shows up to the screen's height; beyond, it scrolls.
        Flickable {
            id: page
            objectName: "page"
            implicitHeight: content.implicitHeight
            contentHeight: Math.max(height, content.implicitHeight)
            interactive: contentHeight > height
            clip: interactive
            boundsBehavior: Flickable.StopAtBounds
            Layout.fillWidth: true
            Layout.fillHeight: true
            ScrollBar.vertical: ScrollBar {
                policy: page.interactive ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            }

            QuitListView {
                id: content
                model: panel.model
                measuresInBackground: true
                focus: true
                width: page.width
                height: page.contentHeight
            }
        }
    }
}
