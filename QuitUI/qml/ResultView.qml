import QtQuick
import Nimbrel.QuitUI
import QtQuick.Controls
import QtQuick.Layouts

// The outcome of a quit: what it freed, what closed, what is still open, and Done.
ColumnLayout {
    id: view

    required property QuitModel model
    readonly property var result: model.result

    spacing: Units.size(14)
    Accessible.role: Accessible.Grouping
    Accessible.name: result.headline

    Item { Layout.fillHeight: true }

    Symbol {
        name: "checkmark.circle.fill"
        color: Theme.green
        size: Units.size(56)
        Layout.alignment: Qt.AlignHCenter
    }

    ColumnLayout {
        visible: view.result.freesMemory
        spacing: view.spacing
        Layout.fillWidth: true

        Label {
            text: view.result.freedText
            font.pixelSize: Units.font(44)
            textFormat: Text.PlainText
            font.bold: true
            color: Theme.primaryText
            Layout.alignment: Qt.AlignHCenter
        }
        Label {
            text: view.result.closedLine
            font.pixelSize: Units.font(15)
            textFormat: Text.PlainText
            color: Theme.secondaryText
            Layout.alignment: Qt.AlignHCenter
        }
        Label {
            text: view.result.closedNames
            font.pixelSize: Units.font(12)
            textFormat: Text.PlainText
            color: Theme.secondaryText
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            maximumLineCount: 3
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
        SmallButton {
            objectName: "reopenButton"
            visible: view.result.showsReopen
            enabled: view.result.reopenEnabled
            text: view.result.reopenCaption
            onClicked: view.model.reopenClosed()
            ToolTip.visible: hovered
            ToolTip.text: qsTranslate("QuitUI", "Opens the closed apps again, if you closed one by mistake.")
            Layout.alignment: Qt.AlignHCenter
        }
        Label {
            visible: text !== ""
            text: view.result.notReopenableLine
            textFormat: Text.PlainText
            font.pixelSize: Units.font(11)
            color: Theme.secondaryText
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }

    Label {
        visible: !view.result.freesMemory
        text: view.result.headline
        font.pixelSize: Units.font(22)
        textFormat: Text.PlainText
        font.weight: Font.DemiBold
        color: Theme.primaryText
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }

    Label {
        visible: view.result.stillOpen.length > 0
        text: view.result.stillOpenLine
        font.pixelSize: Units.font(12)
        textFormat: Text.PlainText
        color: Theme.secondaryText
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        Layout.fillWidth: true
    }
    ScrollView {
        id: stillOpenArea
        objectName: "stillOpenList"
        visible: view.result.stillOpen.length > 0
        contentWidth: availableWidth
        Layout.fillWidth: true
        Layout.preferredHeight: Math.min(stillOpenRows.implicitHeight, Units.size(160))
        ScrollBar.vertical.policy: stillOpenRows.implicitHeight > Units.size(160) ? ScrollBar.AlwaysOn
                                                                       : ScrollBar.AlwaysOff
        ColumnLayout {
            id: stillOpenRows
            // Beside the scroll bar, not under it.
            width: stillOpenArea.availableWidth - (stillOpenArea.ScrollBar.vertical.visible
                                                   ? stillOpenArea.ScrollBar.vertical.width : 0)
            spacing: Units.size(4)
            Repeater {
                model: view.result.stillOpen
                // Qt 6.4's qmllint sees no ids outside a delegate, though QML resolves them.
                delegate: StillOpenRow {
                    quitModel: view.model // qmllint disable unqualified
                    Layout.fillWidth: true
                }
            }
        }
    }

    Item { Layout.fillHeight: true }

    BigButton {
        objectName: "doneButton"
        text: qsTranslate("QuitUI", "Done")
        topPadding: Units.size(12)
        bottomPadding: Units.size(12)
        Layout.fillWidth: true
        onClicked: view.model.finish()
    }
}
