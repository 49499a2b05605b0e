<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Nimbrel</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open at login</source>
        <translation>Bei der Anmeldung öffnen</translation>
    </message>
    <message>
        <source>Nimbrel collects nothing and never connects anywhere except to check for updates.</source>
        <translation>Nimbrel sammelt nichts und verbindet sich nirgendwohin, außer um nach Updates zu suchen.</translation>
    </message>
    <message>
        <source>Show Tutorial</source>
        <translation>Einführung zeigen</translation>
    </message>
    <message>
        <source>Step %L1 of %L2</source>
        <translation>Schritt %L1 von %L2</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Too many apps open?</source>
        <translation>Zu viele Apps geöffnet?</translation>
    </message>
    <message>
        <source>This is an example with made-up apps. Press the button and watch — nothing on your computer closes.</source>
        <translation>Dies ist ein Beispiel mit erfundenen Apps. Drücken Sie den Knopf und sehen Sie zu – auf Ihrem Computer wird nichts geschlossen.</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Nimbrel lives in the system tray</source>
        <translation>Nimbrel wohnt im Infobereich</translation>
    </message>
    <message>
        <source>Click the moon in the system tray. Untick apps you want to keep — Nimbrel remembers. Apps with unsaved work ask you first, like Ctrl+Q.</source>
        <translation>Klicken Sie auf den Mond im Infobereich. Entfernen Sie das Häkchen bei Apps, die Sie behalten möchten – Nimbrel merkt es sich. Apps mit ungesicherten Änderungen fragen Sie zuerst, wie bei Strg+Q.</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Quits your running apps in one go</source>
        <translation>Beendet Ihre laufenden Apps auf einen Schlag</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Quit Nimbrel</source>
        <translation>Nimbrel beenden</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Nach Updates suchen …</translation>
    </message>
    <message>
        <source>Nimbrel Settings</source>
        <translation>Nimbrel-Einstellungen</translation>
    </message>
    <message>
        <source>Welcome to Nimbrel</source>
        <translation>Willkommen bei Nimbrel</translation>
    </message>
    <message>
        <source>About Nimbrel</source>
        <translation>Über Nimbrel</translation>
    </message>
    <message>
        <source>Quit every app in one click. Nothing leaves your computer.</source>
        <translation>Alle Apps mit einem Klick beenden. Nichts verlässt Ihren Computer.</translation>
    </message>
    <message>
        <source>Updates are checked in the version from %1.</source>
        <translation>Nach Updates sucht die Version von %1.</translation>
    </message>
    <message>
        <source>Hide Nimbrel</source>
        <translation>Nimbrel ausblenden</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Fenster</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Nimbrel Help</source>
        <translation>Nimbrel-Hilfe</translation>
    </message>
    <message>
        <source>Open Nimbrel</source>
        <translation>Nimbrel öffnen</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Usage: nimbrel [OPTION]
Lists the apps you have open, with the memory they use, from the system tray, and
quits the ones you choose the ordinary way: apps with unsaved work ask you first.

  -h, --help                 show this help and exit
  --version                  show the version and exit

Self-checks, for tests (each writes its result and exits):
  --check-menus FILE         the menus and their shortcuts
  --check-tutorial FILE      the tutorial and the program windows
  --snapshot-windows FOLDER  pictures of the windows, in both looks
  --idle-report FILE         what the program costs while idle
</source>
        <translation>Aufruf: nimbrel [OPTION]
Zeigt im Infobereich die geöffneten Apps mit ihrem Speicherbedarf und beendet die
gewählten auf dem üblichen Weg: Apps mit ungesicherten Änderungen fragen zuerst.

  -h, --help                 diese Hilfe zeigen und beenden
  --version                  die Version zeigen und beenden

Selbsttests, für Tests (jeder schreibt sein Ergebnis und endet):
  --check-menus DATEI        die Menüs und ihre Tastenkürzel
  --check-tutorial DATEI     die Einführung und die Programmfenster
  --snapshot-windows ORDNER  Bilder der Fenster, hell und dunkel
  --idle-report DATEI        was das Programm im Leerlauf kostet
</translation>
    </message>
    <message>
        <source>Could not turn on opening at login: %1</source>
        <translation>„Bei der Anmeldung öffnen“ konnte nicht eingeschaltet werden: %1</translation>
    </message>
    <message>
        <source>Could not turn off opening at login: %1</source>
        <translation>„Bei der Anmeldung öffnen“ konnte nicht ausgeschaltet werden: %1</translation>
    </message>
</context>
<context>
    <name>NimbrelCtl</name>
    <message>
        <source>unknown preset &quot;%1&quot; (use everything, work or call)</source>
        <translation>unbekannte Voreinstellung „%1“ (möglich sind everything, work und call)</translation>
    </message>
    <message>
        <source>--keep needs an app identifier or name</source>
        <translation>--keep braucht die Kennung oder den Namen einer App</translation>
    </message>
    <message>
        <source>--timeout needs a number of seconds from 0 to 3600, not &quot;%1&quot;</source>
        <translation>--timeout braucht eine Zahl von Sekunden von 0 bis 3600, nicht „%1“</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a process id</source>
        <translation>„%1“ ist keine Prozess-ID</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>kein Befehl angegeben</translation>
    </message>
    <message>
        <source>unknown command &quot;%1&quot;</source>
        <translation>unbekannter Befehl „%1“</translation>
    </message>
    <message>
        <source>%1 does not take %2</source>
        <translation>%1 akzeptiert %2 nicht</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert an</translation>
    </message>
    <message>
        <source>force-quit needs exactly one process id</source>
        <translation>force-quit braucht genau eine Prozess-ID</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <source>Usage: nimbrelctl COMMAND [OPTIONS]

Lists and politely quits the running desktop apps, like Nimbrel&apos;s panel.

Commands:
  list [--json]                      running apps with the memory each would free,
                                     largest first
  plan [--preset P] [--keep KEY]... [--json]
                                     what the main button would quit and keep;
                                     without --preset or --keep, Nimbrel&apos;s stored
                                     choices are used (never changed)
  quit [--preset P] [--keep KEY]... [--timeout SECONDS] [--dry-run] [--json]
                                     asks the planned apps to quit and waits for them
                                     (12 seconds by default)
  force-quit PID [--json]            kills one listed app at once (unsaved work is lost)

Presets: everything, work (distractions), call (before a call).
KEY is an app&apos;s identifier, or its name when it has none.

Exit status: 0 success, 1 failure (no display, app already gone), 2 bad arguments
(also a pid that is not a listed app, or quit without --preset while the stored
choices cannot be read), 3 some apps are still open after quit.

Options:
  -h, --help      show this help
  --version       show the version
  --verbose       say on standard error which desktop backends are read (X11,
                  Wayland)
</source>
        <translation>Aufruf: nimbrelctl BEFEHL [OPTIONEN]

Listet die laufenden Desktop-Apps auf und beendet sie höflich, wie das Panel von Nimbrel.

Befehle:
  list [--json]                      laufende Apps mit dem Speicher, den jede freigäbe,
                                     die größte zuerst
  plan [--preset P] [--keep APP]... [--json]
                                     was der Hauptknopf beenden und behalten würde;
                                     ohne --preset oder --keep gelten die in Nimbrel
                                     gespeicherten Entscheidungen (nie verändert)
  quit [--preset P] [--keep APP]... [--timeout SEKUNDEN] [--dry-run] [--json]
                                     bittet die geplanten Apps, sich zu beenden, und
                                     wartet auf sie (standardmäßig 12 Sekunden)
  force-quit PID [--json]            beendet eine aufgeführte App sofort (ungesicherte
                                     Änderungen gehen verloren)

Voreinstellungen: everything (alles), work (Ablenkungen), call (vor einem Anruf).
APP ist die Kennung einer App oder ihr Name, wenn sie keine hat.

Exit-Status: 0 Erfolg, 1 Fehler (kein Display, App schon beendet), 2 falsche Argumente
(auch eine PID, die keine aufgeführte App ist, oder quit ohne --preset, solange die
gespeicherten Entscheidungen nicht gelesen werden können), 3 nach quit sind noch Apps
geöffnet.

Optionen:
  -h, --help      diese Hilfe zeigen
  --version       die Version zeigen
  --verbose       auf der Standardfehlerausgabe sagen, welche Desktop-Backends gelesen
                  werden (X11, Wayland)
</translation>
    </message>
    <message>
        <source>cannot see the desktop&apos;s apps: %1</source>
        <translation>die Apps des Desktops sind nicht zu sehen: %1</translation>
    </message>
    <message>
        <source>Nimbrel&apos;s stored choices cannot be read (%1); they are left as they are</source>
        <translation>die gespeicherten Entscheidungen von Nimbrel lassen sich nicht lesen (%1); sie bleiben, wie sie sind</translation>
    </message>
    <message>
        <source>quit needs --preset until they can be read, so no app you keep is quit</source>
        <translation>quit braucht --preset, bis sie sich lesen lassen, damit keine App beendet wird, die Sie behalten</translation>
    </message>
    <message>
        <source>Closing… %L1 of %L2</source>
        <translation>Schließen … %L1 von %L2</translation>
    </message>
    <message>
        <source>the display went away; apps not seen to close may still be open</source>
        <translation>das Display ist nicht mehr erreichbar; Apps, die nicht sichtbar geschlossen wurden, sind vielleicht noch geöffnet</translation>
    </message>
    <message>
        <source>no process %1 is running; it may have ended already</source>
        <translation>es läuft kein Prozess %1; er ist vielleicht schon beendet</translation>
    </message>
    <message>
        <source>%1 is not the pid of a listed app (see nimbrelctl list)</source>
        <translation>%1 ist nicht die PID einer aufgeführten App (siehe nimbrelctl list)</translation>
    </message>
    <message>
        <source>apps whose process cannot be verified are listed without a pid and cannot be force quit</source>
        <translation>Apps, deren Prozess sich nicht überprüfen lässt, werden ohne PID aufgeführt und lassen sich nicht sofort beenden</translation>
    </message>
    <message>
        <source>Force quit %1 (%2)</source>
        <translation>%1 (%2) sofort beendet</translation>
    </message>
    <message>
        <source>cannot find the nimbrelctl program itself</source>
        <translation>das Programm nimbrelctl selbst ist nicht zu finden</translation>
    </message>
    <message>
        <source>%1 is damaged</source>
        <translation>%1 ist beschädigt</translation>
    </message>
    <message>
        <source>%1 cannot be opened</source>
        <translation>%1 lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>desktop backends: %1</source>
        <translation>Desktop-Backends: %1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>(in use: camera or microphone)</source>
        <translation>(in Verwendung: Kamera oder Mikrofon)</translation>
    </message>
    <message>
        <source>Preset: %1</source>
        <translation>Voreinstellung: %1</translation>
    </message>
    <message>
        <source>Quits %L1 (frees %2):</source>
        <translation>Beendet %L1 (gibt %2 frei):</translation>
    </message>
    <message>
        <source>Keeps %L1:</source>
        <translation>Behält %L1:</translation>
    </message>
    <message>
        <source>Closed (freed %1):</source>
        <translation>Geschlossen (%1 freigegeben):</translation>
    </message>
    <message>
        <source>Still open (it may be asking you to save, or not responding):</source>
        <translation>Noch geöffnet (fragt vielleicht, ob gesichert werden soll, oder reagiert nicht):</translation>
    </message>
    <message>
        <source>Try &apos;nimbrelctl --help&apos;.</source>
        <translation>„nimbrelctl --help“ gibt weitere Auskunft.</translation>
    </message>
    <message>
        <source>cannot load its commands: %1</source>
        <translation>seine Befehle lassen sich nicht laden: %1</translation>
    </message>
    <message>
        <source>%1 (%2) could not be force quit, or has not ended yet</source>
        <translation>%1 (%2) ließ sich nicht sofort beenden oder ist noch nicht beendet</translation>
    </message>
</context>
<context>
    <name>QuitKit</name>
    <message>
        <source>Everything</source>
        <translation>Alles</translation>
    </message>
    <message>
        <source>Distractions</source>
        <translation>Ablenkungen</translation>
    </message>
    <message>
        <source>Before a Call</source>
        <translation>Vor einem Anruf</translation>
    </message>
    <message>
        <source>Quits every app in the taskbar except the ones you keep.</source>
        <translation>Beendet jede App in der Taskleiste außer denen, die Sie behalten.</translation>
    </message>
    <message>
        <source>Quits games, video, music, social apps and messengers. Work stays open.</source>
        <translation>Beendet Spiele, Video, Musik, soziale Netzwerke und Messenger. Die Arbeit bleibt geöffnet.</translation>
    </message>
    <message>
        <source>Quits everything except your call app and apps using the camera or microphone.</source>
        <translation>Beendet alles außer Ihrer Anruf-App und Apps, die Kamera oder Mikrofon verwenden.</translation>
    </message>
    <message>
        <source>Nothing to close</source>
        <translation>Nichts zu schließen</translation>
    </message>
    <message>
        <source>Nothing closed yet</source>
        <translation>Noch nichts geschlossen</translation>
    </message>
    <message>
        <source>Closed 1 app</source>
        <translation>1 App geschlossen</translation>
    </message>
    <message>
        <source>Closed %L1 apps</source>
        <translation>%L1 Apps geschlossen</translation>
    </message>
    <message>
        <source>%1, freed %2</source>
        <translation>%1, %2 freigegeben</translation>
    </message>
    <message>
        <source>Asking to save</source>
        <translation>Fragt, ob gesichert werden soll</translation>
    </message>
    <message>
        <source>Not responding</source>
        <translation>Reagiert nicht</translation>
    </message>
    <message>
        <source>Can&apos;t be asked to quit</source>
        <translation>Lässt sich nicht zum Beenden auffordern</translation>
    </message>
    <message>
        <source>no display</source>
        <translation>kein Display</translation>
    </message>
    <message>
        <source>unsupported session: Wayland without XWayland (DISPLAY is not set)</source>
        <translation>nicht unterstützte Sitzung: Wayland ohne XWayland (DISPLAY ist nicht gesetzt)</translation>
    </message>
    <message>
        <source>apps running natively on Wayland are not listed</source>
        <translation>Apps, die direkt unter Wayland laufen, werden nicht aufgeführt</translation>
    </message>
    <message>
        <source>no app units of this user&apos;s systemd manager at %1</source>
        <translation>keine App-Units des systemd-Managers dieses Benutzers unter %1</translation>
    </message>
    <message>
        <source>the Wayland compositor closed the connection</source>
        <translation>der Wayland-Compositor hat die Verbindung geschlossen</translation>
    </message>
    <message>
        <source>cannot connect to the Wayland display &quot;%1&quot;</source>
        <translation>keine Verbindung zum Wayland-Display „%1“</translation>
    </message>
    <message>
        <source>the Wayland compositor does not list its windows to this program (no wlr foreign toplevel management, no ext foreign toplevel list, and no KDE Plasma window management: KWin offers it only to programs whose desktop entry asks for it)</source>
        <translation>der Wayland-Compositor listet diesem Programm seine Fenster nicht auf (kein wlr foreign toplevel management, keine ext foreign toplevel list und kein KDE Plasma window management: KWin bietet es nur Programmen an, deren Desktop-Eintrag danach fragt)</translation>
    </message>
    <message>
        <source>the X display &quot;%1&quot; does not answer; another program holds it</source>
        <translation>das X-Display „%1“ antwortet nicht; ein anderes Programm hält es fest</translation>
    </message>
    <message>
        <source>cannot connect to the X display &quot;%1&quot;</source>
        <translation>keine Verbindung zum X-Display „%1“</translation>
    </message>
    <message>
        <source>the X server did not answer</source>
        <translation>der X-Server hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the X server went away</source>
        <translation>der X-Server ist nicht mehr erreichbar</translation>
    </message>
    <message>
        <source>the X server does not answer; another program holds it</source>
        <translation>der X-Server antwortet nicht; ein anderes Programm blockiert ihn</translation>
    </message>
    <message>
        <source>windows are shown, but no window manager tells which of them are apps</source>
        <translation>Fenster werden angezeigt, aber kein Fenstermanager sagt, welche davon Apps sind</translation>
    </message>
    <message>
        <source>Can&apos;t be force quit: no process of it could be verified</source>
        <translation>Nicht sofort zu beenden: kein Prozess der App ließ sich prüfen</translation>
    </message>
    <message>
        <source>Can&apos;t be force quit: it runs as another user</source>
        <translation>Nicht sofort zu beenden: läuft als anderer Benutzer</translation>
    </message>
    <message>
        <source>Force quit; waiting for it to end</source>
        <translation>Sofort beendet; wartet auf das Ende</translation>
    </message>
    <message>
        <source>Force quit failed; it is still open</source>
        <translation>Sofort beenden fehlgeschlagen; noch geöffnet</translation>
    </message>
</context>
<context>
    <name>QuitUI</name>
    <message>
        <source>What to quit</source>
        <translation>Was beendet wird</translation>
    </message>
    <message>
        <source>Example apps — nothing on your computer is closed</source>
        <translation>Beispiel-Apps – auf Ihrem Computer wird nichts geschlossen</translation>
    </message>
    <message>
        <source>Ticked apps close; untick one to keep it (remembered). Apps with unsaved work ask you to save first, like Ctrl+Q.</source>
        <translation>Angehakte Apps werden geschlossen; entfernen Sie ein Häkchen, um eine App zu behalten (wird gemerkt). Apps mit ungesicherten Änderungen fragen zuerst, ob gesichert werden soll, wie bei Strg+Q.</translation>
    </message>
    <message>
        <source>No other apps are open.</source>
        <translation>Es sind keine anderen Apps geöffnet.</translation>
    </message>
    <message>
        <source>Opens the closed apps again, if you closed one by mistake.</source>
        <translation>Öffnet die geschlossenen Apps wieder, falls Sie eine versehentlich geschlossen haben.</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>Force Quit</source>
        <translation>Sofort beenden</translation>
    </message>
    <message>
        <source>Unsaved work in this app will be lost.</source>
        <translation>Ungesicherte Änderungen in dieser App gehen verloren.</translation>
    </message>
    <message>
        <source>Closing… %L1 of %L2</source>
        <translation>Schließen … %L1 von %L2</translation>
    </message>
    <message>
        <source>Nothing to Quit</source>
        <translation>Nichts zu beenden</translation>
    </message>
    <message>
        <source>Try It — Nothing Really Closes</source>
        <translation>Ausprobieren – nichts wird wirklich geschlossen</translation>
    </message>
    <message>
        <source>Quit 1 App</source>
        <translation>1 App beenden</translation>
    </message>
    <message>
        <source>Quit %L1 Apps</source>
        <translation>%L1 Apps beenden</translation>
    </message>
    <message>
        <source>%1 · frees %2 of memory</source>
        <translation>%1 · gibt %2 frei</translation>
    </message>
    <message>
        <source>Quit %1</source>
        <translation>%1 beenden</translation>
    </message>
    <message>
        <source>of memory freed — 1 app closed</source>
        <translation>Speicher freigegeben – 1 App geschlossen</translation>
    </message>
    <message>
        <source>of memory freed — %L1 apps closed</source>
        <translation>Speicher freigegeben – %L1 Apps geschlossen</translation>
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
        <source>Reopen 1 App</source>
        <translation>1 App wieder öffnen</translation>
    </message>
    <message>
        <source>Reopen %L1 Apps</source>
        <translation>%L1 Apps wieder öffnen</translation>
    </message>
    <message>
        <source>Can&apos;t be reopened: %1</source>
        <translation>Nicht wieder zu öffnen: %1</translation>
    </message>
    <message>
        <source>Your kept apps could not be read from %1, so no app is ticked until you tick it.</source>
        <translation>Ihre behaltenen Apps konnten nicht aus %1 gelesen werden, daher ist keine App angehakt, bis Sie sie anhaken.</translation>
    </message>
    <message>
        <source>Your choices could not be saved (%1); they hold until Nimbrel quits.</source>
        <translation>Ihre Auswahl konnte nicht gespeichert werden (%1); sie gilt, bis Nimbrel beendet wird.</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <source>The update feed&apos;s address is not a secure one.</source>
        <translation>Die Adresse des Update-Feeds ist nicht sicher.</translation>
    </message>
    <message>
        <source>The update check was stopped.</source>
        <translation>Die Suche nach Updates wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The update server did not answer in time.</source>
        <translation>Der Update-Server hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>The update information is unexpectedly large.</source>
        <translation>Die Update-Informationen sind unerwartet groß.</translation>
    </message>
    <message>
        <source>The update server&apos;s identity could not be verified.</source>
        <translation>Die Identität des Update-Servers konnte nicht überprüft werden.</translation>
    </message>
    <message>
        <source>The update server sent Nimbrel on to an address it does not trust.</source>
        <translation>Der Update-Server hat Nimbrel an eine Adresse weitergeleitet, der es nicht vertraut.</translation>
    </message>
    <message>
        <source>Nimbrel could not reach the update server. Check the internet connection and try again.</source>
        <translation>Nimbrel konnte den Update-Server nicht erreichen. Prüfen Sie die Internetverbindung und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The update server could not give the update information (error %1).</source>
        <translation>Der Update-Server konnte die Update-Informationen nicht liefern (Fehler %1).</translation>
    </message>
    <message>
        <source>The update information could not be loaded.</source>
        <translation>Die Update-Informationen konnten nicht geladen werden.</translation>
    </message>
    <message>
        <source>A new version of Nimbrel is available: %1 (you have %2).</source>
        <translation>Eine neue Version von Nimbrel ist verfügbar: %1 (Sie haben %2).</translation>
    </message>
    <message>
        <source>Release Notes</source>
        <translation>Versionshinweise</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Skip This Version</source>
        <translation>Diese Version überspringen</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>You&apos;re up to date</source>
        <translation>Sie sind auf dem neuesten Stand</translation>
    </message>
    <message>
        <source>Nimbrel %1 is the newest version.</source>
        <translation>Nimbrel %1 ist die neueste Version.</translation>
    </message>
    <message>
        <source>Nimbrel could not check for updates.</source>
        <translation>Nimbrel konnte nicht nach Updates suchen.</translation>
    </message>
    <message>
        <source>The update information could not be read.</source>
        <translation>Die Update-Informationen konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The update feed gives no secure (https) link to this version, so Nimbrel cannot open its download.</source>
        <translation>Der Update-Feed nennt keinen sicheren (https-)Link zu dieser Version, daher kann Nimbrel ihren Download nicht öffnen.</translation>
    </message>
</context>
</TS>
