<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>BroadcastPusher</name>
    <message>
        <source>the push address must start with https:// (it carries the token): %1</source>
        <translation>die Push-Adresse muss mit https:// beginnen (sie trägt den Token): %1</translation>
    </message>
    <message>
        <source>Broadcast: %1</source>
        <translation>Übertragung: %1</translation>
    </message>
    <message>
        <source>the service answered %1 with a reply that could not be read</source>
        <translation>der Dienst antwortete %1 mit einer unlesbaren Antwort</translation>
    </message>
    <message>
        <source>the service answered %1 and names another address, %2: the token goes to the push address alone, so check it</source>
        <translation>der Dienst antwortete %1 und nennt eine andere Adresse, %2: der Token geht nur an die Push-Adresse, bitte prüfen Sie sie</translation>
    </message>
    <message>
        <source>Broadcast: game %1: %2</source>
        <translation>Übertragung: Partie %1: %2</translation>
    </message>
    <message>
        <source>Broadcast: game %1 sent</source>
        <translation>Übertragung: Partie %1 gesendet</translation>
    </message>
    <message>
        <source>Broadcast: game %1 sent; %2</source>
        <translation>Übertragung: Partie %1 gesendet; %2</translation>
    </message>
    <message>
        <source>the service answered %1</source>
        <translation>der Dienst antwortete %1</translation>
    </message>
    <message>
        <source>no answer within %1 s</source>
        <translation>keine Antwort innerhalb von %1 s</translation>
    </message>
    <message>
        <source>Broadcast: retrying in %1 s (%2)</source>
        <translation>Übertragung: neuer Versuch in %1 s (%2)</translation>
    </message>
</context>
<context>
    <name>BroadcastToken</name>
    <message>
        <source>The broadcast token file %1 cannot be read: %2</source>
        <translation>Die Token-Datei %1 der Übertragung ist nicht lesbar: %2</translation>
    </message>
    <message>
        <source>The broadcast token file %1 can be read or changed by other users, so Orvelle does not use it: make it yours alone with &quot;chmod 600 %1&quot;, or set the token again in the settings.</source>
        <translation>Die Token-Datei %1 der Übertragung können andere Benutzer lesen oder ändern, daher verwendet Orvelle sie nicht: Mit &quot;chmod 600 %1&quot; gehört sie Ihnen allein, oder setzen Sie den Token in den Einstellungen neu.</translation>
    </message>
    <message>
        <source>The broadcast token file %1 is empty.</source>
        <translation>Die Token-Datei %1 der Übertragung ist leer.</translation>
    </message>
    <message>
        <source>The broadcast token could not be written to %1: %2</source>
        <translation>Der Token der Übertragung konnte nicht nach %1 geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About Orvelle</source>
        <translation>Über Orvelle</translation>
    </message>
    <message>
        <source>Orvelle Version 1.0</source>
        <translation>Orvelle Version 1.0</translation>
    </message>
    <message>
        <source>A chess clock that photographs the board</source>
        <translation>Eine Schachuhr, die das Brett fotografiert</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later (GPL-3.0-or-later), without any warranty.</source>
        <translation>Freie Software unter der GNU General Public License, Version 3 oder später (GPL-3.0-or-later), ohne jede Gewährleistung.</translation>
    </message>
</context>
<context>
    <name>CMakingDlg</name>
    <message>
        <source>Creating video...</source>
        <translation>Video wird erstellt...</translation>
    </message>
    <message>
        <source>If you decide to upload this video to YouTube, why not share it with folk at the Kadrith Software Google Group!</source>
        <translation>Wenn Sie dieses Video auf YouTube hochladen, teilen Sie es doch auch mit den Leuten in der Google-Gruppe von Kadrith Software!</translation>
    </message>
    <message>
        <source>Video (output.avi) created</source>
        <translation>Video (output.avi) erstellt</translation>
    </message>
</context>
<context>
    <name>COrvelleApp</name>
    <message>
        <source>Orvelle is already running on this desktop: its window is brought to the front.</source>
        <translation>Orvelle läuft auf diesem Desktop schon: sein Fenster wird nach vorn geholt.</translation>
    </message>
</context>
<context>
    <name>COrvelleDlg</name>
    <message>
        <source>Press shift keys to toggle timer. Black to initiate timer.</source>
        <translation>Mit den Umschalttasten wird die Uhr umgeschaltet. Schwarz startet die Uhr.</translation>
    </message>
    <message>
        <source>Time control</source>
        <translation>Bedenkzeit</translation>
    </message>
    <message>
        <source>Error! Cannot find settings.</source>
        <translation>Fehler! Die Einstellungen wurden nicht gefunden.</translation>
    </message>
    <message>
        <source>Could not save the game&apos;s record %1: %2</source>
        <translation>Die Partieaufzeichnung %1 konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Could not save the picture %1: %2</source>
        <translation>Das Foto %1 konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Move %1</source>
        <translation>Zug %1</translation>
    </message>
    <message>
        <source> – %1 to the time control</source>
        <translation> – noch %1 bis zur Zeitkontrolle</translation>
    </message>
    <message>
        <source>Could not find camera! Please plug a camera in and try again.</source>
        <translation>Keine Kamera gefunden! Bitte schließen Sie eine Kamera an und versuchen Sie es noch einmal.</translation>
    </message>
    <message>
        <source>The camera gave no picture: %1</source>
        <translation>Die Kamera lieferte kein Bild: %1</translation>
    </message>
    <message>
        <source>Click reset first, then Make Video</source>
        <translation>Erst auf „Zurücksetzen“ klicken, dann auf „Video erstellen“</translation>
    </message>
    <message>
        <source>The game</source>
        <translation>Die Partie</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Take pictures</source>
        <translation>&amp;Fotos aufnehmen</translation>
    </message>
    <message>
        <source>Make &amp;Video</source>
        <translation>&amp;Video erstellen</translation>
    </message>
    <message>
        <source>The camera is closed: this game goes on without pictures. Tick &quot;Take pictures&quot; for the next one.</source>
        <translation>Die Kamera ist geschlossen: Diese Partie geht ohne Fotos weiter. Für die nächste „Fotos aufnehmen“ ankreuzen.</translation>
    </message>
    <message>
        <source>A game is being played. Close Orvelle and end it?</source>
        <translation>Eine Partie läuft. Orvelle schließen und sie beenden?</translation>
    </message>
    <message>
        <source>The last game&apos;s pictures are still being saved. Close Orvelle when they are?</source>
        <translation>Die Fotos der letzten Partie werden noch gespeichert. Orvelle schließen, sobald sie gespeichert sind?</translation>
    </message>
    <message>
        <source>Keep playing</source>
        <translation>Weiterspielen</translation>
    </message>
    <message>
        <source>Close Orvelle</source>
        <translation>Orvelle schließen</translation>
    </message>
    <message>
        <source>Paused – %1</source>
        <translation>Angehalten – %1</translation>
    </message>
    <message>
        <source>Could not read %1 in the settings %2.</source>
        <translation>In den Einstellungen %2 nicht lesbar: %1.</translation>
    </message>
</context>
<context>
    <name>CSettingsDlg</name>
    <message>
        <source>Orvelle Settings</source>
        <translation>Orvelle-Einstellungen</translation>
    </message>
    <message>
        <source>%1 (camera %2)</source>
        <translation>%1 (Kamera %2)</translation>
    </message>
    <message>
        <source>Camera %1 (not found now)</source>
        <translation>Kamera %1 (derzeit nicht gefunden)</translation>
    </message>
    <message>
        <source>rtsp://..., a video file, or a pipeline ending in appsink</source>
        <translation>rtsp://..., eine Videodatei oder eine Pipeline, die auf appsink endet</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Testen</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Auswählen...</translation>
    </message>
    <message>
        <source>&amp;Camera:</source>
        <translation>&amp;Kamera:</translation>
    </message>
    <message>
        <source>or &amp;source:</source>
        <translation>oder &amp;Quelle:</translation>
    </message>
    <message>
        <source>Picture si&amp;ze:</source>
        <translation>Bild&amp;größe:</translation>
    </message>
    <message>
        <source>Picture &amp;folder:</source>
        <translation>Bild&amp;ordner:</translation>
    </message>
    <message>
        <source>&amp;Left clock:</source>
        <translation>&amp;Linke Uhr:</translation>
    </message>
    <message>
        <source>&amp;Right clock:</source>
        <translation>&amp;Rechte Uhr:</translation>
    </message>
    <message>
        <source>The source %1 gives no picture.</source>
        <translation>Die Quelle %1 liefert kein Bild.</translation>
    </message>
    <message>
        <source>Camera %1 gives no picture.</source>
        <translation>Kamera %1 liefert kein Bild.</translation>
    </message>
    <message>
        <source>The source %1 gives no picture: %2</source>
        <translation>Die Quelle %1 liefert kein Bild: %2</translation>
    </message>
    <message>
        <source>Camera %1 gives no picture: %2</source>
        <translation>Kamera %1 liefert kein Bild: %2</translation>
    </message>
    <message>
        <source>Picture folder</source>
        <translation>Bildordner</translation>
    </message>
    <message>
        <source>A &amp;bell at 10 s left and when a clock runs out</source>
        <translation>Eine Glocke bei 10 s Restzeit und wenn eine Uhr &amp;abläuft</translation>
    </message>
    <message>
        <source>&amp;Time control:</source>
        <translation>&amp;Bedenkzeit:</translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation>Ton:</translation>
    </message>
    <message>
        <source>The sound applies at once; the clock times and the time control while the clocks wait (now, or after the next Reset); a new camera, picture size or folder from the next game.</source>
        <translation>Der Ton gilt sofort, die Uhrzeiten und die Bedenkzeit, sobald die Uhren warten (sofort oder nach dem nächsten Zurücksetzen), eine neue Kamera, Bildgröße oder ein neuer Ordner ab der nächsten Partie.</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Increment</source>
        <translation>Inkrement</translation>
    </message>
    <message>
        <source>Bronstein delay</source>
        <translation>Bronstein-Verzögerung</translation>
    </message>
    <message>
        <source>Simple delay</source>
        <translation>Einfache Verzögerung</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>&amp;Delay:</source>
        <translation>&amp;Verzögerung:</translation>
    </message>
    <message>
        <source>The folder %1 cannot be used: you have no permission to write there.</source>
        <translation>Der Ordner %1 ist nicht verwendbar: Dort fehlt die Schreibberechtigung.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be used: it is on a read-only file system.</source>
        <translation>Der Ordner %1 ist nicht verwendbar: Er liegt auf einem schreibgeschützten Dateisystem.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be used: part of it is a file, not a folder.</source>
        <translation>Der Ordner %1 ist nicht verwendbar: Ein Teil davon ist eine Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be used: %2</source>
        <translation>Der Ordner %1 ist nicht verwendbar: %2</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Also for other computers (a screen in another room)</source>
        <translation>Auch für andere Computer (ein Bildschirm in einem anderen Raum)</translation>
    </message>
    <message>
        <source>kept; type a new one to replace it</source>
        <translation>gespeichert; zum Ersetzen einen neuen eingeben</translation>
    </message>
    <message>
        <source>a token with the study:write scope</source>
        <translation>ein Token mit dem Bereich study:write</translation>
    </message>
    <message>
        <source>Live &amp;pages, port:</source>
        <translation>Live-&amp;Seiten, Port:</translation>
    </message>
    <message>
        <source>A broadcast needs its token: create one with the study:write scope and paste it here.</source>
        <translation>Eine Übertragung braucht ihren Token: einen mit dem Bereich study:write erstellen und hier einfügen.</translation>
    </message>
    <message>
        <source>Broadcast rou&amp;nd:</source>
        <translation>Übertragung, Run&amp;de:</translation>
    </message>
    <message>
        <source>Broadcast to&amp;ken:</source>
        <translation>Übertragung, &amp;Token:</translation>
    </message>
</context>
<context>
    <name>CSplashWnd</name>
    <message>
        <source>Orvelle splash</source>
        <translation>Orvelle-Startbild</translation>
    </message>
</context>
<context>
    <name>CameraView</name>
    <message>
        <source>The board&apos;s corners are clicked on the camera&apos;s picture: tick &quot;Take pictures&quot; first, then choose &quot;Board...&quot; again.</source>
        <translation>Die Ecken des Bretts werden im Bild der Kamera angeklickt: zuerst „Fotos aufnehmen“ ankreuzen, dann wieder „Brett...“ wählen.</translation>
    </message>
</context>
<context>
    <name>ClockFace</name>
    <message>
        <source>Left clock</source>
        <translation>Linke Uhr</translation>
    </message>
    <message>
        <source>Right clock</source>
        <translation>Rechte Uhr</translation>
    </message>
    <message>
        <source>Left clock minutes</source>
        <translation>Minuten der linken Uhr</translation>
    </message>
    <message>
        <source>Right clock minutes</source>
        <translation>Minuten der rechten Uhr</translation>
    </message>
    <message>
        <source>Left clock seconds</source>
        <translation>Sekunden der linken Uhr</translation>
    </message>
    <message>
        <source>Right clock seconds</source>
        <translation>Sekunden der rechten Uhr</translation>
    </message>
    <message>
        <source>Left clock, %1</source>
        <translation>Linke Uhr, %1</translation>
    </message>
    <message>
        <source>Right clock, %1</source>
        <translation>Rechte Uhr, %1</translation>
    </message>
    <message>
        <source>⚑ Out of time first</source>
        <translation>⚑ Zuerst Zeit überschritten</translation>
    </message>
    <message>
        <source>⚑ Out of time</source>
        <translation>⚑ Zeit überschritten</translation>
    </message>
    <message>
        <source>Delay %1 s</source>
        <translation>Verzögerung %L1 s</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>Verzögerung</translation>
    </message>
    <message>
        <source>Left clock, out of time, %1</source>
        <translation>Linke Uhr, Zeit abgelaufen, %1</translation>
    </message>
    <message>
        <source>Right clock, out of time, %1</source>
        <translation>Rechte Uhr, Zeit abgelaufen, %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Try &apos;orvelle --help&apos; for more information.</source>
        <translation>Mehr dazu mit „orvelle --help“.</translation>
    </message>
    <message>
        <source>A chess clock that can photograph the board at every move.
Without options it opens its window.</source>
        <translation>Eine Schachuhr, die bei jedem Zug das Brett fotografieren kann.
Ohne Optionen öffnet sie ihr Fenster.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe zeigen und beenden.</translation>
    </message>
    <message>
        <source>Use the settings file FILE instead of the user&apos;s own (it is made with the defaults when it does not exist).</source>
        <translation>Die Einstellungsdatei DATEI statt der eigenen des Benutzers verwenden (fehlt sie, wird sie mit den Vorgaben angelegt).</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>DATEI</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <source>--settings needs a file, not &apos;%1&apos;.</source>
        <translation>--settings braucht eine Datei, nicht „%1“.</translation>
    </message>
</context>
<context>
    <name>GameDetailsDlg</name>
    <message>
        <source>Game details</source>
        <translation>Partiedaten</translation>
    </message>
    <message>
        <source>&amp;White:</source>
        <translation>&amp;Weiß:</translation>
    </message>
    <message>
        <source>&amp;Black:</source>
        <translation>&amp;Schwarz:</translation>
    </message>
    <message>
        <source>&amp;Event:</source>
        <translation>&amp;Turnier:</translation>
    </message>
    <message>
        <source>&amp;Site:</source>
        <translation>&amp;Ort:</translation>
    </message>
    <message>
        <source>&amp;Round:</source>
        <translation>&amp;Runde:</translation>
    </message>
    <message>
        <source>B&amp;oard:</source>
        <translation>&amp;Brett:</translation>
    </message>
</context>
<context>
    <name>GameSession</name>
    <message>
        <source>Those four clicks make no board: click a1, h1, h8 and a8 in turn, going round it.</source>
        <translation>Diese vier Klicks ergeben kein Brett: a1, h1, h8 und a8 der Reihe nach rundherum anklicken.</translation>
    </message>
</context>
<context>
    <name>LastMoveView</name>
    <message>
        <source>The pictures do not settle this move: click to choose another</source>
        <translation>Die Bilder entscheiden diesen Zug nicht: klicken, um einen anderen zu wählen</translation>
    </message>
</context>
<context>
    <name>LiveFeed</name>
    <message>
        <source>Broadcast: %1</source>
        <translation>Übertragung: %1</translation>
    </message>
    <message>
        <source>Live: %1</source>
        <translation>Live: %1</translation>
    </message>
</context>
<context>
    <name>LiveScore</name>
    <message>
        <source>No board can be seen on %1, so the moves are not read. &quot;Board...&quot; in the preview lets you click its corners.</source>
        <translation>Auf %1 ist kein Brett zu sehen, daher werden die Züge nicht gelesen. Mit „Brett...“ in der Vorschau lassen sich seine Ecken anklicken.</translation>
    </message>
    <message>
        <source>The board is partly covered on %1: the move is read from what can be seen.</source>
        <translation>Das Brett ist auf %1 teilweise verdeckt: Der Zug wird aus dem Sichtbaren gelesen.</translation>
    </message>
    <message>
        <source>The camera moved before %1: the board was found again and its new corners are kept.</source>
        <translation>Die Kamera hat sich vor %1 bewegt: Das Brett wurde wiedergefunden, seine neuen Ecken werden behalten.</translation>
    </message>
    <message>
        <source>The camera has lost the board on %1: its moves cannot be read. &quot;Board...&quot; in the preview lets you click its corners.</source>
        <translation>Die Kamera hat das Brett auf %1 verloren: Seine Züge lassen sich nicht lesen. Mit „Brett...“ in der Vorschau lassen sich seine Ecken anklicken.</translation>
    </message>
</context>
<context>
    <name>LiveServer</name>
    <message>
        <source>Port %1 is in use by another program: choose another port.</source>
        <translation>Port %1 belegt ein anderes Programm: einen anderen Port wählen.</translation>
    </message>
    <message>
        <source>Port %1 is reserved for the system: choose a port above 1023.</source>
        <translation>Port %1 ist dem System vorbehalten: einen Port über 1023 wählen.</translation>
    </message>
    <message>
        <source>Cannot listen on port %1: %2</source>
        <translation>Auf Port %1 kann nicht gehört werden: %2</translation>
    </message>
    <message>
        <source>The address is too long.</source>
        <translation>Die Adresse ist zu lang.</translation>
    </message>
    <message>
        <source>Only GET and HEAD are answered here.</source>
        <translation>Hier werden nur GET und HEAD beantwortet.</translation>
    </message>
    <message>
        <source>There is nothing here.</source>
        <translation>Hier ist nichts.</translation>
    </message>
    <message>
        <source>Too many event streams from this address.</source>
        <translation>Zu viele Ereignisströme von dieser Adresse.</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Out of time</source>
        <translation>Zeit abgelaufen</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>Round %1</source>
        <translation>Runde %1</translation>
    </message>
    <message>
        <source>Board %1</source>
        <translation>Brett %1</translation>
    </message>
    <message>
        <source>Connection lost: reconnecting</source>
        <translation>Verbindung verloren: verbinde neu</translation>
    </message>
    <message>
        <source>Waiting for the game</source>
        <translation>Warten auf die Partie</translation>
    </message>
</context>
<context>
    <name>Media</name>
    <message>
        <source>Cannot load %1, without which there are no camera, pictures or videos: %2</source>
        <translation>%1 lässt sich nicht laden, ohne das gibt es keine Kamera, keine Fotos und keine Videos: %2</translation>
    </message>
</context>
<context>
    <name>PgnCommand</name>
    <message>
        <source>The board, found on %1: --board %2</source>
        <translation>Das Brett, auf %1 gefunden: --board %2</translation>
    </message>
    <message>
        <source>The board: --board %1</source>
        <translation>Das Brett: --board %1</translation>
    </message>
    <message>
        <source>  the board is partly covered on %1</source>
        <translation>  das Brett ist auf %1 teilweise verdeckt</translation>
    </message>
    <message>
        <source>  the camera moved before %1: the board is now at %2</source>
        <translation>  die Kamera hat sich vor %1 bewegt: das Brett liegt jetzt bei %2</translation>
    </message>
    <message>
        <source>  the board cannot be seen on %1</source>
        <translation>  das Brett ist auf %1 nicht zu sehen</translation>
    </message>
    <message>
        <source>Read the moves of a game from its pictures in DIR and write gameNN.pgn there, without a window.</source>
        <translation>Die Züge einer Partie aus ihren Bildern in DIR lesen und dort gameNN.pgn schreiben, ohne Fenster.</translation>
    </message>
    <message>
        <source>With --pgn: the board&apos;s corners a1, h1, h8, a8 in the pictures, as fractions of their width and height (default: BOARD from the settings, else found on the starting position).</source>
        <translation>Mit --pgn: die Ecken a1, h1, h8, a8 des Bretts in den Bildern, als Bruchteile ihrer Breite und Höhe (Vorgabe: BOARD aus den Einstellungen, sonst auf der Ausgangsstellung gesucht).</translation>
    </message>
    <message>
        <source>--board needs eight fractions from 0 to 1, the corners a1, h1, h8 and a8 in turn, not &apos;%1&apos;</source>
        <translation>--board braucht acht Bruchteile von 0 bis 1, die Ecken a1, h1, h8 und a8 der Reihe nach, nicht &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Usage: orvelle --pgn DIR --game N [--board a1x,a1y,h1x,h1y,h8x,h8y,a8x,a8y], with N a whole number from 0</source>
        <translation>Aufruf: orvelle --pgn DIR --game N [--board a1x,a1y,h1x,h1y,h8x,h8y,a8x,a8y], mit N einer ganzen Zahl ab 0</translation>
    </message>
    <message>
        <source>Error. There is no folder %1</source>
        <translation>Fehler. Es gibt keinen Ordner %1</translation>
    </message>
    <message>
        <source>Error. Can&apos;t find %1 in %2!</source>
        <translation>Fehler. %1 ist in %2 nicht zu finden!</translation>
    </message>
    <message>
        <source>The BOARD setting &apos;%1&apos; is not eight fractions: the board is looked for instead.</source>
        <translation>Die Einstellung BOARD &apos;%1&apos; besteht nicht aus acht Bruchteilen: das Brett wird stattdessen gesucht.</translation>
    </message>
    <message>
        <source>Error. No board can be seen on %1: give its corners with --board, or set BOARD.</source>
        <translation>Fehler. Auf %1 ist kein Brett zu sehen: seine Ecken mit --board angeben oder BOARD setzen.</translation>
    </message>
    <message>
        <source>%1 written: %2 plies, %3 uncertain, result %4</source>
        <translation>%1 geschrieben: %2 Halbzüge, %3 unsicher, Ergebnis %4</translation>
    </message>
    <message>
        <source>Error. %1 is missing or cannot be read: the score ends before it.</source>
        <translation>Fehler. %1 fehlt oder ist nicht lesbar: die Partienotation endet davor.</translation>
    </message>
</context>
<context>
    <name>PictureWriter</name>
    <message>
        <source>the picture could not be encoded</source>
        <translation>das Foto konnte nicht kodiert werden</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>die Datei konnte nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>PreviewWindow</name>
    <message>
        <source>Click the outer corner of %1 (%2 of 4)</source>
        <translation>Die äußere Ecke von %1 anklicken (%2 von 4)</translation>
    </message>
</context>
<context>
    <name>ScoreSheet</name>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>ScreenAwake</name>
    <message>
        <source>A chess game is running</source>
        <translation>Eine Schachpartie läuft</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>The settings cannot hold line breaks or other control characters (%1).</source>
        <translation>Die Einstellungen können keine Zeilenumbrüche oder anderen Steuerzeichen aufnehmen (%1).</translation>
    </message>
    <message>
        <source>The settings could not be written to %1.</source>
        <translation>Die Einstellungen konnten nicht in %1 geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Manual</source>
        <translation>Handbuch</translation>
    </message>
</context>
<context>
    <name>TimeControl</name>
    <message>
        <source>a period is empty</source>
        <translation>ein Abschnitt ist leer</translation>
    </message>
    <message>
        <source>%1 is not a clock this program can run</source>
        <translation>%1 ist keine Uhr, die dieses Programm führen kann</translation>
    </message>
    <message>
        <source>the move count of %1 is not a number from 1 to 999</source>
        <translation>die Zugzahl von %1 ist keine Zahl von 1 bis 999</translation>
    </message>
    <message>
        <source>the seconds of %1 are not a number from 1 to 86399</source>
        <translation>die Sekunden von %1 sind keine Zahl von 1 bis 86399</translation>
    </message>
    <message>
        <source>the bonus of %1 is not a number from 0 to 3599</source>
        <translation>der Zuschlag von %1 ist keine Zahl von 0 bis 3599</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 Min. %2 s</translation>
    </message>
    <message>
        <source>%1 Bronstein delay</source>
        <translation>%1 Bronstein-Verzögerung</translation>
    </message>
    <message>
        <source>%1 delay</source>
        <translation>%1 Verzögerung</translation>
    </message>
    <message>
        <source>only the last period can be for the rest of the game</source>
        <translation>nur der letzte Abschnitt kann für den Rest der Partie gelten</translation>
    </message>
    <message>
        <source>more than 8 periods</source>
        <translation>mehr als 8 Abschnitte</translation>
    </message>
    <message>
        <source>DELAY_TYPE %1 is not 0 (none), 1 (increment), 2 (Bronstein) or 3 (simple delay); the clocks run without one.</source>
        <translation>DELAY_TYPE %1 ist nicht 0 (keine), 1 (Inkrement), 2 (Bronstein) oder 3 (einfache Verzögerung); die Uhren laufen ohne.</translation>
    </message>
    <message>
        <source>TIME_CONTROL &quot;%1&quot; is not a time control (%2); the clocks use LTIME and RTIME.</source>
        <translation>TIME_CONTROL „%1“ ist keine Bedenkzeit (%2); die Uhren verwenden LTIME und RTIME.</translation>
    </message>
    <message>
        <source>, then </source>
        <translation>, dann </translation>
    </message>
    <message>
        <source>, repeated</source>
        <translation>, wiederholt</translation>
    </message>
    <message>
        <source>%1 moves in %2</source>
        <translation>%1 Züge in %2</translation>
    </message>
</context>
<context>
    <name>TimeControlDialog</name>
    <message>
        <source>Time control, in seconds: &quot;300&quot;, &quot;180+2&quot;, &quot;40/5400+30:1800+30&quot;</source>
        <translation>Bedenkzeit in Sekunden: „300“, „180+2“, „40/5400+30:1800+30“</translation>
    </message>
</context>
<context>
    <name>TimeControlEdit</name>
    <message>
        <source>Times set with the arrows</source>
        <translation>Mit den Pfeilen eingestellte Zeiten</translation>
    </message>
</context>
<context>
    <name>TimeControlMenu</name>
    <message>
        <source>Time control</source>
        <translation>Bedenkzeit</translation>
    </message>
    <message>
        <source>Times set with the arrows</source>
        <translation>Mit den Pfeilen eingestellte Zeiten</translation>
    </message>
    <message>
        <source>Other...</source>
        <translation>Andere...</translation>
    </message>
    <message>
        <source>FIDE classical: 40 moves in 90 min, then 30 min, +30 s</source>
        <translation>FIDE klassisch: 40 Züge in 90 Min., dann 30 Min., +30 s</translation>
    </message>
</context>
<context>
    <name>VideoCommand</name>
    <message>
        <source>Error. Can&apos;t find %1 in %2!</source>
        <translation>Fehler. %1 ist in %2 nicht zu finden!</translation>
    </message>
    <message>
        <source>Error. Can&apos;t write %1!</source>
        <translation>Fehler. %1 kann nicht geschrieben werden!</translation>
    </message>
    <message>
        <source>Make output.avi and output.srt from a game&apos;s pictures in DIR, without a window.</source>
        <translation>output.avi und output.srt aus den Fotos einer Partie in VERZ erstellen, ohne Fenster.</translation>
    </message>
    <message>
        <source>DIR</source>
        <translation>VERZ</translation>
    </message>
    <message>
        <source>N</source>
        <translation>N</translation>
    </message>
    <message>
        <source>K</source>
        <translation>K</translation>
    </message>
    <message>
        <source>Usage: orvelle --video DIR --game N [--plies K], with N and K whole numbers from 0</source>
        <translation>Aufruf: orvelle --video VERZ --game N [--plies K], mit N und K als ganzen Zahlen ab 0</translation>
    </message>
    <message>
        <source>Error. There is no folder %1</source>
        <translation>Fehler. Es gibt keinen Ordner %1</translation>
    </message>
    <message>
        <source>Making output.avi: %1%</source>
        <translation>output.avi wird erstellt: %1 %</translation>
    </message>
    <message>
        <source>Video (output.avi) created: %1 frames of %2 x %3, %4 s, with output.srt, in %5</source>
        <translation>Video (output.avi) erstellt: %1 Bilder zu %2 x %3, %L4 s, mit output.srt, in %5</translation>
    </message>
    <message>
        <source>Error. %1 is missing or broken: the video ends before it.</source>
        <translation>Fehler. %1 fehlt oder ist beschädigt: Das Video endet davor.</translation>
    </message>
    <message>
        <source>With --video or --pgn: the game&apos;s number.</source>
        <translation>Mit --video oder --pgn: die Nummer der Partie.</translation>
    </message>
    <message>
        <source>Error. %1 is missing or broken: no video was made, and the last output.avi is as it was.</source>
        <translation>Fehler. %1 fehlt oder ist beschädigt: Es wurde kein Video erstellt, das letzte output.avi ist unverändert.</translation>
    </message>
    <message>
        <source>Error. Game %1 has no ply to show: no video was made, and the last output.avi is as it was.</source>
        <translation>Fehler. Partie %1 hat keinen Halbzug zu zeigen: Es wurde kein Video erstellt, das letzte output.avi ist unverändert.</translation>
    </message>
    <message>
        <source>With --video: the game&apos;s plies (default: the last in the game&apos;s record, or without one up to the last picture there is).</source>
        <translation>Mit --video: die Halbzüge der Partie (Vorgabe: der letzte der Partieaufzeichnung, ohne sie bis zum letzten vorhandenen Foto).</translation>
    </message>
</context>
<context>
    <name>WindowMenu</name>
    <message>
        <source>&amp;Settings...</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>Game &amp;details...</source>
        <translation>Partie&amp;daten...</translation>
    </message>
    <message>
        <source>&amp;Board...</source>
        <translation>&amp;Brett...</translation>
    </message>
    <message>
        <source>&amp;Camera picture</source>
        <translation>&amp;Kamerabild</translation>
    </message>
    <message>
        <source>Camera in its own &amp;window</source>
        <translation>Kamera in eigenem &amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;About Orvelle...</source>
        <translation>&amp;Über Orvelle...</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Orvelle needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set.</source>
        <translation>Orvelle braucht eine Arbeitsumgebung: Weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.</translation>
    </message>
</context>
</TS>
