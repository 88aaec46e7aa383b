<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl_NL">
<context>
    <name>AboutDialog</name>
    <message>
        <source>for the QV T20, T20+, T20s and T30s</source>
        <translation>voor de QV T20, T20+, T20s en T30s</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Version 2.1 Build 1328</source>
        <translation>Versie 2.1 build 1328</translation>
    </message>
    <message>
        <source>Connectivity Kit</source>
        <translation>Verbindingskit</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Vrije software onder de GNU General Public License, versie 3 of later.</translation>
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
        <translation>Op de rekenmachine:<byte value="xd"/>
<byte value="xd"/>
1.  Maak de USB-kabel los<byte value="xd"/>
2.  Houd + en - (3 sec.) vast en druk op RESET<byte value="xd"/>
3.  Druk op 1 om OS/ROM te laden.<byte value="xd"/>
4.  Druk op 1 voor USB.<byte value="xd"/>
5.  Sluit de USB-kabel aan<byte value="xd"/>
6.  Druk hieronder op OK.</translation>
    </message>
    <message>
        <source>Set the Calculator</source>
        <translation>Rekenmachine instellen</translation>
    </message>
    <message>
        <source>On the QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Select the Calcapp to send.<byte value="xd"/>
2.  Press SEND function key.<byte value="xd"/>
3.  Choose: QV20/30 (Wire).<byte value="xd"/>
4.  Press OK function key.<byte value="xd"/>
5.  Click OK below.</source>
        <translation>Op de QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Selecteer de Calcapp om te verzenden.<byte value="xd"/>
2.  Druk op functietoets SEND.<byte value="xd"/>
3.  Kies: QV20/30 (Wire).<byte value="xd"/>
4.  Druk op functietoets OK.<byte value="xd"/>
5.  Klik hieronder op OK.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuleren</translation>
    </message>
</context>
<context>
    <name>ClassTableModel</name>
    <message>
        <source>Connected</source>
        <translation>Verbonden</translation>
    </message>
    <message>
        <source>Unplugged: waiting for it</source>
        <translation>Losgekoppeld: wacht erop</translation>
    </message>
    <message>
        <source>Plugged in again: reconnecting</source>
        <translation>Opnieuw aangesloten: verbindt opnieuw</translation>
    </message>
    <message>
        <source>Hung up</source>
        <translation>Opgehangen</translation>
    </message>
    <message>
        <source>Cannot be opened: %1</source>
        <translation>Kan niet worden geopend: %1</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Gesloten</translation>
    </message>
    <message>
        <source>Waiting for the calculator</source>
        <translation>Wacht op de rekenmachine</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: klaar</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Bezig</translation>
    </message>
    <message>
        <source>%1 (%2%)</source>
        <translation>%1 (%2%)</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Rekenmachine</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>Aansluiting</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Toestand</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Overdracht</translation>
    </message>
    <message>
        <source>Last result</source>
        <translation>Laatste resultaat</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Inbox</translation>
    </message>
</context>
<context>
    <name>ClassWindow</name>
    <message>
        <source>Class</source>
        <translation>Klas</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Sluiten</translation>
    </message>
    <message>
        <source>Every calculator found is served at once. What each one sends goes into its own folder under %1; a second file of the same name is kept beside the first.</source>
        <translation>Alle gevonden rekenmachines worden tegelijk bediend. Wat elk verstuurt, komt in een eigen map onder %1; een tweede bestand met dezelfde naam wordt naast het eerste bewaard.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuleren</translation>
    </message>
    <message>
        <source>None: a request is declined</source>
        <translation>Geen: een verzoek wordt geweigerd</translation>
    </message>
    <message>
        <source>File for &amp;XModem requests:</source>
        <translation>Bestand voor &amp;XModem-verzoeken:</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>&amp;Kiezen...</translation>
    </message>
    <message>
        <source>Clea&amp;r</source>
        <translation>&amp;Wissen</translation>
    </message>
    <message>
        <source>File for XModem requests</source>
        <translation>Bestand voor XModem-verzoeken</translation>
    </message>
</context>
<context>
    <name>ConnectionReportDialog</name>
    <message>
        <source>Connection Report</source>
        <translation>Verbindingsrapport</translation>
    </message>
    <message>
        <source>A calculator connection can be opened.</source>
        <translation>Een verbinding met de rekenmachine kan worden geopend.</translation>
    </message>
    <message>
        <source>No calculator connection can be opened. What stands in the way, and the command that fixes each thing:</source>
        <translation>Er kan geen verbinding met de rekenmachine worden geopend. Wat in de weg staat, en de opdracht die elk punt verhelpt:</translation>
    </message>
    <message>
        <source>&amp;Why?</source>
        <translation>&amp;Waarom?</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Calvyx Help</source>
        <translation>Calvyx Help</translation>
    </message>
    <message>
        <source>No help is available for this item (%1).</source>
        <translation>Voor dit onderdeel is geen help beschikbaar (%1).</translation>
    </message>
</context>
<context>
    <name>LogWindow</name>
    <message>
        <source>Log</source>
        <translation>Logboek</translation>
    </message>
    <message>
        <source>&amp;Save as Text...</source>
        <translation>Als tekst op&amp;slaan...</translation>
    </message>
    <message>
        <source>Save Log as Text</source>
        <translation>Logboek als tekst opslaan</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Tekstbestanden (*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Kan %1 niet schrijven: %2</translation>
    </message>
    <message>
        <source>&amp;Clear Log</source>
        <translation>Log &amp;wissen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Ongedaan maken</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Knippen</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Kop&amp;iëren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Plakken</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Verwijderen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles selecteren</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>A transfer is in progress. Stop it and exit?</source>
        <translation>Er loopt een overdracht. Stoppen en afsluiten?</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle bestanden (*)</translation>
    </message>
    <message>
        <source>Error, the folder &quot;</source>
        <translation>Fout, de map &quot;</translation>
    </message>
    <message>
        <source>&quot; does not exist.</source>
        <translation>&quot; bestaat niet.</translation>
    </message>
    <message>
        <source>Error setting path: &quot;%1&quot;</source>
        <translation>Fout bij het instellen van het pad: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; to the trash?</source>
        <translation>&quot;%1&quot; naar de prullenbak verplaatsen?</translation>
    </message>
    <message>
        <source>Deleting Files</source>
        <translation>Bestanden verwijderen</translation>
    </message>
    <message>
        <source>it no longer exists</source>
        <translation>het bestaat niet meer</translation>
    </message>
    <message>
        <source>no permission to remove it from &quot;%1&quot;</source>
        <translation>geen toestemming om het uit &quot;%1&quot; te verwijderen</translation>
    </message>
    <message>
        <source>the system refused the move</source>
        <translation>het systeem weigerde de verplaatsing</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash (%2); nothing was deleted.</source>
        <translation>&quot;%1&quot; kon niet naar de prullenbak worden verplaatst (%2); er is niets verwijderd.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Bestand</translation>
    </message>
    <message>
        <source>Rena&amp;me</source>
        <translation>&amp;Naam wijzigen</translation>
    </message>
    <message>
        <source>View the Screen Capture Window</source>
        <translation>Het venster Schermopname tonen</translation>
    </message>
    <message>
        <source>Receive Calcapp (By Wire) to the PC</source>
        <translation>Calcapp via kabel op de pc ontvangen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Afsluiten</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ToolBar</source>
        <translation>Werkbalk</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Een nieuwe map maken</translation>
    </message>
    <message>
        <source>View screen capture window.</source>
        <translation>Venster Schermopname tonen.</translation>
    </message>
    <message>
        <source>Disconnect and Exit program.</source>
        <translation>Verbinding verbreken en programma afsluiten.</translation>
    </message>
    <message>
        <source>Show log window</source>
        <translation>Logvenster tonen</translation>
    </message>
    <message>
        <source>Last command</source>
        <translation>Laatste opdracht</translation>
    </message>
    <message>
        <source>Discard the received object? It has not been saved anywhere.</source>
        <translation>Het ontvangen object weggooien? Het is nergens opgeslagen.</translation>
    </message>
    <message>
        <source>ROM %1 (*.bin *.BIN);;%2 (*)</source>
        <translation>ROM-%1 (*.bin *.BIN);;%2 (*)</translation>
    </message>
    <message>
        <source>Calvyx is already running, but its window did not answer.</source>
        <translation>Calvyx draait al, maar het venster gaf geen antwoord.</translation>
    </message>
    <message>
        <source>a second start cannot reach this window: %1</source>
        <translation>een tweede start kan dit venster niet bereiken: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again; this window is the one running.</source>
        <translation>Calvyx is opnieuw gestart; dit venster is het lopende.</translation>
    </message>
    <message>
        <source>Calvyx was started again with &quot;%1&quot;, which is not a connection; the connection stays %2.</source>
        <translation>Calvyx is opnieuw gestart met &quot;%1&quot;, dat geen verbinding is; de verbinding blijft %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; a transfer is running, so the connection stays %2.</source>
        <translation>Calvyx is opnieuw gestart met %1; er loopt een overdracht, dus de verbinding blijft %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; it is now the connection.</source>
        <translation>Calvyx is opnieuw gestart met %1; dat is nu de verbinding.</translation>
    </message>
    <message>
        <source>No file manager could be started for &quot;%1&quot;.</source>
        <translation>Er kon geen bestandsbeheer worden gestart voor &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Copying Files</source>
        <translation>Bestanden kopiëren</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: folders are not copied</source>
        <translation>&quot;%1&quot;: mappen worden niet gekopieerd</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: not a file that can be copied</source>
        <translation>&quot;%1&quot;: geen bestand dat gekopieerd kan worden</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: it is already in this folder</source>
        <translation>&quot;%1&quot;: staat al in deze map</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a folder of that name is in the way</source>
        <translation>&quot;%1&quot;: een map met die naam staat in de weg</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in &quot;%2&quot;. Replace it with the file dropped here?</source>
        <translation>&quot;%1&quot; bestaat al in &quot;%2&quot;. Vervangen door het hier neergezette bestand?</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot;: %2</translation>
    </message>
    <message numerus="yes">
        <source>Copied %n file(s) to %1</source>
        <translation>
            <numerusform>%n bestand naar %1 gekopieerd</numerusform>
            <numerusform>%n bestanden naar %1 gekopieerd</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied to &quot;%1&quot;:
%2</source>
        <translation>Niet gekopieerd naar &quot;%1&quot;:
%2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Gewijzigd</translation>
    </message>
    <message>
        <source>Screen capture window is listening; files wait until it closes</source>
        <translation>Het venster Schermafdruk luistert; bestanden wachten tot het sluit</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Ontvangen via kabel mislukt: %1</translation>
    </message>
    <message>
        <source>ROM load failed: %1</source>
        <translation>Laden van ROM mislukt: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1, which is already the connection.</source>
        <translation>Calvyx is opnieuw gestart met %1, dat al de verbinding is.</translation>
    </message>
    <message numerus="yes">
        <source>Copying to %1 cancelled; %n file(s) copied</source>
        <translation>
            <numerusform>Kopiëren naar %1 geannuleerd; %n bestand gekopieerd</numerusform>
            <numerusform>Kopiëren naar %1 geannuleerd; %n bestanden gekopieerd</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its number may belong to another program now. Choose the connection again to reopen it.</source>
        <translation>%1 heeft opgehangen en blijft gesloten: een pseudoterminal wordt niet vanzelf opnieuw geopend, het nummer kan nu van een ander programma zijn. Kies de verbinding opnieuw om hem weer te openen.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>Beel&amp;d</translation>
    </message>
    <message>
        <source>&amp;Transfers</source>
        <translation>&amp;Overdrachten</translation>
    </message>
    <message>
        <source>Show the transfers of this and earlier sessions</source>
        <translation>De overdrachten van deze en eerdere sessies tonen</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Logboek</translation>
    </message>
    <message>
        <source>Show what happened to the transfers and the link</source>
        <translation>Tonen wat er met de overdrachten en de verbinding gebeurde</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>Overdrachten</translation>
    </message>
    <message>
        <source>The transfer history cannot be kept in %1: %2</source>
        <translation>De overdrachtsgeschiedenis kan niet in %1 worden bewaard: %2</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>&amp;Verbinding</translation>
    </message>
    <message>
        <source>Connect &amp;using:</source>
        <translation>Verbinden vi&amp;a:</translation>
    </message>
    <message>
        <source>A transfer is in progress: the class view opens once it is over</source>
        <translation>Er loopt een overdracht: de klasweergave opent zodra die klaar is</translation>
    </message>
    <message>
        <source>Class view: the calculators are served in the Class window</source>
        <translation>Klasweergave: de rekenmachines worden bediend in het venster Klas</translation>
    </message>
    <message>
        <source>&amp;Class</source>
        <translation>&amp;Klas</translation>
    </message>
    <message>
        <source>Serve every calculator of a class at once, each with its own inbox</source>
        <translation>Alle rekenmachines van een klas tegelijk bedienen, elk met een eigen inbox</translation>
    </message>
    <message>
        <source>Class view: close the Class window to use one calculator</source>
        <translation>Klasweergave: sluit het venster Klas om één rekenmachine te gebruiken</translation>
    </message>
    <message>
        <source>Calvyx — QV T20, T20+, T20s, T30s</source>
        <translation>Calvyx — QV T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>Map &amp;openen</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>Nieuwe &amp;map</translation>
    </message>
    <message>
        <source>&amp;Copy path</source>
        <translation>Pad &amp;kopiëren</translation>
    </message>
    <message>
        <source>&amp;Show in file manager</source>
        <translation>&amp;Tonen in bestandsbeheer</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Verwijderen</translation>
    </message>
    <message>
        <source>Move the folder or file to the trash</source>
        <translation>De map of het bestand naar de prullenbak verplaatsen</translation>
    </message>
    <message>
        <source>&amp;Screen Capture</source>
        <translation>&amp;Schermopname</translation>
    </message>
    <message>
        <source>&amp;Receive Calcapp (By Wire)</source>
        <translation>Calcapp &amp;ontvangen (via kabel)</translation>
    </message>
    <message>
        <source>&amp;ROM</source>
        <translation>&amp;ROM</translation>
    </message>
    <message>
        <source>&amp;Download Calculator ROM...</source>
        <translation>ROM naar rekenmachine &amp;laden...</translation>
    </message>
    <message>
        <source>&amp;Contents and Index</source>
        <translation>&amp;Inhoud en index</translation>
    </message>
    <message>
        <source>Communications &amp;Topics</source>
        <translation>&amp;Onderwerpen over communicatie</translation>
    </message>
    <message>
        <source>Trouble &amp;Shooting</source>
        <translation>&amp;Problemen oplossen</translation>
    </message>
    <message>
        <source>&amp;Why Can&apos;t Calvyx Connect?</source>
        <translation>&amp;Waarom maakt Calvyx geen verbinding?</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>In&amp;fo</translation>
    </message>
    <message>
        <source>Select the folder for the T20, T20+, T20s, T30s Calcapps</source>
        <translation>Selecteer de map voor de Calcapps van de T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>Receive file from T20, T20+, T20s, T30s (By Wire)</source>
        <translation>Bestand van T20, T20+, T20s, T30s ontvangen (via kabel)</translation>
    </message>
    <message>
        <source>ROM loaded: %1</source>
        <translation>ROM geladen: %1</translation>
    </message>
    <message>
        <source>Not switched to %1: waiting for the calculator</source>
        <translation>Niet overgeschakeld naar %1: wachten op de rekenmachine</translation>
    </message>
    <message>
        <source>Not switched to %1: a transfer is running</source>
        <translation>Niet overgeschakeld naar %1: er loopt een overdracht</translation>
    </message>
    <message>
        <source>A transfer is running; try again after it</source>
        <translation>Er loopt een overdracht; probeer het daarna</translation>
    </message>
    <message>
        <source>Waiting for the calculator; try again shortly</source>
        <translation>Wachten op de rekenmachine; probeer het zo</translation>
    </message>
    <message>
        <source>Waiting for the calculator ...</source>
        <translation>Wachten op de rekenmachine ...</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Map</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Snelkoppeling</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Onbekend</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Size</source>
        <translation>Grootte</translation>
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
        <translation>PNG-afbeeldingen (*.png)</translation>
    </message>
    <message>
        <source>On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the picture to the clipboard, then reuse it in documents or editors.<byte value="xd"/>
<byte value="xd"/>
This window opens automatically when the calculator sends a screen.</source>
        <translation>Druk op de rekenmachine tegelijk op ON en 1 om het scherm op te nemen. Met de knop Kopiëren zet u de afbeelding op het klembord om haar in documenten of editors te gebruiken.<byte value="xd"/>
<byte value="xd"/>
Dit venster opent vanzelf wanneer de rekenmachine een scherm verzendt.</translation>
    </message>
    <message>
        <source>Screen Capture</source>
        <translation>Schermopname</translation>
    </message>
    <message>
        <source>Calculator Screen Image</source>
        <translation>Schermafbeelding van de rekenmachine</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiëren</translation>
    </message>
    <message>
        <source>Save Picture As</source>
        <translation>Afbeelding opslaan als</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>Sc&amp;haal:</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Size of the copied and saved picture</source>
        <translation>Grootte van de gekopieerde en opgeslagen afbeelding</translation>
    </message>
    <message>
        <source>Copied to the clipboard (%1 x %2 pixels)</source>
        <translation>Gekopieerd naar het klembord (%1 x %2 pixels)</translation>
    </message>
    <message>
        <source>Not copied: the clipboard did not take the picture</source>
        <translation>Niet gekopieerd: het klembord nam de afbeelding niet aan</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Opgeslagen: %1</translation>
    </message>
    <message>
        <source>Not saved %1: %2</source>
        <translation>Niet opgeslagen %1: %2</translation>
    </message>
    <message>
        <source>&amp;Border:</source>
        <translation>&amp;Rand:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Opslaan</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Sluiten</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Files</source>
        <translation>bestanden</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Alle bestanden</translation>
    </message>
    <message>
        <source>Download ROM</source>
        <translation>ROM laden</translation>
    </message>
    <message>
        <source>Download of ROM file <byte value="xd"/>
%s<byte value="xd"/>
failed.</source>
        <translation>Het laden van ROM-bestand <byte value="xd"/>
%s<byte value="xd"/>
is mislukt.</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Fout bij laden</translation>
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
        <translation>De rekenmachine lijkt niet verbonden te zijn. <byte value="xd"/>
<byte value="xd"/>
Controleer of:<byte value="xd"/>
<byte value="xd"/>
   1. de rekenmachine aan staat,<byte value="xd"/>
<byte value="xd"/>
   2. de verbinding goed is<byte value="xd"/>
        (koppel de rekenmachine los en weer aan),<byte value="xd"/>
<byte value="xd"/>
   3. de batterijen goed zijn<byte value="xd"/>
        (kijk of de waarschuwing brandt).</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fout</translation>
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
        <translation>Naar de pc</translation>
    </message>
    <message>
        <source>To calculator</source>
        <translation>Naar de rekenmachine</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Klaar</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Geannuleerd</translation>
    </message>
    <message>
        <source>Cancelled: %1</source>
        <translation>Geannuleerd: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Mislukt: %1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Tijd</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richting</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Bestand</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Grootte</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duur</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Resultaat</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Rekenmachine</translation>
    </message>
</context>
<context>
    <name>TransferHistoryView</name>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>CSV &amp;exporteren...</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exporteren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-bestanden (*.csv)</translation>
    </message>
    <message>
        <source>The folder %1 does not exist any more</source>
        <translation>De map %1 bestaat niet meer</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Kan %1 niet schrijven: %2</translation>
    </message>
</context>
<context>
    <name>TransferStatusDialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuleren</translation>
    </message>
</context>
<context>
    <name>TransferTexts</name>
    <message>
        <source>Receiving %1</source>
        <translation>Ontvangen: %1</translation>
    </message>
    <message>
        <source>Sending %1</source>
        <translation>Verzenden: %1</translation>
    </message>
    <message>
        <source>Copying %1</source>
        <translation>Kopiëren: %1</translation>
    </message>
    <message>
        <source>Connecting ...</source>
        <translation>Verbinden ...</translation>
    </message>
    <message>
        <source>cancelled by the calculator</source>
        <translation>geannuleerd door de rekenmachine</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 mislukt: %2</translation>
    </message>
    <message>
        <source>Not sent: %1</source>
        <translation>Niet verzonden: %1</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Ontvangen via kabel mislukt: %1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>mislukt</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>geannuleerd</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>gestopt</translation>
    </message>
    <message>
        <source>the calculator cancelled</source>
        <translation>de rekenmachine heeft geannuleerd</translation>
    </message>
    <message>
        <source>the calculator cancelled (%1)</source>
        <translation>de rekenmachine heeft geannuleerd (%1)</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>verbinding verloren</translation>
    </message>
    <message>
        <source>too many errors on the line</source>
        <translation>te veel fouten op de lijn</translation>
    </message>
    <message>
        <source>no answer for %1</source>
        <translation>geen antwoord gedurende %1</translation>
    </message>
    <message>
        <source>cannot store the file: %1</source>
        <translation>het bestand kan niet worden opgeslagen: %1</translation>
    </message>
    <message>
        <source>not enough disk space (%1)</source>
        <translation>onvoldoende schijfruimte (%1)</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>ongeldige bestandsnaam</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>het bestand bestaat niet</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>het bestand kan niet worden gelezen</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>geweigerd</translation>
    </message>
    <message>
        <source>no start byte</source>
        <translation>geen startbyte</translation>
    </message>
    <message>
        <source>no valid block from the calculator</source>
        <translation>geen geldig blok van de rekenmachine</translation>
    </message>
    <message>
        <source>sent, the end not confirmed</source>
        <translation>verzonden, het einde niet bevestigd</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>geweigerd</translation>
    </message>
    <message>
        <source>Sent; the calculator did not confirm the end of the file</source>
        <translation>Verzonden; de rekenmachine heeft het einde van het bestand niet bevestigd</translation>
    </message>
    <message>
        <source>Opening port: %1</source>
        <translation>Poort openen: %1</translation>
    </message>
    <message>
        <source>Opening Comm %1</source>
        <translation>Communicatie openen: %1</translation>
    </message>
    <message>
        <source>Device connected on %1</source>
        <translation>Apparaat verbonden via %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: done in %2 s</source>
        <translation>%1: klaar in %2 s</translation>
    </message>
    <message>
        <source>Link opened on %1</source>
        <translation>Verbinding geopend op %1</translation>
    </message>
    <message>
        <source>Link lost on %1; waiting for it to come back</source>
        <translation>Verbinding verloren op %1; wachten tot ze terugkomt</translation>
    </message>
    <message>
        <source>%1 was unplugged and plugged in again; reopening it</source>
        <translation>%1 is losgekoppeld en weer aangesloten; wordt opnieuw geopend</translation>
    </message>
    <message>
        <source>Link back on %1</source>
        <translation>Verbinding terug op %1</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 kan niet worden geopend: %2</translation>
    </message>
    <message>
        <source>Link closed on %1</source>
        <translation>Verbinding gesloten op %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 van %2</translation>
    </message>
    <message>
        <source>T20, T20+, T20s, T30s is not ready</source>
        <translation>T20, T20+, T20s, T30s is niet gereed</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1: done, %2 in %3 s</source>
        <translation>%1: klaar, %2 in %3 s</translation>
    </message>
    <message>
        <source>Receiving by wire</source>
        <translation>Ontvangen via kabel</translation>
    </message>
    <message>
        <source>the calculator did not take the file</source>
        <translation>de rekenmachine heeft het bestand niet aangenomen</translation>
    </message>
    <message>
        <source>Now send the Calcapp from the calculator&apos;s send menu</source>
        <translation>Verstuur nu de Calcapp vanuit het verzendmenu van de rekenmachine</translation>
    </message>
</context>
</TS>
