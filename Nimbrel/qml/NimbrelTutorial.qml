import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Nimbrel.QuitUI

// The welcome window: try the list on made-up apps, then learn where the program lives.
ThemedPane {
    id: tutorial

    required property QuitModel model
    required property var shell
    property int step: 0

    leftPadding: Units.size(24)
    rightPadding: Units.size(24)
    bottomPadding: Units.size(20)
    topPadding: 0
    focus: true

    Keys.onReturnPressed: {
        if (step !== 0)
            shell.finishTutorial();
    }
    Keys.onEnterPressed: {
        if (step !== 0)
            shell.finishTutorial();
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: Units.size(12)

        RowLayout {
            Layout.topMargin: Units.size(18)
            Layout.fillWidth: true
            Label {
                objectName: "stepLine"
                text: qsTranslate("Nimbrel", "Step %L1 of %L2").arg(tutorial.step + 1).arg(2)
                font.pixelSize: Units.font(12)
                color: Theme.secondaryText
            }
            Item { Layout.fillWidth: true }
            Button {
                objectName: "skipButton"
                text: qsTranslate("Nimbrel", "Skip")
                onClicked: tutorial.shell.finishTutorial()
                Accessible.name: text
            }
        }

        ColumnLayout {
            visible: tutorial.step === 0
            spacing: Units.size(12)
            Layout.fillWidth: true
            Layout.fillHeight: true

            Label {
                text: qsTranslate("Nimbrel", "Too many apps open?")
                font.pixelSize: Units.font(22)
                font.bold: true
                color: Theme.primaryText
            }
            Label {
                text: qsTranslate("Nimbrel", "This is an example with made-up apps. Press the button and watch — nothing on your computer closes.")
                color: Theme.secondaryText
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            QuitListView {
                model: tutorial.model
                focus: tutorial.step === 0
                Layout.fillWidth: true
                Layout.fillHeight: true
            }
            RowLayout {
                Item { Layout.fillWidth: true }
                Button {
                    objectName: "nextButton"
                    text: qsTranslate("Nimbrel", "Next")
                    font.pixelSize: Units.font(15)
                    padding: Units.size(10)
                    onClicked: {
                        tutorial.step = 1;
                        tutorial.forceActiveFocus();
                    }
                    Accessible.name: text
                }
            }
        }

        ColumnLayout {
            visible: tutorial.step !== 0
            spacing: Units.size(12)
            Layout.fillWidth: true
            Layout.fillHeight: true

            Item { Layout.fillHeight: true }
            Symbol {
                name: "moon.zzz.fill"
                size: Units.size(44)
                Layout.alignment: Qt.AlignHCenter
            }
            Label {
                text: qsTranslate("Nimbrel", "Nimbrel lives in the system tray")
                font.pixelSize: Units.font(22)
                font.bold: true
                color: Theme.primaryText
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            Label {
                text: qsTranslate("Nimbrel", "Click the moon in the system tray. Untick apps you want to keep — Nimbrel remembers. Apps with unsaved work ask you first, like Ctrl+Q.")
                color: Theme.secondaryText
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
            Item { Layout.fillHeight: true }
            BigButton {
                objectName: "doneButton"
                text: qsTranslate("Nimbrel", "Done")
                Layout.fillWidth: true
                onClicked: tutorial.shell.finishTutorial()
            }
        }
    }
}
