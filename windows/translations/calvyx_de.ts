<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>for the QV T20, T20+, T20s and T30s</source>
        <translation>für QV T20, T20+, T20s und T30s</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Version 2.1 Build 1328</source>
        <translation>Version 2.1 Build 1328</translation>
    </message>
    <message>
        <source>Connectivity Kit</source>
        <translation>Verbindungskit</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Freie Software unter der GNU General Public License, Version 3 oder neuer.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>CalculatorSetupDialog</name>
    <message>
        <source>On the Calculator:<byte value="xd"/>
<byte value="xd"/>
1.  Unplug USB cable<byte value="xd"/>
2.  Hold + and - (3 secs.) while pressing RESET<byte value="xd"/>
3.  Press 1 to load OS/ROM.<byte value="xd"/>
4.  Press 1 for USB.<byte value="xd"/>
5.  Plug USB cable<byte value="xd"/>
6.  Press OK below.</source>
        <translation>Am Rechner:<byte value="xd"/>
<byte value="xd"/>
1.  USB-Kabel abziehen<byte value="xd"/>
2.  + und - (3 Sek.) halten und RESET drücken<byte value="xd"/>
3.  1 drücken, um OS/ROM zu laden.<byte value="xd"/>
4.  1 für USB drücken.<byte value="xd"/>
5.  USB-Kabel einstecken<byte value="xd"/>
6.  Unten auf OK drücken.</translation>
    </message>
    <message>
        <source>Set the Calculator</source>
        <translation>Rechner vorbereiten</translation>
    </message>
    <message>
        <source>On the QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Select the Calcapp to send.<byte value="xd"/>
2.  Press SEND function key.<byte value="xd"/>
3.  Choose: QV20/30 (Wire).<byte value="xd"/>
4.  Press OK function key.<byte value="xd"/>
5.  Click OK below.</source>
        <translation>Am QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Die zu sendende Calcapp wählen.<byte value="xd"/>
2.  Funktionstaste SEND drücken.<byte value="xd"/>
3.  Wählen: QV20/30 (Wire).<byte value="xd"/>
4.  Funktionstaste OK drücken.<byte value="xd"/>
5.  Unten auf OK klicken.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>ClassTableModel</name>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Unplugged: waiting for it</source>
        <translation>Ausgesteckt: wartet darauf</translation>
    </message>
    <message>
        <source>Plugged in again: reconnecting</source>
        <translation>Wieder eingesteckt: verbindet neu</translation>
    </message>
    <message>
        <source>Hung up</source>
        <translation>Aufgelegt</translation>
    </message>
    <message>
        <source>Cannot be opened: %1</source>
        <translation>Lässt sich nicht öffnen: %1</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Geschlossen</translation>
    </message>
    <message>
        <source>Waiting for the calculator</source>
        <translation>Wartet auf den Rechner</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: fertig</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Beschäftigt</translation>
    </message>
    <message>
        <source>%1 (%2%)</source>
        <translation>%1 (%2 %)</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Rechner</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Übertragung</translation>
    </message>
    <message>
        <source>Last result</source>
        <translation>Letztes Ergebnis</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Eingang</translation>
    </message>
</context>
<context>
    <name>ClassWindow</name>
    <message>
        <source>Class</source>
        <translation>Klasse</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Every calculator found is served at once. What each one sends goes into its own folder under %1; a second file of the same name is kept beside the first.</source>
        <translation>Alle gefundenen Rechner werden gleichzeitig bedient. Was jeder sendet, kommt in seinen eigenen Ordner unter %1; eine zweite Datei gleichen Namens wird neben der ersten behalten.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>None: a request is declined</source>
        <translation>Keine: eine Anfrage wird abgelehnt</translation>
    </message>
    <message>
        <source>File for &amp;XModem requests:</source>
        <translation>Datei für &amp;XModem-Anfragen:</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>&amp;Wählen...</translation>
    </message>
    <message>
        <source>Clea&amp;r</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>File for XModem requests</source>
        <translation>Datei für XModem-Anfragen</translation>
    </message>
</context>
<context>
    <name>ConnectionReportDialog</name>
    <message>
        <source>Connection Report</source>
        <translation>Verbindungsbericht</translation>
    </message>
    <message>
        <source>A calculator connection can be opened.</source>
        <translation>Eine Verbindung zum Rechner kann geöffnet werden.</translation>
    </message>
    <message>
        <source>No calculator connection can be opened. What stands in the way, and the command that fixes each thing:</source>
        <translation>Keine Verbindung zum Rechner kann geöffnet werden. Was im Weg steht, und der Befehl, der es jeweils behebt:</translation>
    </message>
    <message>
        <source>&amp;Why?</source>
        <translation>&amp;Warum?</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Calvyx Help</source>
        <translation>Calvyx-Hilfe</translation>
    </message>
    <message>
        <source>No help is available for this item (%1).</source>
        <translation>Für dieses Element ist keine Hilfe verfügbar (%1).</translation>
    </message>
</context>
<context>
    <name>LogWindow</name>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>&amp;Save as Text...</source>
        <translation>Als Text &amp;speichern...</translation>
    </message>
    <message>
        <source>Save Log as Text</source>
        <translation>Protokoll als Text speichern</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>&amp;Clear Log</source>
        <translation>Protokoll &amp;leeren</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles au&amp;swählen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>A transfer is in progress. Stop it and exit?</source>
        <translation>Eine Übertragung läuft. Abbrechen und beenden?</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Error, the folder &quot;</source>
        <translation>Fehler, der Ordner &quot;</translation>
    </message>
    <message>
        <source>&quot; does not exist.</source>
        <translation>&quot; existiert nicht.</translation>
    </message>
    <message>
        <source>Error setting path: &quot;%1&quot;</source>
        <translation>Fehler beim Setzen des Pfads: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; to the trash?</source>
        <translation>&quot;%1&quot; in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>Deleting Files</source>
        <translation>Dateien löschen</translation>
    </message>
    <message>
        <source>it no longer exists</source>
        <translation>es existiert nicht mehr</translation>
    </message>
    <message>
        <source>no permission to remove it from &quot;%1&quot;</source>
        <translation>keine Berechtigung, es aus &quot;%1&quot; zu entfernen</translation>
    </message>
    <message>
        <source>the system refused the move</source>
        <translation>das System hat das Verschieben abgelehnt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash (%2); nothing was deleted.</source>
        <translation>&quot;%1&quot; konnte nicht in den Papierkorb verschoben werden (%2); nichts wurde gelöscht.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Rena&amp;me</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>View the Screen Capture Window</source>
        <translation>Das Fenster Bildschirmaufnahme anzeigen</translation>
    </message>
    <message>
        <source>Receive Calcapp (By Wire) to the PC</source>
        <translation>Calcapp per Kabel auf den PC empfangen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>ToolBar</source>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Einen neuen Ordner anlegen</translation>
    </message>
    <message>
        <source>View screen capture window.</source>
        <translation>Fenster Bildschirmaufnahme anzeigen.</translation>
    </message>
    <message>
        <source>Disconnect and Exit program.</source>
        <translation>Verbindung trennen und Programm beenden.</translation>
    </message>
    <message>
        <source>Show log window</source>
        <translation>Protokollfenster anzeigen</translation>
    </message>
    <message>
        <source>Last command</source>
        <translation>Letzter Befehl</translation>
    </message>
    <message>
        <source>Discard the received object? It has not been saved anywhere.</source>
        <translation>Das empfangene Objekt verwerfen? Es wurde nirgends gespeichert.</translation>
    </message>
    <message>
        <source>ROM %1 (*.bin *.BIN);;%2 (*)</source>
        <translation>ROM-%1 (*.bin *.BIN);;%2 (*)</translation>
    </message>
    <message>
        <source>Calvyx is already running, but its window did not answer.</source>
        <translation>Calvyx läuft bereits, aber sein Fenster hat nicht geantwortet.</translation>
    </message>
    <message>
        <source>a second start cannot reach this window: %1</source>
        <translation>ein zweiter Start kann dieses Fenster nicht erreichen: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again; this window is the one running.</source>
        <translation>Calvyx wurde noch einmal gestartet; dieses Fenster ist das laufende.</translation>
    </message>
    <message>
        <source>Calvyx was started again with &quot;%1&quot;, which is not a connection; the connection stays %2.</source>
        <translation>Calvyx wurde noch einmal mit &quot;%1&quot; gestartet, das keine Verbindung ist; die Verbindung bleibt %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; a transfer is running, so the connection stays %2.</source>
        <translation>Calvyx wurde noch einmal mit %1 gestartet; eine Übertragung läuft, daher bleibt die Verbindung %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; it is now the connection.</source>
        <translation>Calvyx wurde noch einmal mit %1 gestartet; dies ist jetzt die Verbindung.</translation>
    </message>
    <message>
        <source>No file manager could be started for &quot;%1&quot;.</source>
        <translation>Für &quot;%1&quot; konnte kein Dateimanager gestartet werden.</translation>
    </message>
    <message>
        <source>Copying Files</source>
        <translation>Dateien kopieren</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: folders are not copied</source>
        <translation>&quot;%1&quot;: Ordner werden nicht kopiert</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: not a file that can be copied</source>
        <translation>&quot;%1&quot;: keine Datei, die kopiert werden kann</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: it is already in this folder</source>
        <translation>&quot;%1&quot;: ist bereits in diesem Ordner</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a folder of that name is in the way</source>
        <translation>&quot;%1&quot;: ein Ordner dieses Namens ist im Weg</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in &quot;%2&quot;. Replace it with the file dropped here?</source>
        <translation>&quot;%1&quot; gibt es bereits in &quot;%2&quot;. Durch die hier abgelegte Datei ersetzen?</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot;: %2</translation>
    </message>
    <message numerus="yes">
        <source>Copied %n file(s) to %1</source>
        <translation>
            <numerusform>%n Datei nach %1 kopiert</numerusform>
            <numerusform>%n Dateien nach %1 kopiert</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied to &quot;%1&quot;:
%2</source>
        <translation>Nicht nach &quot;%1&quot; kopiert:
%2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Screen capture window is listening; files wait until it closes</source>
        <translation>Das Fenster Bildschirmaufnahme hört zu; Dateien warten, bis es geschlossen wird</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Empfang per Kabel fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>ROM load failed: %1</source>
        <translation>Laden des ROM fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1, which is already the connection.</source>
        <translation>Calvyx wurde noch einmal mit %1 gestartet; das ist bereits die Verbindung.</translation>
    </message>
    <message numerus="yes">
        <source>Copying to %1 cancelled; %n file(s) copied</source>
        <translation>
            <numerusform>Kopieren nach %1 abgebrochen; %n Datei kopiert</numerusform>
            <numerusform>Kopieren nach %1 abgebrochen; %n Dateien kopiert</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its number may belong to another program now. Choose the connection again to reopen it.</source>
        <translation>%1 hat aufgelegt und bleibt geschlossen: Ein Pseudoterminal wird nicht von selbst wieder geöffnet, seine Nummer kann jetzt einem anderen Programm gehören. Wählen Sie die Verbindung erneut, um sie wieder zu öffnen.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Transfers</source>
        <translation>Ü&amp;bertragungen</translation>
    </message>
    <message>
        <source>Show the transfers of this and earlier sessions</source>
        <translation>Die Übertragungen dieser und früherer Sitzungen anzeigen</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Protokoll</translation>
    </message>
    <message>
        <source>Show what happened to the transfers and the link</source>
        <translation>Anzeigen, was mit den Übertragungen und der Verbindung geschah</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>Übertragungen</translation>
    </message>
    <message>
        <source>The transfer history cannot be kept in %1: %2</source>
        <translation>Der Übertragungsverlauf kann nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>&amp;Verbindung</translation>
    </message>
    <message>
        <source>Connect &amp;using:</source>
        <translation>Verbinden ü&amp;ber:</translation>
    </message>
    <message>
        <source>A transfer is in progress: the class view opens once it is over</source>
        <translation>Eine Übertragung läuft: die Klassenansicht öffnet sich, wenn sie vorbei ist</translation>
    </message>
    <message>
        <source>Class view: the calculators are served in the Class window</source>
        <translation>Klassenansicht: die Rechner werden im Fenster „Klasse“ bedient</translation>
    </message>
    <message>
        <source>&amp;Class</source>
        <translation>&amp;Klasse</translation>
    </message>
    <message>
        <source>Serve every calculator of a class at once, each with its own inbox</source>
        <translation>Alle Rechner einer Klasse gleichzeitig bedienen, jeden mit eigenem Eingang</translation>
    </message>
    <message>
        <source>Class view: close the Class window to use one calculator</source>
        <translation>Klassenansicht: schließen Sie das Fenster „Klasse“, um einen einzelnen Rechner zu verwenden</translation>
    </message>
    <message>
        <source>Calvyx — QV T20, T20+, T20s, T30s</source>
        <translation>Calvyx — QV T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>Ordner ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>&amp;Neuer Ordner</translation>
    </message>
    <message>
        <source>&amp;Copy path</source>
        <translation>Pfad &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Show in file manager</source>
        <translation>Im &amp;Dateimanager zeigen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Move the folder or file to the trash</source>
        <translation>Den Ordner oder die Datei in den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>&amp;Screen Capture</source>
        <translation>Bildschirm&amp;aufnahme</translation>
    </message>
    <message>
        <source>&amp;Receive Calcapp (By Wire)</source>
        <translation>Calcapp &amp;empfangen (per Kabel)</translation>
    </message>
    <message>
        <source>&amp;ROM</source>
        <translation>&amp;ROM</translation>
    </message>
    <message>
        <source>&amp;Download Calculator ROM...</source>
        <translation>&amp;Rechner-ROM laden...</translation>
    </message>
    <message>
        <source>&amp;Contents and Index</source>
        <translation>&amp;Inhalt und Index</translation>
    </message>
    <message>
        <source>Communications &amp;Topics</source>
        <translation>&amp;Themen zur Verbindung</translation>
    </message>
    <message>
        <source>Trouble &amp;Shooting</source>
        <translation>&amp;Fehlerbehebung</translation>
    </message>
    <message>
        <source>&amp;Why Can&apos;t Calvyx Connect?</source>
        <translation>&amp;Warum verbindet Calvyx nicht?</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Select the folder for the T20, T20+, T20s, T30s Calcapps</source>
        <translation>Ordner für die Calcapps der T20, T20+, T20s, T30s wählen</translation>
    </message>
    <message>
        <source>Receive file from T20, T20+, T20s, T30s (By Wire)</source>
        <translation>Datei vom T20, T20+, T20s, T30s empfangen (per Kabel)</translation>
    </message>
    <message>
        <source>ROM loaded: %1</source>
        <translation>ROM geladen: %1</translation>
    </message>
    <message>
        <source>Not switched to %1: waiting for the calculator</source>
        <translation>Nicht zu %1 gewechselt: Warten auf den Rechner</translation>
    </message>
    <message>
        <source>Not switched to %1: a transfer is running</source>
        <translation>Nicht zu %1 gewechselt: eine Übertragung läuft</translation>
    </message>
    <message>
        <source>A transfer is running; try again after it</source>
        <translation>Eine Übertragung läuft; danach erneut versuchen</translation>
    </message>
    <message>
        <source>Waiting for the calculator; try again shortly</source>
        <translation>Warten auf den Rechner; gleich erneut versuchen</translation>
    </message>
    <message>
        <source>Waiting for the calculator ...</source>
        <translation>Warten auf den Rechner ...</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Verknüpfung</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureWindow</name>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Bitmaps (*.bmp)</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the picture to the clipboard, then reuse it in documents or editors.<byte value="xd"/>
<byte value="xd"/>
This window opens automatically when the calculator sends a screen.</source>
        <translation>Drücken Sie am Rechner gleichzeitig ON und 1, um den Bildschirm aufzunehmen. Kopieren legt das Bild in die Zwischenablage, damit Sie es in Dokumenten oder Editoren weiterverwenden können.<byte value="xd"/>
<byte value="xd"/>
Dieses Fenster öffnet sich von selbst, wenn der Rechner einen Bildschirm sendet.</translation>
    </message>
    <message>
        <source>Screen Capture</source>
        <translation>Bildschirmaufnahme</translation>
    </message>
    <message>
        <source>Calculator Screen Image</source>
        <translation>Bildschirmbild des Rechners</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Save Picture As</source>
        <translation>Bild speichern unter</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Size of the copied and saved picture</source>
        <translation>Größe des kopierten und gespeicherten Bildes</translation>
    </message>
    <message>
        <source>Copied to the clipboard (%1 x %2 pixels)</source>
        <translation>In die Zwischenablage kopiert (%1 x %2 Pixel)</translation>
    </message>
    <message>
        <source>Not copied: the clipboard did not take the picture</source>
        <translation>Nicht kopiert: die Zwischenablage hat das Bild nicht angenommen</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Gespeichert: %1</translation>
    </message>
    <message>
        <source>Not saved %1: %2</source>
        <translation>Nicht gespeichert %1: %2</translation>
    </message>
    <message>
        <source>&amp;Border:</source>
        <translation>&amp;Rahmen:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>Schl&amp;ießen</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Alle Dateien</translation>
    </message>
    <message>
        <source>Download ROM</source>
        <translation>ROM laden</translation>
    </message>
    <message>
        <source>Download of ROM file <byte value="xd"/>
%s<byte value="xd"/>
failed.</source>
        <translation>Das Laden der ROM-Datei <byte value="xd"/>
%s<byte value="xd"/>
ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Fehler beim Laden</translation>
    </message>
    <message>
        <source>The calculator appears to be disconnected. <byte value="xd"/>
<byte value="xd"/>
Please ensure that:<byte value="xd"/>
<byte value="xd"/>
   1. The calculator is turned on,<byte value="xd"/>
<byte value="xd"/>
   2. The connection is good<byte value="xd"/>
        (unplug and replug the calculator),<byte value="xd"/>
<byte value="xd"/>
   3. The batteries are good<byte value="xd"/>
        (check if the warning indicator is set).</source>
        <translation>Der Rechner scheint nicht verbunden zu sein. <byte value="xd"/>
<byte value="xd"/>
Bitte prüfen Sie, ob:<byte value="xd"/>
<byte value="xd"/>
   1. der Rechner eingeschaltet ist,<byte value="xd"/>
<byte value="xd"/>
   2. die Verbindung in Ordnung ist<byte value="xd"/>
        (Rechner abziehen und wieder einstecken),<byte value="xd"/>
<byte value="xd"/>
   3. die Batterien in Ordnung sind<byte value="xd"/>
        (leuchtet die Warnanzeige?).</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>TransferHistory</name>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>To PC</source>
        <translation>Zum PC</translation>
    </message>
    <message>
        <source>To calculator</source>
        <translation>Zum Rechner</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Cancelled: %1</source>
        <translation>Abgebrochen: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Rechner</translation>
    </message>
</context>
<context>
    <name>TransferHistoryView</name>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>Als CSV &amp;exportieren...</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Als CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>The folder %1 does not exist any more</source>
        <translation>Der Ordner %1 existiert nicht mehr</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>TransferStatusDialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>TransferTexts</name>
    <message>
        <source>Receiving %1</source>
        <translation>Empfange %1</translation>
    </message>
    <message>
        <source>Sending %1</source>
        <translation>Sende %1</translation>
    </message>
    <message>
        <source>Copying %1</source>
        <translation>Kopiere %1</translation>
    </message>
    <message>
        <source>Connecting ...</source>
        <translation>Verbinde ...</translation>
    </message>
    <message>
        <source>cancelled by the calculator</source>
        <translation>vom Rechner abgebrochen</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>Not sent: %1</source>
        <translation>Nicht gesendet: %1</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Empfang per Kabel fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>the calculator cancelled</source>
        <translation>der Rechner hat abgebrochen</translation>
    </message>
    <message>
        <source>the calculator cancelled (%1)</source>
        <translation>der Rechner hat abgebrochen (%1)</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>Verbindung verloren</translation>
    </message>
    <message>
        <source>too many errors on the line</source>
        <translation>zu viele Fehler auf der Leitung</translation>
    </message>
    <message>
        <source>no answer for %1</source>
        <translation>keine Antwort seit %1</translation>
    </message>
    <message>
        <source>cannot store the file: %1</source>
        <translation>die Datei kann nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>not enough disk space (%1)</source>
        <translation>nicht genug Speicherplatz (%1)</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>ungültiger Dateiname</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>die Datei existiert nicht</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>abgelehnt</translation>
    </message>
    <message>
        <source>no start byte</source>
        <translation>kein Startbyte</translation>
    </message>
    <message>
        <source>no valid block from the calculator</source>
        <translation>kein gültiger Block vom Rechner</translation>
    </message>
    <message>
        <source>sent, the end not confirmed</source>
        <translation>gesendet, das Ende nicht bestätigt</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>verweigert</translation>
    </message>
    <message>
        <source>Sent; the calculator did not confirm the end of the file</source>
        <translation>Gesendet; der Rechner hat das Ende der Datei nicht bestätigt</translation>
    </message>
    <message>
        <source>Opening port: %1</source>
        <translation>Öffne Anschluss: %1</translation>
    </message>
    <message>
        <source>Opening Comm %1</source>
        <translation>Öffne Verbindung %1</translation>
    </message>
    <message>
        <source>Device connected on %1</source>
        <translation>Gerät verbunden über %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: done in %2 s</source>
        <translation>%1: fertig in %2 s</translation>
    </message>
    <message>
        <source>Link opened on %1</source>
        <translation>Verbindung auf %1 geöffnet</translation>
    </message>
    <message>
        <source>Link lost on %1; waiting for it to come back</source>
        <translation>Verbindung auf %1 verloren; es wird auf ihre Rückkehr gewartet</translation>
    </message>
    <message>
        <source>%1 was unplugged and plugged in again; reopening it</source>
        <translation>%1 wurde abgezogen und wieder eingesteckt; wird erneut geöffnet</translation>
    </message>
    <message>
        <source>Link back on %1</source>
        <translation>Verbindung auf %1 wieder da</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Link closed on %1</source>
        <translation>Verbindung auf %1 geschlossen</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>T20, T20+, T20s, T30s is not ready</source>
        <translation>T20, T20+, T20s, T30s ist nicht bereit</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1: done, %2 in %3 s</source>
        <translation>%1: fertig, %2 in %3 s</translation>
    </message>
    <message>
        <source>Receiving by wire</source>
        <translation>Empfang per Kabel</translation>
    </message>
    <message>
        <source>the calculator did not take the file</source>
        <translation>der Rechner hat die Datei nicht angenommen</translation>
    </message>
    <message>
        <source>Now send the Calcapp from the calculator&apos;s send menu</source>
        <translation>Senden Sie jetzt die Calcapp aus dem Sendemenü des Rechners</translation>
    </message>
</context>
</TS>
