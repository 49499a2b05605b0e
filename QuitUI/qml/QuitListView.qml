import QtQuick
import Nimbrel.QuitUI
import QtQuick.Controls
import QtQuick.Layouts

// The apps to quit with the preset picker and the main button; the result once a quit is done.
FocusScope {
    id: view

    required property QuitModel model
    readonly property var preset: Texts.presets[model.preset]
    // Whether the list shows at once with quick figures, the exact ones following from a pass
    // off the main thread (the tray panel), rather than once every figure is exact.
    property bool measuresInBackground: false

    // The height it needs: the result's whole, or the list's parts with room for a few rows.
    implicitHeight: model.phase.isDone ? result.implicitHeight : list.implicitHeight

    // A fresh list when shown, unless it shows a quit that runs or its result (a panel reopened).
    Component.onCompleted: refreshIfReady()
    onVisibleChanged: {
        if (visible)
            refreshIfReady();
    }
    function refreshIfReady() {
        if (!model.phase.isReady)
            return;
        if (measuresInBackground)
            model.refreshInBackground();
        else
            model.refresh();
    }

    // Return is the default action: the main button while it works, Done on the result.
    Keys.onReturnPressed: activateDefault()
    Keys.onEnterPressed: activateDefault()
    function activateDefault() {
        if (model.phase.isDone)
            model.finish();
        else if (model.mainButtonEnabled)
            model.startQuitAll();
    }

    ColumnLayout {
        id: list
        objectName: "list"
        anchors.fill: parent
        visible: !view.model.phase.isDone
        spacing: Units.spacing

        TabBar {
            id: picker
            objectName: "presetPicker"
            currentIndex: view.model.preset
            onCurrentIndexChanged: {
                if (currentIndex !== view.model.preset)
                    view.model.preset = currentIndex;
            }
            hoverEnabled: true
            ToolTip.visible: hovered
            ToolTip.text: view.preset.explanation
            Accessible.name: qsTranslate("QuitUI", "What to quit")
            Layout.fillWidth: true
            spacing: Units.size(4)
            background: null

            Repeater {
                model: Texts.presets
                // The chosen preset stands out in the theme's colours, in both looks.
                TabButton {
                    id: presetTab
                    required property var modelData
                    required property int index
                    text: modelData.title
                    Accessible.name: modelData.title
                    Accessible.description: modelData.explanation
                    // Qt's own tabs take no press from a screen reader. Chosen as a click
                    // chooses, so the bar still follows the model's preset.
                    Accessible.onPressAction: presetTab.TabBar.tabBar.setCurrentIndex(presetTab.index)
                    font.pixelSize: Units.font(13)
                    contentItem: Label {
                        text: presetTab.text
                        font: presetTab.font
                        color: presetTab.checked ? Theme.selectionText : Theme.primaryText
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        // A longer language's title shrinks a little before it elides.
                        fontSizeMode: Text.HorizontalFit
                        minimumPixelSize: Units.font(10)
                        elide: Text.ElideRight
                    }
                    background: Rectangle {
                        implicitHeight: Units.size(26)
                        radius: Units.size(6)
                        color: presetTab.checked ? Theme.selection : "transparent"
                        border.width: presetTab.visualFocus ? 2 : 1
                        border.color: presetTab.visualFocus ? presetTab.palette.highlight
                                                            : presetTab.checked ? Theme.selection
                                                                                : Theme.edge
                    }
                }
            }
        }

        RowLayout {
            objectName: "sampleBanner"
            visible: view.model.simulate
            spacing: Units.size(6)
            Symbol {
                name: "theatermasks"
                color: Theme.orange
                size: Units.size(14)
            }
            Label {
                text: qsTranslate("QuitUI", "Example apps — nothing on your computer is closed")
                // Screen readers list hidden items too; this one is only true in the tutorial.
                Accessible.ignored: !view.model.simulate
                font.pixelSize: Units.font(12)
                font.weight: Font.DemiBold
                color: Theme.orange
                wrapMode: Text.Wrap
                Layout.fillWidth: true
            }
        }

        Label {
            objectName: "choicesProblem"
            visible: text !== ""
            text: view.model.choicesProblem
            textFormat: Text.PlainText
            font.pixelSize: Units.font(12)
            color: Theme.orange
            wrapMode: Text.WrapAtWordBoundaryOrAnywhere
            Layout.fillWidth: true
        }

        Label {
            objectName: "explanation"
            text: view.preset.explanation
            font.pixelSize: Units.font(12)
            textFormat: Text.PlainText
            color: Theme.secondaryText
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        Label {
            text: qsTranslate("QuitUI", "Ticked apps close; untick one to keep it (remembered). Apps with unsaved work ask you to save first, like Ctrl+Q.")
            font.pixelSize: Units.font(11)
            color: Theme.secondaryText
            wrapMode: Text.Wrap
            Layout.fillWidth: true
        }

        Label {
            objectName: "emptyText"
            visible: appList.count === 0
            text: qsTranslate("QuitUI", "No other apps are open.")
            Accessible.ignored: !visible
            font.pixelSize: Units.font(13)
            color: Theme.secondaryText
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            wrapMode: Text.Wrap
            Layout.fillWidth: true
            Layout.fillHeight: true
        }

        ScrollView {
            id: scroller
            visible: appList.count > 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            // About three rows, before the panel grows; more rows scroll.
            Layout.preferredHeight: Units.size(100)
            // Shown whenever the list scrolls, not only while it moves.
            ScrollBar.vertical.policy: appList.contentHeight > appList.height ? ScrollBar.AlwaysOn
                                                                                : ScrollBar.AlwaysOff

            ListView {
                id: appList
                objectName: "appList"
                model: view.model.rows
                spacing: Units.size(2)
                clip: true
                reuseItems: true
                // Qt 6.4's qmllint sees no ids outside a delegate, though QML resolves them (what
                // Qt 6.5's `pragma ComponentBehavior: Bound` declares): hence the disable comments.
                // qmllint disable unqualified
                delegate: AppRow {
                    quitModel: view.model
                    width: appList.width - (scroller.ScrollBar.vertical.visible ? scroller.ScrollBar.vertical.width : 0)
                }
                // qmllint enable unqualified
            }
        }

        BigButton {
            id: button
            objectName: "mainButton"
            text: view.model.mainButtonCaption
            font.pixelSize: Units.font(15)
            available: view.model.mainButtonEnabled
            enabled: view.model.mainButtonEnabled
            topPadding: Units.size(14)
            bottomPadding: Units.size(14)
            Layout.fillWidth: true
            onClicked: view.model.startQuitAll()
        }
    }

    Loader {
        id: result
        objectName: "result"
        anchors.fill: parent
        active: view.model.phase.isDone
        sourceComponent: ResultView {
            model: view.model // qmllint disable unqualified
        }
    }
}
