<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Nimbrel</name>
    <message>
        <source>Quits every app in the Dock except the ones you keep.</source>
        <translation>Quits every app in the taskbar except the ones you keep.</translation>
    </message>
    <message>
        <source>Example apps — nothing on your Mac is closed</source>
        <translation>Example apps — nothing on your computer is closed</translation>
    </message>
    <message>
        <source>Ticked apps close; untick one to keep it (remembered). Apps with unsaved work ask you to save first, like ⌘Q.</source>
        <translation>Ticked apps close; untick one to keep it (remembered). Apps with unsaved work ask you to save first, like Ctrl+Q.</translation>
    </message>
    <message>
        <source>Quit every app in one click. Nothing leaves your Mac.</source>
        <translation>Quit every app in one click. Nothing leaves your computer.</translation>
    </message>
    <message>
        <source>This is an example with made-up apps. Press the button and watch — nothing on your Mac closes.</source>
        <translation>This is an example with made-up apps. Press the button and watch — nothing on your computer closes.</translation>
    </message>
    <message>
        <source>Nimbrel lives in the menu bar</source>
        <translation>Nimbrel lives in the system tray</translation>
    </message>
    <message>
        <source>Click the moon at the top of your screen. Untick apps you want to keep — Nimbrel remembers. Apps with unsaved work ask you first, like ⌘Q.</source>
        <translation>Click the moon in the system tray. Untick apps you want to keep — Nimbrel remembers. Apps with unsaved work ask you first, like Ctrl+Q.</translation>
    </message>
</context>
</TS>
