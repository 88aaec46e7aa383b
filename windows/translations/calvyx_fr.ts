<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AboutDialog</name>
    <message>
        <source>for the QV T20, T20+, T20s and T30s</source>
        <translation>pour QV T20, T20+, T20s et T30s</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Version 2.1 Build 1328</source>
        <translation>Version 2.1 build 1328</translation>
    </message>
    <message>
        <source>Connectivity Kit</source>
        <translation>Kit de connexion</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Logiciel libre sous la licence publique générale GNU, version 3 ou ultérieure.</translation>
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
        <translation>Sur la calculatrice :<byte value="xd"/>
<byte value="xd"/>
1.  Débranchez le câble USB<byte value="xd"/>
2.  Tenez + et - (3 s) en appuyant sur RESET<byte value="xd"/>
3.  Appuyez sur 1 pour charger l&apos;OS/ROM.<byte value="xd"/>
4.  Appuyez sur 1 pour USB.<byte value="xd"/>
5.  Branchez le câble USB<byte value="xd"/>
6.  Appuyez sur OK ci-dessous.</translation>
    </message>
    <message>
        <source>Set the Calculator</source>
        <translation>Préparer la calculatrice</translation>
    </message>
    <message>
        <source>On the QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Select the Calcapp to send.<byte value="xd"/>
2.  Press SEND function key.<byte value="xd"/>
3.  Choose: QV20/30 (Wire).<byte value="xd"/>
4.  Press OK function key.<byte value="xd"/>
5.  Click OK below.</source>
        <translation>Sur la QV T20, T20+, T20s, T30s :<byte value="xd"/>
<byte value="xd"/>
1.  Sélectionnez la Calcapp à envoyer.<byte value="xd"/>
2.  Appuyez sur la touche SEND.<byte value="xd"/>
3.  Choisissez : QV20/30 (Wire).<byte value="xd"/>
4.  Appuyez sur la touche OK.<byte value="xd"/>
5.  Cliquez sur OK ci-dessous.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>ClassTableModel</name>
    <message>
        <source>Connected</source>
        <translation>Connectée</translation>
    </message>
    <message>
        <source>Unplugged: waiting for it</source>
        <translation>Débranchée : en attente</translation>
    </message>
    <message>
        <source>Plugged in again: reconnecting</source>
        <translation>Rebranchée : reconnexion</translation>
    </message>
    <message>
        <source>Hung up</source>
        <translation>Raccrochée</translation>
    </message>
    <message>
        <source>Cannot be opened: %1</source>
        <translation>Ne peut pas être ouverte : %1</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Fermée</translation>
    </message>
    <message>
        <source>Waiting for the calculator</source>
        <translation>En attente de la calculatrice</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1 : terminé</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Occupée</translation>
    </message>
    <message>
        <source>%1 (%2%)</source>
        <translation>%1 (%2 %)</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculatrice</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>Prise</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Transfert</translation>
    </message>
    <message>
        <source>Last result</source>
        <translation>Dernier résultat</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Boîte de réception</translation>
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
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>Every calculator found is served at once. What each one sends goes into its own folder under %1; a second file of the same name is kept beside the first.</source>
        <translation>Toutes les calculatrices trouvées sont servies en même temps. Ce que chacune envoie va dans son propre dossier sous %1 ; un second fichier du même nom est gardé à côté du premier.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>None: a request is declined</source>
        <translation>Aucun : une demande est refusée</translation>
    </message>
    <message>
        <source>File for &amp;XModem requests:</source>
        <translation>Fichier pour les demandes &amp;XModem :</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>C&amp;hoisir...</translation>
    </message>
    <message>
        <source>Clea&amp;r</source>
        <translation>&amp;Effacer</translation>
    </message>
    <message>
        <source>File for XModem requests</source>
        <translation>Fichier pour les demandes XModem</translation>
    </message>
</context>
<context>
    <name>ConnectionReportDialog</name>
    <message>
        <source>Connection Report</source>
        <translation>Rapport de connexion</translation>
    </message>
    <message>
        <source>A calculator connection can be opened.</source>
        <translation>Une connexion à la calculatrice peut être ouverte.</translation>
    </message>
    <message>
        <source>No calculator connection can be opened. What stands in the way, and the command that fixes each thing:</source>
        <translation>Aucune connexion à la calculatrice ne peut être ouverte. Ce qui fait obstacle, et la commande qui corrige chaque point :</translation>
    </message>
    <message>
        <source>&amp;Why?</source>
        <translation>&amp;Pourquoi ?</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Calvyx Help</source>
        <translation>Aide de Calvyx</translation>
    </message>
    <message>
        <source>No help is available for this item (%1).</source>
        <translation>Aucune aide n&apos;est disponible pour cet élément (%1).</translation>
    </message>
</context>
<context>
    <name>LogWindow</name>
    <message>
        <source>Log</source>
        <translation>Journal</translation>
    </message>
    <message>
        <source>&amp;Save as Text...</source>
        <translation>&amp;Enregistrer en texte...</translation>
    </message>
    <message>
        <source>Save Log as Text</source>
        <translation>Enregistrer le journal en texte</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Fichiers texte (*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
    <message>
        <source>&amp;Clear Log</source>
        <translation>Effa&amp;cer le journal</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>A transfer is in progress. Stop it and exit?</source>
        <translation>Un transfert est en cours. L&apos;arrêter et quitter ?</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Error, the folder &quot;</source>
        <translation>Erreur, le dossier &quot;</translation>
    </message>
    <message>
        <source>&quot; does not exist.</source>
        <translation>&quot; n&apos;existe pas.</translation>
    </message>
    <message>
        <source>Error setting path: &quot;%1&quot;</source>
        <translation>Erreur lors du choix du chemin : &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; to the trash?</source>
        <translation>Placer &quot;%1&quot; dans la corbeille ?</translation>
    </message>
    <message>
        <source>Deleting Files</source>
        <translation>Suppression de fichiers</translation>
    </message>
    <message>
        <source>it no longer exists</source>
        <translation>il n&apos;existe plus</translation>
    </message>
    <message>
        <source>no permission to remove it from &quot;%1&quot;</source>
        <translation>pas l&apos;autorisation de le retirer de &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the system refused the move</source>
        <translation>le système a refusé le déplacement</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash (%2); nothing was deleted.</source>
        <translation>&quot;%1&quot; n&apos;a pas pu être placé dans la corbeille (%2) ; rien n&apos;a été supprimé.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>Rena&amp;me</source>
        <translation>Re&amp;nommer</translation>
    </message>
    <message>
        <source>View the Screen Capture Window</source>
        <translation>Afficher la fenêtre Capture d&apos;écran</translation>
    </message>
    <message>
        <source>Receive Calcapp (By Wire) to the PC</source>
        <translation>Recevoir une Calcapp par câble sur le PC</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>ToolBar</source>
        <translation>Barre d&apos;outils</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Créer un nouveau dossier</translation>
    </message>
    <message>
        <source>View screen capture window.</source>
        <translation>Afficher la fenêtre de capture d&apos;écran.</translation>
    </message>
    <message>
        <source>Disconnect and Exit program.</source>
        <translation>Se déconnecter et quitter le programme.</translation>
    </message>
    <message>
        <source>Show log window</source>
        <translation>Afficher la fenêtre du journal</translation>
    </message>
    <message>
        <source>Last command</source>
        <translation>Dernière commande</translation>
    </message>
    <message>
        <source>Discard the received object? It has not been saved anywhere.</source>
        <translation>Abandonner l&apos;objet reçu ? Il n&apos;a été enregistré nulle part.</translation>
    </message>
    <message>
        <source>ROM %1 (*.bin *.BIN);;%2 (*)</source>
        <translation>%1 ROM (*.bin *.BIN);;%2 (*)</translation>
    </message>
    <message>
        <source>Calvyx is already running, but its window did not answer.</source>
        <translation>Calvyx est déjà lancé, mais sa fenêtre n&apos;a pas répondu.</translation>
    </message>
    <message>
        <source>a second start cannot reach this window: %1</source>
        <translation>un second lancement ne peut pas joindre cette fenêtre : %1</translation>
    </message>
    <message>
        <source>Calvyx was started again; this window is the one running.</source>
        <translation>Calvyx a été relancé ; cette fenêtre est celle qui tourne.</translation>
    </message>
    <message>
        <source>Calvyx was started again with &quot;%1&quot;, which is not a connection; the connection stays %2.</source>
        <translation>Calvyx a été relancé avec &quot;%1&quot;, qui n&apos;est pas une connexion ; la connexion reste %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; a transfer is running, so the connection stays %2.</source>
        <translation>Calvyx a été relancé avec %1 ; un transfert est en cours, la connexion reste donc %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; it is now the connection.</source>
        <translation>Calvyx a été relancé avec %1 ; c&apos;est maintenant la connexion.</translation>
    </message>
    <message>
        <source>No file manager could be started for &quot;%1&quot;.</source>
        <translation>Aucun gestionnaire de fichiers n&apos;a pu être lancé pour &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Copying Files</source>
        <translation>Copie de fichiers</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: folders are not copied</source>
        <translation>&quot;%1&quot; : les dossiers ne sont pas copiés</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: not a file that can be copied</source>
        <translation>&quot;%1&quot; : ce n&apos;est pas un fichier qui peut être copié</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: it is already in this folder</source>
        <translation>&quot;%1&quot; : il est déjà dans ce dossier</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a folder of that name is in the way</source>
        <translation>&quot;%1&quot; : un dossier de ce nom gêne</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in &quot;%2&quot;. Replace it with the file dropped here?</source>
        <translation>&quot;%1&quot; existe déjà dans &quot;%2&quot;. Le remplacer par le fichier déposé ici ?</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot; : %2</translation>
    </message>
    <message numerus="yes">
        <source>Copied %n file(s) to %1</source>
        <translation>
            <numerusform>%n fichier copié dans %1</numerusform>
            <numerusform>%n fichiers copiés dans %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied to &quot;%1&quot;:
%2</source>
        <translation>Non copié dans &quot;%1&quot; :
%2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modifié</translation>
    </message>
    <message>
        <source>Screen capture window is listening; files wait until it closes</source>
        <translation>La fenêtre Capture d&apos;écran écoute ; les fichiers attendent qu&apos;elle se ferme</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Réception par câble échouée : %1</translation>
    </message>
    <message>
        <source>ROM load failed: %1</source>
        <translation>Échec du chargement de la ROM : %1</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1, which is already the connection.</source>
        <translation>Calvyx a été relancé avec %1, qui est déjà la connexion.</translation>
    </message>
    <message numerus="yes">
        <source>Copying to %1 cancelled; %n file(s) copied</source>
        <translation>
            <numerusform>Copie vers %1 annulée ; %n fichier copié</numerusform>
            <numerusform>Copie vers %1 annulée ; %n fichiers copiés</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its number may belong to another program now. Choose the connection again to reopen it.</source>
        <translation>%1 a raccroché et reste fermé : un pseudo-terminal n’est pas rouvert de lui-même, son numéro peut maintenant appartenir à un autre programme. Choisissez de nouveau la connexion pour la rouvrir.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>Affic&amp;hage</translation>
    </message>
    <message>
        <source>&amp;Transfers</source>
        <translation>&amp;Transferts</translation>
    </message>
    <message>
        <source>Show the transfers of this and earlier sessions</source>
        <translation>Afficher les transferts de cette session et des précédentes</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Journal</translation>
    </message>
    <message>
        <source>Show what happened to the transfers and the link</source>
        <translation>Afficher ce qui est arrivé aux transferts et à la liaison</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>Transferts</translation>
    </message>
    <message>
        <source>The transfer history cannot be kept in %1: %2</source>
        <translation>L’historique des transferts ne peut pas être conservé dans %1 : %2</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>&amp;Connexion</translation>
    </message>
    <message>
        <source>Connect &amp;using:</source>
        <translation>Se connecter &amp;via :</translation>
    </message>
    <message>
        <source>A transfer is in progress: the class view opens once it is over</source>
        <translation>Un transfert est en cours : la vue de classe s’ouvrira quand il sera terminé</translation>
    </message>
    <message>
        <source>Class view: the calculators are served in the Class window</source>
        <translation>Vue de classe : les calculatrices sont servies dans la fenêtre Classe</translation>
    </message>
    <message>
        <source>&amp;Class</source>
        <translation>&amp;Classe</translation>
    </message>
    <message>
        <source>Serve every calculator of a class at once, each with its own inbox</source>
        <translation>Servir toutes les calculatrices d’une classe en même temps, chacune avec sa boîte de réception</translation>
    </message>
    <message>
        <source>Class view: close the Class window to use one calculator</source>
        <translation>Vue de classe : fermez la fenêtre Classe pour utiliser une seule calculatrice</translation>
    </message>
    <message>
        <source>Calvyx — QV T20, T20+, T20s, T30s</source>
        <translation>Calvyx — QV T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>&amp;Ouvrir le dossier</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>Nouveau &amp;dossier</translation>
    </message>
    <message>
        <source>&amp;Copy path</source>
        <translation>&amp;Copier le chemin</translation>
    </message>
    <message>
        <source>&amp;Show in file manager</source>
        <translation>&amp;Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Move the folder or file to the trash</source>
        <translation>Mettre le dossier ou le fichier à la corbeille</translation>
    </message>
    <message>
        <source>&amp;Screen Capture</source>
        <translation>&amp;Capture d&apos;écran</translation>
    </message>
    <message>
        <source>&amp;Receive Calcapp (By Wire)</source>
        <translation>&amp;Recevoir une Calcapp (par câble)</translation>
    </message>
    <message>
        <source>&amp;ROM</source>
        <translation>&amp;ROM</translation>
    </message>
    <message>
        <source>&amp;Download Calculator ROM...</source>
        <translation>&amp;Charger la ROM de la calculatrice...</translation>
    </message>
    <message>
        <source>&amp;Contents and Index</source>
        <translation>&amp;Sommaire et index</translation>
    </message>
    <message>
        <source>Communications &amp;Topics</source>
        <translation>&amp;Rubriques sur la communication</translation>
    </message>
    <message>
        <source>Trouble &amp;Shooting</source>
        <translation>&amp;Dépannage</translation>
    </message>
    <message>
        <source>&amp;Why Can&apos;t Calvyx Connect?</source>
        <translation>&amp;Pourquoi Calvyx ne se connecte-t-il pas ?</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À pr&amp;opos</translation>
    </message>
    <message>
        <source>Select the folder for the T20, T20+, T20s, T30s Calcapps</source>
        <translation>Sélectionnez le dossier des Calcapps T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>Receive file from T20, T20+, T20s, T30s (By Wire)</source>
        <translation>Recevoir un fichier de la T20, T20+, T20s, T30s (par câble)</translation>
    </message>
    <message>
        <source>ROM loaded: %1</source>
        <translation>ROM chargée : %1</translation>
    </message>
    <message>
        <source>Not switched to %1: waiting for the calculator</source>
        <translation>Pas de passage à %1 : attente de la calculatrice</translation>
    </message>
    <message>
        <source>Not switched to %1: a transfer is running</source>
        <translation>Pas de passage à %1 : un transfert est en cours</translation>
    </message>
    <message>
        <source>A transfer is running; try again after it</source>
        <translation>Un transfert est en cours ; réessayez ensuite</translation>
    </message>
    <message>
        <source>Waiting for the calculator; try again shortly</source>
        <translation>Attente de la calculatrice ; réessayez bientôt</translation>
    </message>
    <message>
        <source>Waiting for the calculator ...</source>
        <translation>Attente de la calculatrice ...</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Raccourci</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Disque</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureWindow</name>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Images bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>Images PNG (*.png)</translation>
    </message>
    <message>
        <source>On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the picture to the clipboard, then reuse it in documents or editors.<byte value="xd"/>
<byte value="xd"/>
This window opens automatically when the calculator sends a screen.</source>
        <translation>Sur la calculatrice, appuyez simultanément sur ON et 1 pour capturer l&apos;écran. Le bouton Copier place l&apos;image dans le presse-papiers pour la réutiliser dans des documents ou des éditeurs.<byte value="xd"/>
<byte value="xd"/>
Cette fenêtre s&apos;ouvre automatiquement quand la calculatrice envoie un écran.</translation>
    </message>
    <message>
        <source>Screen Capture</source>
        <translation>Capture d&apos;écran</translation>
    </message>
    <message>
        <source>Calculator Screen Image</source>
        <translation>Image de l&apos;écran de la calculatrice</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>Save Picture As</source>
        <translation>Enregistrer l&apos;image sous</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>Éc&amp;helle :</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Size of the copied and saved picture</source>
        <translation>Taille de l&apos;image copiée et enregistrée</translation>
    </message>
    <message>
        <source>Copied to the clipboard (%1 x %2 pixels)</source>
        <translation>Copiée dans le presse-papiers (%1 x %2 pixels)</translation>
    </message>
    <message>
        <source>Not copied: the clipboard did not take the picture</source>
        <translation>Non copiée : le presse-papiers n&apos;a pas pris l&apos;image</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Enregistrée : %1</translation>
    </message>
    <message>
        <source>Not saved %1: %2</source>
        <translation>Non enregistrée %1 : %2</translation>
    </message>
    <message>
        <source>&amp;Border:</source>
        <translation>&amp;Bordure :</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Fermer</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Tous les fichiers</translation>
    </message>
    <message>
        <source>Download ROM</source>
        <translation>Charger la ROM</translation>
    </message>
    <message>
        <source>Download of ROM file <byte value="xd"/>
%s<byte value="xd"/>
failed.</source>
        <translation>Le chargement du fichier ROM <byte value="xd"/>
%s<byte value="xd"/>
a échoué.</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Erreur de chargement</translation>
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
        <translation>La calculatrice semble déconnectée. <byte value="xd"/>
<byte value="xd"/>
Vérifiez que :<byte value="xd"/>
<byte value="xd"/>
   1. la calculatrice est allumée,<byte value="xd"/>
<byte value="xd"/>
   2. la connexion est bonne<byte value="xd"/>
        (débranchez et rebranchez la calculatrice),<byte value="xd"/>
<byte value="xd"/>
   3. les piles sont bonnes<byte value="xd"/>
        (regardez si le témoin d&apos;alerte est allumé).</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
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
        <translation>Vers le PC</translation>
    </message>
    <message>
        <source>To calculator</source>
        <translation>Vers la calculatrice</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Annulé</translation>
    </message>
    <message>
        <source>Cancelled: %1</source>
        <translation>Annulé : %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Échec : %1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Sens</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculatrice</translation>
    </message>
</context>
<context>
    <name>TransferHistoryView</name>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>&amp;Exporter en CSV...</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exporter en CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>The folder %1 does not exist any more</source>
        <translation>Le dossier %1 n’existe plus</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
</context>
<context>
    <name>TransferStatusDialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>TransferTexts</name>
    <message>
        <source>Receiving %1</source>
        <translation>Réception de %1</translation>
    </message>
    <message>
        <source>Sending %1</source>
        <translation>Envoi de %1</translation>
    </message>
    <message>
        <source>Copying %1</source>
        <translation>Copie de %1</translation>
    </message>
    <message>
        <source>Connecting ...</source>
        <translation>Connexion ...</translation>
    </message>
    <message>
        <source>cancelled by the calculator</source>
        <translation>annulé par la calculatrice</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 a échoué : %2</translation>
    </message>
    <message>
        <source>Not sent: %1</source>
        <translation>Non envoyé : %1</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>Réception par câble échouée : %1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>échec</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>annulé</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>arrêté</translation>
    </message>
    <message>
        <source>the calculator cancelled</source>
        <translation>la calculatrice a annulé</translation>
    </message>
    <message>
        <source>the calculator cancelled (%1)</source>
        <translation>la calculatrice a annulé (%1)</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>liaison perdue</translation>
    </message>
    <message>
        <source>too many errors on the line</source>
        <translation>trop d&apos;erreurs sur la ligne</translation>
    </message>
    <message>
        <source>no answer for %1</source>
        <translation>aucune réponse depuis %1</translation>
    </message>
    <message>
        <source>cannot store the file: %1</source>
        <translation>impossible d&apos;enregistrer le fichier : %1</translation>
    </message>
    <message>
        <source>not enough disk space (%1)</source>
        <translation>espace disque insuffisant (%1)</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>nom de fichier non valide</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>le fichier n&apos;existe pas</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>impossible de lire le fichier</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>refusé</translation>
    </message>
    <message>
        <source>no start byte</source>
        <translation>aucun octet de début</translation>
    </message>
    <message>
        <source>no valid block from the calculator</source>
        <translation>aucun bloc valide de la calculatrice</translation>
    </message>
    <message>
        <source>sent, the end not confirmed</source>
        <translation>envoyé, fin non confirmée</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>refusé</translation>
    </message>
    <message>
        <source>Sent; the calculator did not confirm the end of the file</source>
        <translation>Envoyé ; la calculatrice n&apos;a pas confirmé la fin du fichier</translation>
    </message>
    <message>
        <source>Opening port: %1</source>
        <translation>Ouverture du port : %1</translation>
    </message>
    <message>
        <source>Opening Comm %1</source>
        <translation>Ouverture de la communication %1</translation>
    </message>
    <message>
        <source>Device connected on %1</source>
        <translation>Appareil connecté sur %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>%1: done in %2 s</source>
        <translation>%1 : terminé en %2 s</translation>
    </message>
    <message>
        <source>Link opened on %1</source>
        <translation>Liaison ouverte sur %1</translation>
    </message>
    <message>
        <source>Link lost on %1; waiting for it to come back</source>
        <translation>Liaison perdue sur %1 ; en attente de son retour</translation>
    </message>
    <message>
        <source>%1 was unplugged and plugged in again; reopening it</source>
        <translation>%1 a été débranché puis rebranché ; réouverture</translation>
    </message>
    <message>
        <source>Link back on %1</source>
        <translation>Liaison rétablie sur %1</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 ne peut pas être ouvert : %2</translation>
    </message>
    <message>
        <source>Link closed on %1</source>
        <translation>Liaison fermée sur %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>T20, T20+, T20s, T30s is not ready</source>
        <translation>La T20, T20+, T20s, T30s n&apos;est pas prête</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1: done, %2 in %3 s</source>
        <translation>%1 : terminé, %2 en %3 s</translation>
    </message>
    <message>
        <source>Receiving by wire</source>
        <translation>Réception par câble</translation>
    </message>
    <message>
        <source>the calculator did not take the file</source>
        <translation>la calculatrice n&apos;a pas accepté le fichier</translation>
    </message>
    <message>
        <source>Now send the Calcapp from the calculator&apos;s send menu</source>
        <translation>Envoyez maintenant la Calcapp depuis le menu d&apos;envoi de la calculatrice</translation>
    </message>
</context>
</TS>
