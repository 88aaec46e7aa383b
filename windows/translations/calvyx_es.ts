<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AboutDialog</name>
    <message>
        <source>for the QV T20, T20+, T20s and T30s</source>
        <translation>para QV T20, T20+, T20s y T30s</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Version 2.1 Build 1328</source>
        <translation>Versión 2.1 compilación 1328</translation>
    </message>
    <message>
        <source>Connectivity Kit</source>
        <translation>Kit de conexión</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Software libre bajo la Licencia Pública General de GNU, versión 3 o posterior.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
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
        <translation>En la calculadora:<byte value="xd"/>
<byte value="xd"/>
1.  Desconecte el cable USB<byte value="xd"/>
2.  Mantenga + y - (3 s) y pulse RESET<byte value="xd"/>
3.  Pulse 1 para cargar el SO/ROM.<byte value="xd"/>
4.  Pulse 1 para USB.<byte value="xd"/>
5.  Conecte el cable USB<byte value="xd"/>
6.  Pulse Aceptar abajo.</translation>
    </message>
    <message>
        <source>Set the Calculator</source>
        <translation>Preparar la calculadora</translation>
    </message>
    <message>
        <source>On the QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Select the Calcapp to send.<byte value="xd"/>
2.  Press SEND function key.<byte value="xd"/>
3.  Choose: QV20/30 (Wire).<byte value="xd"/>
4.  Press OK function key.<byte value="xd"/>
5.  Click OK below.</source>
        <translation>En la QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Seleccione la Calcapp que enviará.<byte value="xd"/>
2.  Pulse la tecla de función SEND.<byte value="xd"/>
3.  Elija: QV20/30 (Wire).<byte value="xd"/>
4.  Pulse la tecla de función OK.<byte value="xd"/>
5.  Haga clic en Aceptar abajo.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
</context>
<context>
    <name>ClassTableModel</name>
    <message>
        <source>Connected</source>
        <translation>Conectada</translation>
    </message>
    <message>
        <source>Unplugged: waiting for it</source>
        <translation>Desconectada: esperándola</translation>
    </message>
    <message>
        <source>Plugged in again: reconnecting</source>
        <translation>Conectada de nuevo: reconectando</translation>
    </message>
    <message>
        <source>Hung up</source>
        <translation>Colgada</translation>
    </message>
    <message>
        <source>Cannot be opened: %1</source>
        <translation>No se puede abrir: %1</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Cerrada</translation>
    </message>
    <message>
        <source>Waiting for the calculator</source>
        <translation>Esperando a la calculadora</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: hecho</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Ocupada</translation>
    </message>
    <message>
        <source>%1 (%2%)</source>
        <translation>%1 (%2 %)</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculadora</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>Puerto</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Transferencia</translation>
    </message>
    <message>
        <source>Last result</source>
        <translation>Último resultado</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Bandeja de entrada</translation>
    </message>
</context>
<context>
    <name>ClassWindow</name>
    <message>
        <source>Class</source>
        <translation>Clase</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>Every calculator found is served at once. What each one sends goes into its own folder under %1; a second file of the same name is kept beside the first.</source>
        <translation>Se atienden a la vez todas las calculadoras encontradas. Lo que envía cada una va a su propia carpeta en %1; un segundo archivo con el mismo nombre se guarda junto al primero.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>None: a request is declined</source>
        <translation>Ninguno: la solicitud se rechaza</translation>
    </message>
    <message>
        <source>File for &amp;XModem requests:</source>
        <translation>Archivo para las solicitudes &amp;XModem:</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>&amp;Elegir...</translation>
    </message>
    <message>
        <source>Clea&amp;r</source>
        <translation>&amp;Borrar</translation>
    </message>
    <message>
        <source>File for XModem requests</source>
        <translation>Archivo para las solicitudes XModem</translation>
    </message>
</context>
<context>
    <name>ConnectionReportDialog</name>
    <message>
        <source>Connection Report</source>
        <translation>Informe de conexión</translation>
    </message>
    <message>
        <source>A calculator connection can be opened.</source>
        <translation>Se puede abrir una conexión con la calculadora.</translation>
    </message>
    <message>
        <source>No calculator connection can be opened. What stands in the way, and the command that fixes each thing:</source>
        <translation>No se puede abrir ninguna conexión con la calculadora. Qué lo impide, y la orden que corrige cada punto:</translation>
    </message>
    <message>
        <source>&amp;Why?</source>
        <translation>¿&amp;Por qué?</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Calvyx Help</source>
        <translation>Ayuda de Calvyx</translation>
    </message>
    <message>
        <source>No help is available for this item (%1).</source>
        <translation>No hay ayuda disponible para este elemento (%1).</translation>
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
        <translation>&amp;Guardar como texto...</translation>
    </message>
    <message>
        <source>Save Log as Text</source>
        <translation>Guardar el registro como texto</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Archivos de texto (*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>No se puede escribir %1: %2</translation>
    </message>
    <message>
        <source>&amp;Clear Log</source>
        <translation>&amp;Borrar registro</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Pegar</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Seleccionar todo</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>A transfer is in progress. Stop it and exit?</source>
        <translation>Hay una transferencia en curso. ¿Detenerla y salir?</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Todos los archivos (*)</translation>
    </message>
    <message>
        <source>Error, the folder &quot;</source>
        <translation>Error, la carpeta &quot;</translation>
    </message>
    <message>
        <source>&quot; does not exist.</source>
        <translation>&quot; no existe.</translation>
    </message>
    <message>
        <source>Error setting path: &quot;%1&quot;</source>
        <translation>Error al establecer la ruta: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; to the trash?</source>
        <translation>¿Mover &quot;%1&quot; a la papelera?</translation>
    </message>
    <message>
        <source>Deleting Files</source>
        <translation>Eliminar archivos</translation>
    </message>
    <message>
        <source>it no longer exists</source>
        <translation>ya no existe</translation>
    </message>
    <message>
        <source>no permission to remove it from &quot;%1&quot;</source>
        <translation>sin permiso para quitarlo de &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the system refused the move</source>
        <translation>el sistema rechazó el traslado</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash (%2); nothing was deleted.</source>
        <translation>&quot;%1&quot; no se pudo mover a la papelera (%2); no se ha eliminado nada.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>Rena&amp;me</source>
        <translation>Cambiar &amp;nombre</translation>
    </message>
    <message>
        <source>View the Screen Capture Window</source>
        <translation>Mostrar la ventana Captura de pantalla</translation>
    </message>
    <message>
        <source>Receive Calcapp (By Wire) to the PC</source>
        <translation>Recibir una Calcapp por cable en el PC</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>ToolBar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Crear una carpeta nueva</translation>
    </message>
    <message>
        <source>View screen capture window.</source>
        <translation>Mostrar la ventana de captura de pantalla.</translation>
    </message>
    <message>
        <source>Disconnect and Exit program.</source>
        <translation>Desconectar y salir del programa.</translation>
    </message>
    <message>
        <source>Show log window</source>
        <translation>Mostrar la ventana de registro</translation>
    </message>
    <message>
        <source>Last command</source>
        <translation>Último comando</translation>
    </message>
    <message>
        <source>Discard the received object? It has not been saved anywhere.</source>
        <translation>¿Descartar el objeto recibido? No se ha guardado en ningún sitio.</translation>
    </message>
    <message>
        <source>ROM %1 (*.bin *.BIN);;%2 (*)</source>
        <translation>%1 ROM (*.bin *.BIN);;%2 (*)</translation>
    </message>
    <message>
        <source>Calvyx is already running, but its window did not answer.</source>
        <translation>Calvyx ya se está ejecutando, pero su ventana no respondió.</translation>
    </message>
    <message>
        <source>a second start cannot reach this window: %1</source>
        <translation>un segundo inicio no puede llegar a esta ventana: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again; this window is the one running.</source>
        <translation>Calvyx se inició de nuevo; esta ventana es la que se está ejecutando.</translation>
    </message>
    <message>
        <source>Calvyx was started again with &quot;%1&quot;, which is not a connection; the connection stays %2.</source>
        <translation>Calvyx se inició de nuevo con &quot;%1&quot;, que no es una conexión; la conexión sigue siendo %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; a transfer is running, so the connection stays %2.</source>
        <translation>Calvyx se inició de nuevo con %1; hay una transferencia en curso, así que la conexión sigue siendo %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; it is now the connection.</source>
        <translation>Calvyx se inició de nuevo con %1; ahora es la conexión.</translation>
    </message>
    <message>
        <source>No file manager could be started for &quot;%1&quot;.</source>
        <translation>No se pudo iniciar ningún gestor de archivos para &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Copying Files</source>
        <translation>Copiando archivos</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: folders are not copied</source>
        <translation>&quot;%1&quot;: las carpetas no se copian</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: not a file that can be copied</source>
        <translation>&quot;%1&quot;: no es un archivo que se pueda copiar</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: it is already in this folder</source>
        <translation>&quot;%1&quot;: ya está en esta carpeta</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a folder of that name is in the way</source>
        <translation>&quot;%1&quot;: una carpeta con ese nombre lo impide</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in &quot;%2&quot;. Replace it with the file dropped here?</source>
        <translation>&quot;%1&quot; ya existe en &quot;%2&quot;. ¿Reemplazarlo por el archivo soltado aquí?</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot;: %2</translation>
    </message>
    <message numerus="yes">
        <source>Copied %n file(s) to %1</source>
        <translation>
            <numerusform>%n archivo copiado en %1</numerusform>
            <numerusform>%n archivos copiados en %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied to &quot;%1&quot;:
%2</source>
        <translation>No copiado en &quot;%1&quot;:
%2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modificado</translation>
    </message>
    <message>
        <source>Screen capture window is listening; files wait until it closes</source>
        <translation>La ventana Captura de pantalla está escuchando; los archivos esperan hasta que se cierre</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>La recepción por cable falló: %1</translation>
    </message>
    <message>
        <source>ROM load failed: %1</source>
        <translation>La carga de la ROM falló: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1, which is already the connection.</source>
        <translation>Calvyx se inició de nuevo con %1, que ya es la conexión.</translation>
    </message>
    <message numerus="yes">
        <source>Copying to %1 cancelled; %n file(s) copied</source>
        <translation>
            <numerusform>Copia a %1 cancelada; %n archivo copiado</numerusform>
            <numerusform>Copia a %1 cancelada; %n archivos copiados</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its number may belong to another program now. Choose the connection again to reopen it.</source>
        <translation>%1 ha colgado y queda cerrado: un pseudoterminal no se vuelve a abrir por sí solo, su número puede pertenecer ahora a otro programa. Elija de nuevo la conexión para volver a abrirla.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>&amp;Transfers</source>
        <translation>&amp;Transferencias</translation>
    </message>
    <message>
        <source>Show the transfers of this and earlier sessions</source>
        <translation>Mostrar las transferencias de esta sesión y de las anteriores</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Registro</translation>
    </message>
    <message>
        <source>Show what happened to the transfers and the link</source>
        <translation>Mostrar lo que ocurrió con las transferencias y la conexión</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>Transferencias</translation>
    </message>
    <message>
        <source>The transfer history cannot be kept in %1: %2</source>
        <translation>El historial de transferencias no se puede guardar en %1: %2</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>&amp;Conexión</translation>
    </message>
    <message>
        <source>Connect &amp;using:</source>
        <translation>Conectar &amp;mediante:</translation>
    </message>
    <message>
        <source>A transfer is in progress: the class view opens once it is over</source>
        <translation>Hay una transferencia en curso: la vista de clase se abrirá cuando termine</translation>
    </message>
    <message>
        <source>Class view: the calculators are served in the Class window</source>
        <translation>Vista de clase: las calculadoras se atienden en la ventana Clase</translation>
    </message>
    <message>
        <source>&amp;Class</source>
        <translation>&amp;Clase</translation>
    </message>
    <message>
        <source>Serve every calculator of a class at once, each with its own inbox</source>
        <translation>Atender a la vez todas las calculadoras de una clase, cada una con su bandeja de entrada</translation>
    </message>
    <message>
        <source>Class view: close the Class window to use one calculator</source>
        <translation>Vista de clase: cierre la ventana Clase para usar una sola calculadora</translation>
    </message>
    <message>
        <source>Calvyx — QV T20, T20+, T20s, T30s</source>
        <translation>Calvyx — QV T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>&amp;Abrir carpeta</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>Nueva &amp;carpeta</translation>
    </message>
    <message>
        <source>&amp;Copy path</source>
        <translation>Copiar &amp;ruta</translation>
    </message>
    <message>
        <source>&amp;Show in file manager</source>
        <translation>&amp;Mostrar en el gestor de archivos</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>Move the folder or file to the trash</source>
        <translation>Mover la carpeta o el archivo a la papelera</translation>
    </message>
    <message>
        <source>&amp;Screen Capture</source>
        <translation>Captura de &amp;pantalla</translation>
    </message>
    <message>
        <source>&amp;Receive Calcapp (By Wire)</source>
        <translation>Reci&amp;bir Calcapp (por cable)</translation>
    </message>
    <message>
        <source>&amp;ROM</source>
        <translation>R&amp;OM</translation>
    </message>
    <message>
        <source>&amp;Download Calculator ROM...</source>
        <translation>&amp;Cargar la ROM de la calculadora...</translation>
    </message>
    <message>
        <source>&amp;Contents and Index</source>
        <translation>&amp;Contenido e índice</translation>
    </message>
    <message>
        <source>Communications &amp;Topics</source>
        <translation>&amp;Temas de comunicación</translation>
    </message>
    <message>
        <source>Trouble &amp;Shooting</source>
        <translation>&amp;Solución de problemas</translation>
    </message>
    <message>
        <source>&amp;Why Can&apos;t Calvyx Connect?</source>
        <translation>¿&amp;Por qué no conecta Calvyx?</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>Select the folder for the T20, T20+, T20s, T30s Calcapps</source>
        <translation>Seleccione la carpeta de las Calcapps T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>Receive file from T20, T20+, T20s, T30s (By Wire)</source>
        <translation>Recibir archivo de la T20, T20+, T20s, T30s (por cable)</translation>
    </message>
    <message>
        <source>ROM loaded: %1</source>
        <translation>ROM cargada: %1</translation>
    </message>
    <message>
        <source>Not switched to %1: waiting for the calculator</source>
        <translation>No se cambió a %1: esperando a la calculadora</translation>
    </message>
    <message>
        <source>Not switched to %1: a transfer is running</source>
        <translation>No se cambió a %1: hay una transferencia en curso</translation>
    </message>
    <message>
        <source>A transfer is running; try again after it</source>
        <translation>Hay una transferencia en curso; inténtelo después</translation>
    </message>
    <message>
        <source>Waiting for the calculator; try again shortly</source>
        <translation>Esperando a la calculadora; inténtelo en breve</translation>
    </message>
    <message>
        <source>Waiting for the calculator ...</source>
        <translation>Esperando a la calculadora ...</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Carpeta</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Acceso directo</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Unidad</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconocido</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureWindow</name>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Mapas de bits (*.bmp)</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>Imágenes PNG (*.png)</translation>
    </message>
    <message>
        <source>On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the picture to the clipboard, then reuse it in documents or editors.<byte value="xd"/>
<byte value="xd"/>
This window opens automatically when the calculator sends a screen.</source>
        <translation>En la calculadora, pulse ON y 1 a la vez para capturar la pantalla. El botón Copiar copia la imagen al portapapeles para reutilizarla en documentos o editores.<byte value="xd"/>
<byte value="xd"/>
Esta ventana se abre automáticamente cuando la calculadora envía una pantalla.</translation>
    </message>
    <message>
        <source>Screen Capture</source>
        <translation>Captura de pantalla</translation>
    </message>
    <message>
        <source>Calculator Screen Image</source>
        <translation>Imagen de la pantalla de la calculadora</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>Save Picture As</source>
        <translation>Guardar imagen como</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>Esc&amp;ala:</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Size of the copied and saved picture</source>
        <translation>Tamaño de la imagen copiada y guardada</translation>
    </message>
    <message>
        <source>Copied to the clipboard (%1 x %2 pixels)</source>
        <translation>Copiada al portapapeles (%1 x %2 píxeles)</translation>
    </message>
    <message>
        <source>Not copied: the clipboard did not take the picture</source>
        <translation>No copiada: el portapapeles no aceptó la imagen</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Guardada: %1</translation>
    </message>
    <message>
        <source>Not saved %1: %2</source>
        <translation>No guardada %1: %2</translation>
    </message>
    <message>
        <source>&amp;Border:</source>
        <translation>&amp;Borde:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>C&amp;errar</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Todos los archivos</translation>
    </message>
    <message>
        <source>Download ROM</source>
        <translation>Cargar ROM</translation>
    </message>
    <message>
        <source>Download of ROM file <byte value="xd"/>
%s<byte value="xd"/>
failed.</source>
        <translation>La carga del archivo ROM <byte value="xd"/>
%s<byte value="xd"/>
ha fallado.</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Error de carga</translation>
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
        <translation>Parece que la calculadora está desconectada. <byte value="xd"/>
<byte value="xd"/>
Compruebe que:<byte value="xd"/>
<byte value="xd"/>
   1. la calculadora está encendida,<byte value="xd"/>
<byte value="xd"/>
   2. la conexión es buena<byte value="xd"/>
        (desconecte y vuelva a conectar la calculadora),<byte value="xd"/>
<byte value="xd"/>
   3. las pilas están bien<byte value="xd"/>
        (mire si el aviso está encendido).</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
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
        <translation>A la calculadora</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Hecho</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Cancelado</translation>
    </message>
    <message>
        <source>Cancelled: %1</source>
        <translation>Cancelado: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Falló: %1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Dirección</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Resultado</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculadora</translation>
    </message>
</context>
<context>
    <name>TransferHistoryView</name>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>&amp;Exportar CSV...</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exportar CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Archivos CSV (*.csv)</translation>
    </message>
    <message>
        <source>The folder %1 does not exist any more</source>
        <translation>La carpeta %1 ya no existe</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>No se puede escribir %1: %2</translation>
    </message>
</context>
<context>
    <name>TransferStatusDialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
</context>
<context>
    <name>TransferTexts</name>
    <message>
        <source>Receiving %1</source>
        <translation>Recibiendo %1</translation>
    </message>
    <message>
        <source>Sending %1</source>
        <translation>Enviando %1</translation>
    </message>
    <message>
        <source>Copying %1</source>
        <translation>Copiando %1</translation>
    </message>
    <message>
        <source>Connecting ...</source>
        <translation>Conectando ...</translation>
    </message>
    <message>
        <source>cancelled by the calculator</source>
        <translation>cancelado por la calculadora</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 falló: %2</translation>
    </message>
    <message>
        <source>Not sent: %1</source>
        <translation>No enviado: %1</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>La recepción por cable falló: %1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>falló</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>cancelado</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>detenido</translation>
    </message>
    <message>
        <source>the calculator cancelled</source>
        <translation>la calculadora canceló</translation>
    </message>
    <message>
        <source>the calculator cancelled (%1)</source>
        <translation>la calculadora canceló (%1)</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>conexión perdida</translation>
    </message>
    <message>
        <source>too many errors on the line</source>
        <translation>demasiados errores en la línea</translation>
    </message>
    <message>
        <source>no answer for %1</source>
        <translation>sin respuesta durante %1</translation>
    </message>
    <message>
        <source>cannot store the file: %1</source>
        <translation>no se puede guardar el archivo: %1</translation>
    </message>
    <message>
        <source>not enough disk space (%1)</source>
        <translation>no hay suficiente espacio en disco (%1)</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>nombre de archivo no válido</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>el archivo no existe</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>no se puede leer el archivo</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>rechazado</translation>
    </message>
    <message>
        <source>no start byte</source>
        <translation>sin byte de inicio</translation>
    </message>
    <message>
        <source>no valid block from the calculator</source>
        <translation>ningún bloque válido de la calculadora</translation>
    </message>
    <message>
        <source>sent, the end not confirmed</source>
        <translation>enviado, el final no confirmado</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>rechazado</translation>
    </message>
    <message>
        <source>Sent; the calculator did not confirm the end of the file</source>
        <translation>Enviado; la calculadora no confirmó el final del archivo</translation>
    </message>
    <message>
        <source>Opening port: %1</source>
        <translation>Abriendo el puerto: %1</translation>
    </message>
    <message>
        <source>Opening Comm %1</source>
        <translation>Abriendo la comunicación %1</translation>
    </message>
    <message>
        <source>Device connected on %1</source>
        <translation>Dispositivo conectado en %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: done in %2 s</source>
        <translation>%1: hecho en %2 s</translation>
    </message>
    <message>
        <source>Link opened on %1</source>
        <translation>Conexión abierta en %1</translation>
    </message>
    <message>
        <source>Link lost on %1; waiting for it to come back</source>
        <translation>Conexión perdida en %1; esperando a que vuelva</translation>
    </message>
    <message>
        <source>%1 was unplugged and plugged in again; reopening it</source>
        <translation>%1 se desconectó y se volvió a conectar; se reabre</translation>
    </message>
    <message>
        <source>Link back on %1</source>
        <translation>Conexión restablecida en %1</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 no se puede abrir: %2</translation>
    </message>
    <message>
        <source>Link closed on %1</source>
        <translation>Conexión cerrada en %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>T20, T20+, T20s, T30s is not ready</source>
        <translation>La T20, T20+, T20s, T30s no está lista</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1: done, %2 in %3 s</source>
        <translation>%1: hecho, %2 en %3 s</translation>
    </message>
    <message>
        <source>Receiving by wire</source>
        <translation>Recibiendo por cable</translation>
    </message>
    <message>
        <source>the calculator did not take the file</source>
        <translation>la calculadora no aceptó el archivo</translation>
    </message>
    <message>
        <source>Now send the Calcapp from the calculator&apos;s send menu</source>
        <translation>Envíe ahora la Calcapp desde el menú de envío de la calculadora</translation>
    </message>
</context>
</TS>
