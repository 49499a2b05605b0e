import QtQuick
import Nimbrel.QuitUI

// One of the program's symbol images, tinted, at `size` points square.
Image {
    property string name
    property color color: Theme.primaryText
    property real size: Units.size(16)

    source: "image://symbol/" + name + "?color=" + color
    sourceSize.width: size
    sourceSize.height: size
    width: size
    height: size
    fillMode: Image.PreserveAspectFit
    Accessible.ignored: true
}
