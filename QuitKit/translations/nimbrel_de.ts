<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Nimbrel</name>
    <message>
        <source>%@ · frees %@ of memory</source>
        <translation>%@ · gibt %@ Speicher frei</translation>
    </message>
    <message>
        <source>%@, freed %@</source>
        <translation>%@, %@ freigegeben</translation>
    </message>
    <message>
        <source>(in use: camera or microphone)</source>
        <translation>(in Verwendung: Kamera oder Mikrofon)</translation>
    </message>
    <message>
        <source>A new version of Nimbrel is available: %@ (you have %@).</source>
        <translation>Eine neue Version von Nimbrel ist verfügbar: %@ (Sie haben %@).</translation>
    </message>
    <message>
        <source>About Nimbrel</source>
        <translation>Über Nimbrel</translation>
    </message>
    <message>
        <source>apps running natively on Wayland are not listed</source>
        <translation>Apps, die direkt unter Wayland laufen, werden nicht aufgeführt</translation>
    </message>
    <message>
        <source>Asking to save</source>
        <translation>Fragt, ob gesichert werden soll</translation>
    </message>
    <message>
        <source>Before a Call</source>
        <translation>Vor einem Anruf</translation>
    </message>
    <message>
        <source>Can't be asked to quit</source>
        <translation>Lässt sich nicht zum Beenden auffordern</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Nach Updates suchen …</translation>
    </message>
    <message>
        <source>Click the moon at the top of your screen. Untick apps you want to keep — Nimbrel remembers. Apps with unsaved work ask you first, like ⌘Q.</source>
        <translation>Klicken Sie auf den Mond im Infobereich. Entfernen Sie das Häkchen bei Apps, die Sie behalten möchten – Nimbrel merkt es sich. Apps mit ungesicherten Änderungen fragen Sie zuerst, wie bei Strg+Q.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Closed %d apps</source>
        <translation>%d Apps geschlossen</translation>
    </message>
    <message>
        <source>Closed 1 app</source>
        <translation>1 App geschlossen</translation>
    </message>
    <message>
        <source>Closing… %d of %d</source>
        <translation>Schließen … %d von %d</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Distractions</source>
        <translation>Ablenkungen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Everything</source>
        <translation>Alles</translation>
    </message>
    <message>
        <source>Example apps — nothing on your Mac is closed</source>
        <translation>Beispiel-Apps – auf Ihrem Computer wird nichts geschlossen</translation>
    </message>
    <message>
        <source>Force Quit</source>
        <translation>Sofort beenden</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Hide Nimbrel</source>
        <translation>Nimbrel ausblenden</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Nimbrel %@ is the newest version.</source>
        <translation>Nimbrel %@ ist die neueste Version.</translation>
    </message>
    <message>
        <source>Nimbrel collects nothing and never connects anywhere except to check for updates.</source>
        <translation>Nimbrel sammelt nichts und verbindet sich nirgendwohin, außer um nach Updates zu suchen.</translation>
    </message>
    <message>
        <source>Nimbrel could not check for updates.</source>
        <translation>Nimbrel konnte nicht nach Updates suchen.</translation>
    </message>
    <message>
        <source>Nimbrel could not reach the update server. Check the internet connection and try again.</source>
        <translation>Nimbrel konnte den Update-Server nicht erreichen. Prüfen Sie die Internetverbindung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Nimbrel Help</source>
        <translation>Nimbrel-Hilfe</translation>
    </message>
    <message>
        <source>Nimbrel lives in the menu bar</source>
        <translation>Nimbrel wohnt im Infobereich</translation>
    </message>
    <message>
        <source>Nimbrel Settings</source>
        <translation>Nimbrel-Einstellungen</translation>
    </message>
    <message>
        <source>No other apps are open.</source>
        <translation>Es sind keine anderen Apps geöffnet.</translation>
    </message>
    <message>
        <source>Not responding</source>
        <translation>Reagiert nicht</translation>
    </message>
    <message>
        <source>Nothing closed yet</source>
        <translation>Noch nichts geschlossen</translation>
    </message>
    <message>
        <source>Nothing to close</source>
        <translation>Nichts zu schließen</translation>
    </message>
    <message>
        <source>Nothing to Quit</source>
        <translation>Nichts zu beenden</translation>
    </message>
    <message>
        <source>of memory freed — %d apps closed</source>
        <translation>Speicher freigegeben – %d Apps geschlossen</translation>
    </message>
    <message>
        <source>of memory freed — 1 app closed</source>
        <translation>Speicher freigegeben – 1 App geschlossen</translation>
    </message>
    <message>
        <source>Open at login</source>
        <translation>Bei der Anmeldung öffnen</translation>
    </message>
    <message>
        <source>Open Nimbrel</source>
        <translation>Nimbrel öffnen</translation>
    </message>
    <message>
        <source>Opens the closed apps again, if you closed one by mistake.</source>
        <translation>Öffnet die geschlossenen Apps wieder, falls Sie eine versehentlich geschlossen haben.</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Quit %@</source>
        <translation>%@ beenden</translation>
    </message>
    <message>
        <source>Quit %d Apps</source>
        <translation>%d Apps beenden</translation>
    </message>
    <message>
        <source>Quit 1 App</source>
        <translation>1 App beenden</translation>
    </message>
    <message>
        <source>Quit every app in one click. Nothing leaves your Mac.</source>
        <translation>Alle Apps mit einem Klick beenden. Nichts verlässt Ihren Computer.</translation>
    </message>
    <message>
        <source>Quit Nimbrel</source>
        <translation>Nimbrel beenden</translation>
    </message>
    <message>
        <source>Quits every app in the Dock except the ones you keep.</source>
        <translation>Beendet jede App in der Taskleiste außer denen, die Sie behalten.</translation>
    </message>
    <message>
        <source>Quits everything except your call app and apps using the camera or microphone.</source>
        <translation>Beendet alles außer Ihrer Anruf-App und Apps, die Kamera oder Mikrofon verwenden.</translation>
    </message>
    <message>
        <source>Quits games, video, music, social apps and messengers. Work stays open.</source>
        <translation>Beendet Spiele, Video, Musik, soziale Netzwerke und Messenger. Die Arbeit bleibt geöffnet.</translation>
    </message>
    <message>
        <source>Quits your running apps in one go</source>
        <translation>Beendet Ihre laufenden Apps auf einen Schlag</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Release Notes</source>
        <translation>Versionshinweise</translation>
    </message>
    <message>
        <source>Reopen Them</source>
        <translation>Wieder öffnen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>Show Tutorial</source>
        <translation>Einführung zeigen</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Skip This Version</source>
        <translation>Diese Version überspringen</translation>
    </message>
    <message>
        <source>Step %d of %d</source>
        <translation>Schritt %d von %d</translation>
    </message>
    <message>
        <source>Still open — it may be asking you to save, or not responding:</source>
        <translation>Noch geöffnet – fragt vielleicht, ob gesichert werden soll, oder reagiert nicht:</translation>
    </message>
    <message>
        <source>Still open — they may be asking you to save, or not responding:</source>
        <translation>Noch geöffnet – fragen vielleicht, ob gesichert werden soll, oder reagieren nicht:</translation>
    </message>
    <message>
        <source>The update check was stopped.</source>
        <translation>Die Suche nach Updates wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The update information is unexpectedly large.</source>
        <translation>Die Update-Informationen sind unerwartet groß.</translation>
    </message>
    <message>
        <source>The update feed's address is not a secure one.</source>
        <translation>Die Adresse des Update-Feeds ist nicht sicher.</translation>
    </message>
    <message>
        <source>The update information could not be loaded.</source>
        <translation>Die Update-Informationen konnten nicht geladen werden.</translation>
    </message>
    <message>
        <source>The update information could not be read.</source>
        <translation>Die Update-Informationen konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The update server could not give the update information (error %d).</source>
        <translation>Der Update-Server konnte die Update-Informationen nicht liefern (Fehler %d).</translation>
    </message>
    <message>
        <source>The update server did not answer in time.</source>
        <translation>Der Update-Server hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>The update server sent Nimbrel on to an address it does not trust.</source>
        <translation>Der Update-Server hat Nimbrel an eine Adresse weitergeleitet, der es nicht vertraut.</translation>
    </message>
    <message>
        <source>The update server's identity could not be verified.</source>
        <translation>Die Identität des Update-Servers konnte nicht überprüft werden.</translation>
    </message>
    <message>
        <source>the X display &quot;%@&quot; does not answer; another program holds it</source>
        <translation>das X-Display „%@“ antwortet nicht; ein anderes Programm hält es fest</translation>
    </message>
    <message>
        <source>the X server does not answer; another program holds it</source>
        <translation>der X-Server antwortet nicht; ein anderes Programm blockiert ihn</translation>
    </message>
    <message>
        <source>This is an example with made-up apps. Press the button and watch — nothing on your Mac closes.</source>
        <translation>Dies ist ein Beispiel mit erfundenen Apps. Drücken Sie den Knopf und sehen Sie zu – auf Ihrem Computer wird nichts geschlossen.</translation>
    </message>
    <message>
        <source>Ticked apps close; untick one to keep it (remembered). Apps with unsaved work ask you to save first, like ⌘Q.</source>
        <translation>Angehakte Apps werden geschlossen; entfernen Sie ein Häkchen, um eine App zu behalten (wird gemerkt). Apps mit ungesicherten Änderungen fragen zuerst, ob gesichert werden soll, wie bei Strg+Q.</translation>
    </message>
    <message>
        <source>Too many apps open?</source>
        <translation>Zu viele Apps geöffnet?</translation>
    </message>
    <message>
        <source>Try It — Nothing Really Closes</source>
        <translation>Ausprobieren – nichts wird wirklich geschlossen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Unsaved work in this app will be lost.</source>
        <translation>Ungesicherte Änderungen in dieser App gehen verloren.</translation>
    </message>
    <message>
        <source>Updates are checked in the version from </source>
        <translation>Nach Updates sucht die Version von </translation>
    </message>
    <message>
        <source>Welcome to Nimbrel</source>
        <translation>Willkommen bei Nimbrel</translation>
    </message>
    <message>
        <source>What to quit</source>
        <translation>Was beendet wird</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Fenster</translation>
    </message>
    <message>
        <source>windows are shown, but no window manager tells which of them are apps</source>
        <translation>Fenster werden angezeigt, aber kein Fenstermanager sagt, welche davon Apps sind</translation>
    </message>
    <message>
        <source>You're up to date</source>
        <translation>Sie sind auf dem neuesten Stand</translation>
    </message>
</context>
</TS>
