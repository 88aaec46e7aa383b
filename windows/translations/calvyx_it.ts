<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>AboutDialog</name>
    <message>
        <source>for the QV T20, T20+, T20s and T30s</source>
        <translation>per QV T20, T20+, T20s e T30s</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Version 2.1 Build 1328</source>
        <translation>Versione 2.1 build 1328</translation>
    </message>
    <message>
        <source>Connectivity Kit</source>
        <translation>Kit di connessione</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Software libero sotto la GNU General Public License, versione 3 o successiva.</translation>
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
        <translation>Sulla calcolatrice:<byte value="xd"/>
<byte value="xd"/>
1.  Scollega il cavo USB<byte value="xd"/>
2.  Tieni + e - (3 sec.) e premi RESET<byte value="xd"/>
3.  Premi 1 per caricare OS/ROM.<byte value="xd"/>
4.  Premi 1 per USB.<byte value="xd"/>
5.  Collega il cavo USB<byte value="xd"/>
6.  Premi OK qui sotto.</translation>
    </message>
    <message>
        <source>Set the Calculator</source>
        <translation>Prepara la calcolatrice</translation>
    </message>
    <message>
        <source>On the QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Select the Calcapp to send.<byte value="xd"/>
2.  Press SEND function key.<byte value="xd"/>
3.  Choose: QV20/30 (Wire).<byte value="xd"/>
4.  Press OK function key.<byte value="xd"/>
5.  Click OK below.</source>
        <translation>Sulla QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Seleziona la Calcapp da inviare.<byte value="xd"/>
2.  Premi il tasto funzione SEND.<byte value="xd"/>
3.  Scegli: QV20/30 (Wire).<byte value="xd"/>
4.  Premi il tasto funzione OK.<byte value="xd"/>
5.  Fai clic su OK qui sotto.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annulla</translation>
    </message>
</context>
<context>
    <name>ClassTableModel</name>
    <message>
        <source>Connected</source>
        <translation>Connessa</translation>
    </message>
    <message>
        <source>Unplugged: waiting for it</source>
        <translation>Scollegata: in attesa</translation>
    </message>
    <message>
        <source>Plugged in again: reconnecting</source>
        <translation>Ricollegata: riconnessione</translation>
    </message>
    <message>
        <source>Hung up</source>
        <translation>Riagganciata</translation>
    </message>
    <message>
        <source>Cannot be opened: %1</source>
        <translation>Impossibile aprire: %1</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Chiusa</translation>
    </message>
    <message>
        <source>Waiting for the calculator</source>
        <translation>In attesa della calcolatrice</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: fatto</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Occupata</translation>
    </message>
    <message>
        <source>%1 (%2%)</source>
        <translation>%1 (%2%)</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calcolatrice</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>Presa</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stato</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Trasferimento</translation>
    </message>
    <message>
        <source>Last result</source>
        <translation>Ultimo risultato</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Posta in arrivo</translation>
    </message>
</context>
<context>
    <name>ClassWindow</name>
    <message>
        <source>Class</source>
        <translation>Classe</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Chiudi</translation>
    </message>
    <message>
        <source>Every calculator found is served at once. What each one sends goes into its own folder under %1; a second file of the same name is kept beside the first.</source>
        <translation>Tutte le calcolatrici trovate sono servite insieme. Ciò che ognuna invia va nella propria cartella sotto %1; un secondo file con lo stesso nome è tenuto accanto al primo.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>None: a request is declined</source>
        <translation>Nessuno: la richiesta viene rifiutata</translation>
    </message>
    <message>
        <source>File for &amp;XModem requests:</source>
        <translation>File per le richieste &amp;XModem:</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>Sce&amp;gli...</translation>
    </message>
    <message>
        <source>Clea&amp;r</source>
        <translation>Cance&amp;lla</translation>
    </message>
    <message>
        <source>File for XModem requests</source>
        <translation>File per le richieste XModem</translation>
    </message>
</context>
<context>
    <name>ConnectionReportDialog</name>
    <message>
        <source>Connection Report</source>
        <translation>Rapporto di connessione</translation>
    </message>
    <message>
        <source>A calculator connection can be opened.</source>
        <translation>È possibile aprire una connessione alla calcolatrice.</translation>
    </message>
    <message>
        <source>No calculator connection can be opened. What stands in the way, and the command that fixes each thing:</source>
        <translation>Non è possibile aprire alcuna connessione alla calcolatrice. Che cosa lo impedisce, e il comando che risolve ogni punto:</translation>
    </message>
    <message>
        <source>&amp;Why?</source>
        <translation>&amp;Perché?</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Calvyx Help</source>
        <translation>Guida di Calvyx</translation>
    </message>
    <message>
        <source>No help is available for this item (%1).</source>
        <translation>Nessuna guida disponibile per questo elemento (%1).</translation>
    </message>
</context>
<context>
    <name>LogWindow</name>
    <message>
        <source>Log</source>
        <translation>Registro</translation>
    </message>
    <message>
        <source>&amp;Save as Text...</source>
        <translation>&amp;Salva come testo...</translation>
    </message>
    <message>
        <source>Save Log as Text</source>
        <translation>Salva il registro come testo</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>File di testo (*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossibile scrivere %1: %2</translation>
    </message>
    <message>
        <source>&amp;Clear Log</source>
        <translation>&amp;Cancella registro</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annulla</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Taglia</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copia</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Incolla</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Elimina</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Seleziona tutto</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>A transfer is in progress. Stop it and exit?</source>
        <translation>È in corso un trasferimento. Interromperlo e uscire?</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Tutti i file (*)</translation>
    </message>
    <message>
        <source>Error, the folder &quot;</source>
        <translation>Errore, la cartella &quot;</translation>
    </message>
    <message>
        <source>&quot; does not exist.</source>
        <translation>&quot; non esiste.</translation>
    </message>
    <message>
        <source>Error setting path: &quot;%1&quot;</source>
        <translation>Errore nell&apos;impostare il percorso: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; to the trash?</source>
        <translation>Spostare &quot;%1&quot; nel cestino?</translation>
    </message>
    <message>
        <source>Deleting Files</source>
        <translation>Eliminazione file</translation>
    </message>
    <message>
        <source>it no longer exists</source>
        <translation>non esiste più</translation>
    </message>
    <message>
        <source>no permission to remove it from &quot;%1&quot;</source>
        <translation>nessuna autorizzazione a rimuoverlo da &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the system refused the move</source>
        <translation>il sistema ha rifiutato lo spostamento</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash (%2); nothing was deleted.</source>
        <translation>&quot;%1&quot; non è stato spostato nel cestino (%2); non è stato eliminato nulla.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Rena&amp;me</source>
        <translation>Ri&amp;nomina</translation>
    </message>
    <message>
        <source>View the Screen Capture Window</source>
        <translation>Mostra la finestra Cattura schermo</translation>
    </message>
    <message>
        <source>Receive Calcapp (By Wire) to the PC</source>
        <translation>Ricevi una Calcapp via cavo sul PC</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>E&amp;sci</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aiuto</translation>
    </message>
    <message>
        <source>ToolBar</source>
        <translation>Barra degli strumenti</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Crea una nuova cartella</translation>
    </message>
    <message>
        <source>View screen capture window.</source>
        <translation>Mostra la finestra di cattura schermo.</translation>
    </message>
    <message>
        <source>Disconnect and Exit program.</source>
        <translation>Disconnetti ed esci dal programma.</translation>
    </message>
    <message>
        <source>Show log window</source>
        <translation>Mostra la finestra del registro</translation>
    </message>
    <message>
        <source>Last command</source>
        <translation>Ultimo comando</translation>
    </message>
    <message>
        <source>Discard the received object? It has not been saved anywhere.</source>
        <translation>Scartare l&apos;oggetto ricevuto? Non è stato salvato da nessuna parte.</translation>
    </message>
    <message>
        <source>ROM %1 (*.bin *.BIN);;%2 (*)</source>
        <translation>%1 ROM (*.bin *.BIN);;%2 (*)</translation>
    </message>
    <message>
        <source>Calvyx is already running, but its window did not answer.</source>
        <translation>Calvyx è già in esecuzione, ma la sua finestra non ha risposto.</translation>
    </message>
    <message>
        <source>a second start cannot reach this window: %1</source>
        <translation>un secondo avvio non può raggiungere questa finestra: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again; this window is the one running.</source>
        <translation>Calvyx è stato avviato di nuovo; questa finestra è quella in esecuzione.</translation>
    </message>
    <message>
        <source>Calvyx was started again with &quot;%1&quot;, which is not a connection; the connection stays %2.</source>
        <translation>Calvyx è stato avviato di nuovo con &quot;%1&quot;, che non è una connessione; la connessione resta %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; a transfer is running, so the connection stays %2.</source>
        <translation>Calvyx è stato avviato di nuovo con %1; è in corso un trasferimento, quindi la connessione resta %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; it is now the connection.</source>
        <translation>Calvyx è stato avviato di nuovo con %1; ora è questa la connessione.</translation>
    </message>
    <message>
        <source>No file manager could be started for &quot;%1&quot;.</source>
        <translation>Nessun file manager ha potuto essere avviato per &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Copying Files</source>
        <translation>Copia di file</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: folders are not copied</source>
        <translation>&quot;%1&quot;: le cartelle non vengono copiate</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: not a file that can be copied</source>
        <translation>&quot;%1&quot;: non è un file che si possa copiare</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: it is already in this folder</source>
        <translation>&quot;%1&quot;: è già in questa cartella</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a folder of that name is in the way</source>
        <translation>&quot;%1&quot;: è d&apos;intralcio una cartella con quel nome</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in &quot;%2&quot;. Replace it with the file dropped here?</source>
        <translation>&quot;%1&quot; esiste già in &quot;%2&quot;. Sostituirlo con il file rilasciato qui?</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot;: %2</translation>
    </message>
    <message numerus="yes">
        <source>Copied %n file(s) to %1</source>
        <translation>
            <numerusform>%n file copiato in %1</numerusform>
            <numerusform>%n file copiati in %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied to &quot;%1&quot;:
%2</source>
        <translation>Non copiato in &quot;%1&quot;:
%2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modificato</translation>
    </message>
    <message>
        <source>Screen capture window is listening; files wait until it closes</source>
        <translation>La finestra Cattura schermo è in ascolto; i file attendono che si chiuda</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Ricezione via cavo non riuscita: %1</translation>
    </message>
    <message>
        <source>ROM load failed: %1</source>
        <translation>Caricamento della ROM non riuscito: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1, which is already the connection.</source>
        <translation>Calvyx è stato avviato di nuovo con %1, che è già la connessione.</translation>
    </message>
    <message numerus="yes">
        <source>Copying to %1 cancelled; %n file(s) copied</source>
        <translation>
            <numerusform>Copia in %1 annullata; %n file copiato</numerusform>
            <numerusform>Copia in %1 annullata; %n file copiati</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its number may belong to another program now. Choose the connection again to reopen it.</source>
        <translation>%1 ha riagganciato e resta chiuso: uno pseudoterminale non viene riaperto da solo, il suo numero può ora appartenere a un altro programma. Scegliere di nuovo la connessione per riaprirla.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Visualizza</translation>
    </message>
    <message>
        <source>&amp;Transfers</source>
        <translation>&amp;Trasferimenti</translation>
    </message>
    <message>
        <source>Show the transfers of this and earlier sessions</source>
        <translation>Mostra i trasferimenti di questa sessione e delle precedenti</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Registro</translation>
    </message>
    <message>
        <source>Show what happened to the transfers and the link</source>
        <translation>Mostra cosa è successo ai trasferimenti e al collegamento</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>Trasferimenti</translation>
    </message>
    <message>
        <source>The transfer history cannot be kept in %1: %2</source>
        <translation>La cronologia dei trasferimenti non può essere salvata in %1: %2</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>&amp;Connessione</translation>
    </message>
    <message>
        <source>Connect &amp;using:</source>
        <translation>Connetti &amp;tramite:</translation>
    </message>
    <message>
        <source>A transfer is in progress: the class view opens once it is over</source>
        <translation>È in corso un trasferimento: la vista classe si aprirà quando sarà finito</translation>
    </message>
    <message>
        <source>Class view: the calculators are served in the Class window</source>
        <translation>Vista classe: le calcolatrici sono servite nella finestra Classe</translation>
    </message>
    <message>
        <source>&amp;Class</source>
        <translation>&amp;Classe</translation>
    </message>
    <message>
        <source>Serve every calculator of a class at once, each with its own inbox</source>
        <translation>Servire insieme tutte le calcolatrici di una classe, ognuna con la propria posta in arrivo</translation>
    </message>
    <message>
        <source>Class view: close the Class window to use one calculator</source>
        <translation>Vista classe: chiudere la finestra Classe per usare una sola calcolatrice</translation>
    </message>
    <message>
        <source>Calvyx — QV T20, T20+, T20s, T30s</source>
        <translation>Calvyx — QV T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>&amp;Apri cartella</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>Nuova &amp;cartella</translation>
    </message>
    <message>
        <source>&amp;Copy path</source>
        <translation>Copia &amp;percorso</translation>
    </message>
    <message>
        <source>&amp;Show in file manager</source>
        <translation>&amp;Mostra nel file manager</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Elimina</translation>
    </message>
    <message>
        <source>Move the folder or file to the trash</source>
        <translation>Sposta la cartella o il file nel cestino</translation>
    </message>
    <message>
        <source>&amp;Screen Capture</source>
        <translation>C&amp;attura schermo</translation>
    </message>
    <message>
        <source>&amp;Receive Calcapp (By Wire)</source>
        <translation>Ricev&amp;i Calcapp (via cavo)</translation>
    </message>
    <message>
        <source>&amp;ROM</source>
        <translation>R&amp;OM</translation>
    </message>
    <message>
        <source>&amp;Download Calculator ROM...</source>
        <translation>&amp;Carica la ROM della calcolatrice...</translation>
    </message>
    <message>
        <source>&amp;Contents and Index</source>
        <translation>&amp;Sommario e indice</translation>
    </message>
    <message>
        <source>Communications &amp;Topics</source>
        <translation>&amp;Argomenti sulla comunicazione</translation>
    </message>
    <message>
        <source>Trouble &amp;Shooting</source>
        <translation>&amp;Risoluzione dei problemi</translation>
    </message>
    <message>
        <source>&amp;Why Can&apos;t Calvyx Connect?</source>
        <translation>&amp;Perché Calvyx non si connette?</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Informazioni</translation>
    </message>
    <message>
        <source>Select the folder for the T20, T20+, T20s, T30s Calcapps</source>
        <translation>Seleziona la cartella per le Calcapp T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>Receive file from T20, T20+, T20s, T30s (By Wire)</source>
        <translation>Ricevi file dalla T20, T20+, T20s, T30s (via cavo)</translation>
    </message>
    <message>
        <source>ROM loaded: %1</source>
        <translation>ROM caricata: %1</translation>
    </message>
    <message>
        <source>Not switched to %1: waiting for the calculator</source>
        <translation>Non passato a %1: in attesa della calcolatrice</translation>
    </message>
    <message>
        <source>Not switched to %1: a transfer is running</source>
        <translation>Non passato a %1: è in corso un trasferimento</translation>
    </message>
    <message>
        <source>A transfer is running; try again after it</source>
        <translation>È in corso un trasferimento; riprovare dopo</translation>
    </message>
    <message>
        <source>Waiting for the calculator; try again shortly</source>
        <translation>In attesa della calcolatrice; riprovare tra poco</translation>
    </message>
    <message>
        <source>Waiting for the calculator ...</source>
        <translation>In attesa della calcolatrice ...</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Cartella</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Collegamento</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Unità</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Sconosciuto</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Size</source>
        <translation>Dimensione</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureWindow</name>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Immagini bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>Immagini PNG (*.png)</translation>
    </message>
    <message>
        <source>On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the picture to the clipboard, then reuse it in documents or editors.<byte value="xd"/>
<byte value="xd"/>
This window opens automatically when the calculator sends a screen.</source>
        <translation>Sulla calcolatrice premi contemporaneamente ON e 1 per catturare lo schermo. Il pulsante Copia mette l&apos;immagine negli Appunti per riutilizzarla in documenti o editor.<byte value="xd"/>
<byte value="xd"/>
Questa finestra si apre automaticamente quando la calcolatrice invia uno schermo.</translation>
    </message>
    <message>
        <source>Screen Capture</source>
        <translation>Cattura schermo</translation>
    </message>
    <message>
        <source>Calculator Screen Image</source>
        <translation>Immagine dello schermo della calcolatrice</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copia</translation>
    </message>
    <message>
        <source>Save Picture As</source>
        <translation>Salva immagine con nome</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>Sc&amp;ala:</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Size of the copied and saved picture</source>
        <translation>Dimensione dell&apos;immagine copiata e salvata</translation>
    </message>
    <message>
        <source>Copied to the clipboard (%1 x %2 pixels)</source>
        <translation>Copiata negli appunti (%1 x %2 pixel)</translation>
    </message>
    <message>
        <source>Not copied: the clipboard did not take the picture</source>
        <translation>Non copiata: gli appunti non hanno accettato l&apos;immagine</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Salvata: %1</translation>
    </message>
    <message>
        <source>Not saved %1: %2</source>
        <translation>Non salvata %1: %2</translation>
    </message>
    <message>
        <source>&amp;Border:</source>
        <translation>&amp;Bordo:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Salva</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>C&amp;hiudi</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Files</source>
        <translation>File</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Tutti i file</translation>
    </message>
    <message>
        <source>Download ROM</source>
        <translation>Carica ROM</translation>
    </message>
    <message>
        <source>Download of ROM file <byte value="xd"/>
%s<byte value="xd"/>
failed.</source>
        <translation>Il caricamento del file ROM <byte value="xd"/>
%s<byte value="xd"/>
non è riuscito.</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Errore di caricamento</translation>
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
        <translation>La calcolatrice sembra scollegata. <byte value="xd"/>
<byte value="xd"/>
Verifica che:<byte value="xd"/>
<byte value="xd"/>
   1. la calcolatrice sia accesa,<byte value="xd"/>
<byte value="xd"/>
   2. il collegamento funzioni<byte value="xd"/>
        (scollega e ricollega la calcolatrice),<byte value="xd"/>
<byte value="xd"/>
   3. le batterie siano cariche<byte value="xd"/>
        (guarda se l&apos;avviso è acceso).</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Errore</translation>
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
        <translation>Al PC</translation>
    </message>
    <message>
        <source>To calculator</source>
        <translation>Alla calcolatrice</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Completato</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Annullato</translation>
    </message>
    <message>
        <source>Cancelled: %1</source>
        <translation>Annullato: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Non riuscito: %1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Ora</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Direzione</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Dimensione</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durata</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Esito</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calcolatrice</translation>
    </message>
</context>
<context>
    <name>TransferHistoryView</name>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>&amp;Esporta CSV...</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Esporta CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>File CSV (*.csv)</translation>
    </message>
    <message>
        <source>The folder %1 does not exist any more</source>
        <translation>La cartella %1 non esiste più</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossibile scrivere %1: %2</translation>
    </message>
</context>
<context>
    <name>TransferStatusDialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annulla</translation>
    </message>
</context>
<context>
    <name>TransferTexts</name>
    <message>
        <source>Receiving %1</source>
        <translation>Ricezione di %1</translation>
    </message>
    <message>
        <source>Sending %1</source>
        <translation>Invio di %1</translation>
    </message>
    <message>
        <source>Copying %1</source>
        <translation>Copia di %1</translation>
    </message>
    <message>
        <source>Connecting ...</source>
        <translation>Connessione ...</translation>
    </message>
    <message>
        <source>cancelled by the calculator</source>
        <translation>annullato dalla calcolatrice</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 non riuscito: %2</translation>
    </message>
    <message>
        <source>Not sent: %1</source>
        <translation>Non inviato: %1</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Ricezione via cavo non riuscita: %1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>non riuscito</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>annullato</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>interrotto</translation>
    </message>
    <message>
        <source>the calculator cancelled</source>
        <translation>la calcolatrice ha annullato</translation>
    </message>
    <message>
        <source>the calculator cancelled (%1)</source>
        <translation>la calcolatrice ha annullato (%1)</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>collegamento perso</translation>
    </message>
    <message>
        <source>too many errors on the line</source>
        <translation>troppi errori sulla linea</translation>
    </message>
    <message>
        <source>no answer for %1</source>
        <translation>nessuna risposta per %1</translation>
    </message>
    <message>
        <source>cannot store the file: %1</source>
        <translation>impossibile salvare il file: %1</translation>
    </message>
    <message>
        <source>not enough disk space (%1)</source>
        <translation>spazio su disco insufficiente (%1)</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>nome file non valido</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>il file non esiste</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>impossibile leggere il file</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>rifiutato</translation>
    </message>
    <message>
        <source>no start byte</source>
        <translation>nessun byte di avvio</translation>
    </message>
    <message>
        <source>no valid block from the calculator</source>
        <translation>nessun blocco valido dalla calcolatrice</translation>
    </message>
    <message>
        <source>sent, the end not confirmed</source>
        <translation>inviato, fine non confermata</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>rifiutato</translation>
    </message>
    <message>
        <source>Sent; the calculator did not confirm the end of the file</source>
        <translation>Inviato; la calcolatrice non ha confermato la fine del file</translation>
    </message>
    <message>
        <source>Opening port: %1</source>
        <translation>Apertura della porta: %1</translation>
    </message>
    <message>
        <source>Opening Comm %1</source>
        <translation>Apertura della comunicazione %1</translation>
    </message>
    <message>
        <source>Device connected on %1</source>
        <translation>Dispositivo connesso su %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: done in %2 s</source>
        <translation>%1: completato in %2 s</translation>
    </message>
    <message>
        <source>Link opened on %1</source>
        <translation>Collegamento aperto su %1</translation>
    </message>
    <message>
        <source>Link lost on %1; waiting for it to come back</source>
        <translation>Collegamento perso su %1; in attesa che ritorni</translation>
    </message>
    <message>
        <source>%1 was unplugged and plugged in again; reopening it</source>
        <translation>%1 è stato scollegato e ricollegato; viene riaperto</translation>
    </message>
    <message>
        <source>Link back on %1</source>
        <translation>Collegamento ripristinato su %1</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 non può essere aperto: %2</translation>
    </message>
    <message>
        <source>Link closed on %1</source>
        <translation>Collegamento chiuso su %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 di %2</translation>
    </message>
    <message>
        <source>T20, T20+, T20s, T30s is not ready</source>
        <translation>La T20, T20+, T20s, T30s non è pronta</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1: done, %2 in %3 s</source>
        <translation>%1: completato, %2 in %3 s</translation>
    </message>
    <message>
        <source>Receiving by wire</source>
        <translation>Ricezione via cavo</translation>
    </message>
    <message>
        <source>the calculator did not take the file</source>
        <translation>la calcolatrice non ha accettato il file</translation>
    </message>
    <message>
        <source>Now send the Calcapp from the calculator&apos;s send menu</source>
        <translation>Ora inviare la Calcapp dal menu di invio della calcolatrice</translation>
    </message>
</context>
</TS>
