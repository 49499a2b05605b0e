import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Nimbrel.QuitUI
import Nimbrel.Shell

// The settings window: start at login, what the program collects, and the tutorial.
ThemedPane {
    id: settings

    required property var shell

    padding: Units.size(20)

    LoginSwitch {
        id: login
    }

    Frame {
        anchors.left: parent.left
        anchors.right: parent.right

        ColumnLayout {
            anchors.fill: parent
            spacing: Units.size(12)

            Switch {
                objectName: "loginSwitch"
                text: qsTranslate("Nimbrel", "Open at login")
                checked: login.on
                // The switch shows what the login item really is, even after a failed change.
                onToggled: login.on = checked
                Accessible.name: text
                Layout.fillWidth: true
            }
            Label {
                objectName: "loginProblem"
                visible: text !== ""
                text: login.problem
                textFormat: Text.PlainText
                font.pixelSize: Units.font(11)
                color: Theme.orange
                wrapMode: Text.WrapAtWordBoundaryOrAnywhere
                Layout.fillWidth: true
            }
            Label {
                text: qsTranslate("Nimbrel", "Nimbrel collects nothing and never connects anywhere except to check for updates.")
                font.pixelSize: Units.font(11)
                color: Theme.secondaryText
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            Button {
                objectName: "tutorialButton"
                text: qsTranslate("Nimbrel", "Show Tutorial")
                onClicked: settings.shell.showTutorial()
                Accessible.name: text
            }
        }
    }
}
