<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>AboutDialog</name>
    <message>
        <source>for the QV T20, T20+, T20s and T30s</source>
        <translation>para QV T20, T20+, T20s e T30s</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Version 2.1 Build 1328</source>
        <translation>Versão 2.1 compilação 1328</translation>
    </message>
    <message>
        <source>Connectivity Kit</source>
        <translation>Kit de ligação</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Software livre sob a GNU General Public License, versão 3 ou posterior.</translation>
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
        <translation>Na calculadora:<byte value="xd"/>
<byte value="xd"/>
1.  Desligue o cabo USB<byte value="xd"/>
2.  Mantenha + e - (3 s) e prima RESET<byte value="xd"/>
3.  Prima 1 para carregar o SO/ROM.<byte value="xd"/>
4.  Prima 1 para USB.<byte value="xd"/>
5.  Ligue o cabo USB<byte value="xd"/>
6.  Prima OK abaixo.</translation>
    </message>
    <message>
        <source>Set the Calculator</source>
        <translation>Preparar a calculadora</translation>
    </message>
    <message>
        <source>On the QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Select the Calcapp to send.<byte value="xd"/>
2.  Press SEND function key.<byte value="xd"/>
3.  Choose: QV20/30 (Wire).<byte value="xd"/>
4.  Press OK function key.<byte value="xd"/>
5.  Click OK below.</source>
        <translation>Na QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Selecione a Calcapp a enviar.<byte value="xd"/>
2.  Prima a tecla de função SEND.<byte value="xd"/>
3.  Escolha: QV20/30 (Wire).<byte value="xd"/>
4.  Prima a tecla de função OK.<byte value="xd"/>
5.  Clique em OK abaixo.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
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
        <translation>Desligada: à espera dela</translation>
    </message>
    <message>
        <source>Plugged in again: reconnecting</source>
        <translation>Ligada de novo: a reconectar</translation>
    </message>
    <message>
        <source>Hung up</source>
        <translation>Desligou</translation>
    </message>
    <message>
        <source>Cannot be opened: %1</source>
        <translation>Não é possível abrir: %1</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Fechada</translation>
    </message>
    <message>
        <source>Waiting for the calculator</source>
        <translation>À espera da calculadora</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: concluído</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Ocupada</translation>
    </message>
    <message>
        <source>%1 (%2%)</source>
        <translation>%1 (%2%)</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculadora</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>Porta</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>Transferência</translation>
    </message>
    <message>
        <source>Last result</source>
        <translation>Último resultado</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Caixa de entrada</translation>
    </message>
</context>
<context>
    <name>ClassWindow</name>
    <message>
        <source>Class</source>
        <translation>Turma</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fechar</translation>
    </message>
    <message>
        <source>Every calculator found is served at once. What each one sends goes into its own folder under %1; a second file of the same name is kept beside the first.</source>
        <translation>Todas as calculadoras encontradas são servidas ao mesmo tempo. O que cada uma envia vai para a sua própria pasta em %1; um segundo ficheiro com o mesmo nome é guardado ao lado do primeiro.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>None: a request is declined</source>
        <translation>Nenhum: o pedido é recusado</translation>
    </message>
    <message>
        <source>File for &amp;XModem requests:</source>
        <translation>Ficheiro para os pedidos &amp;XModem:</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>Esc&amp;olher...</translation>
    </message>
    <message>
        <source>Clea&amp;r</source>
        <translation>&amp;Limpar</translation>
    </message>
    <message>
        <source>File for XModem requests</source>
        <translation>Ficheiro para os pedidos XModem</translation>
    </message>
</context>
<context>
    <name>ConnectionReportDialog</name>
    <message>
        <source>Connection Report</source>
        <translation>Relatório de ligação</translation>
    </message>
    <message>
        <source>A calculator connection can be opened.</source>
        <translation>É possível abrir uma ligação à calculadora.</translation>
    </message>
    <message>
        <source>No calculator connection can be opened. What stands in the way, and the command that fixes each thing:</source>
        <translation>Não é possível abrir nenhuma ligação à calculadora. O que o impede, e o comando que resolve cada ponto:</translation>
    </message>
    <message>
        <source>&amp;Why?</source>
        <translation>&amp;Porquê?</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Calvyx Help</source>
        <translation>Ajuda do Calvyx</translation>
    </message>
    <message>
        <source>No help is available for this item (%1).</source>
        <translation>Não há ajuda disponível para este item (%1).</translation>
    </message>
</context>
<context>
    <name>LogWindow</name>
    <message>
        <source>Log</source>
        <translation>Registo</translation>
    </message>
    <message>
        <source>&amp;Save as Text...</source>
        <translation>&amp;Guardar como texto...</translation>
    </message>
    <message>
        <source>Save Log as Text</source>
        <translation>Guardar o registo como texto</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Ficheiros de texto (*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Não é possível escrever %1: %2</translation>
    </message>
    <message>
        <source>&amp;Clear Log</source>
        <translation>&amp;Limpar registo</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Anular</translation>
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
        <translation>C&amp;olar</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Selecionar tudo</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>A transfer is in progress. Stop it and exit?</source>
        <translation>Está em curso uma transferência. Pará-la e sair?</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Todos os ficheiros (*)</translation>
    </message>
    <message>
        <source>Error, the folder &quot;</source>
        <translation>Erro, a pasta &quot;</translation>
    </message>
    <message>
        <source>&quot; does not exist.</source>
        <translation>&quot; não existe.</translation>
    </message>
    <message>
        <source>Error setting path: &quot;%1&quot;</source>
        <translation>Erro ao definir o caminho: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; to the trash?</source>
        <translation>Mover &quot;%1&quot; para a reciclagem?</translation>
    </message>
    <message>
        <source>Deleting Files</source>
        <translation>Eliminar ficheiros</translation>
    </message>
    <message>
        <source>it no longer exists</source>
        <translation>já não existe</translation>
    </message>
    <message>
        <source>no permission to remove it from &quot;%1&quot;</source>
        <translation>sem permissão para o remover de &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the system refused the move</source>
        <translation>o sistema recusou a operação</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash (%2); nothing was deleted.</source>
        <translation>&quot;%1&quot; não pôde ser movido para a reciclagem (%2); nada foi eliminado.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Ficheiro</translation>
    </message>
    <message>
        <source>Rena&amp;me</source>
        <translation>Mudar o &amp;nome</translation>
    </message>
    <message>
        <source>View the Screen Capture Window</source>
        <translation>Mostrar a janela Captura de ecrã</translation>
    </message>
    <message>
        <source>Receive Calcapp (By Wire) to the PC</source>
        <translation>Receber uma Calcapp por cabo no PC</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Sair</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;juda</translation>
    </message>
    <message>
        <source>ToolBar</source>
        <translation>Barra de ferramentas</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Criar uma nova pasta</translation>
    </message>
    <message>
        <source>View screen capture window.</source>
        <translation>Mostrar a janela de captura de ecrã.</translation>
    </message>
    <message>
        <source>Disconnect and Exit program.</source>
        <translation>Desligar e sair do programa.</translation>
    </message>
    <message>
        <source>Show log window</source>
        <translation>Mostrar a janela de registo</translation>
    </message>
    <message>
        <source>Last command</source>
        <translation>Último comando</translation>
    </message>
    <message>
        <source>Discard the received object? It has not been saved anywhere.</source>
        <translation>Descartar o objeto recebido? Não foi guardado em nenhum lado.</translation>
    </message>
    <message>
        <source>ROM %1 (*.bin *.BIN);;%2 (*)</source>
        <translation>%1 ROM (*.bin *.BIN);;%2 (*)</translation>
    </message>
    <message>
        <source>Calvyx is already running, but its window did not answer.</source>
        <translation>O Calvyx já está em execução, mas a sua janela não respondeu.</translation>
    </message>
    <message>
        <source>a second start cannot reach this window: %1</source>
        <translation>um segundo arranque não consegue chegar a esta janela: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again; this window is the one running.</source>
        <translation>O Calvyx foi iniciado de novo; esta janela é a que está em execução.</translation>
    </message>
    <message>
        <source>Calvyx was started again with &quot;%1&quot;, which is not a connection; the connection stays %2.</source>
        <translation>O Calvyx foi iniciado de novo com &quot;%1&quot;, que não é uma ligação; a ligação continua %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; a transfer is running, so the connection stays %2.</source>
        <translation>O Calvyx foi iniciado de novo com %1; está a decorrer uma transferência, por isso a ligação continua %2.</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; it is now the connection.</source>
        <translation>O Calvyx foi iniciado de novo com %1; agora é essa a ligação.</translation>
    </message>
    <message>
        <source>No file manager could be started for &quot;%1&quot;.</source>
        <translation>Não foi possível iniciar um gestor de ficheiros para &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Copying Files</source>
        <translation>A copiar ficheiros</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: folders are not copied</source>
        <translation>&quot;%1&quot;: as pastas não são copiadas</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: not a file that can be copied</source>
        <translation>&quot;%1&quot;: não é um ficheiro que possa ser copiado</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: it is already in this folder</source>
        <translation>&quot;%1&quot;: já está nesta pasta</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a folder of that name is in the way</source>
        <translation>&quot;%1&quot;: uma pasta com esse nome está no caminho</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in &quot;%2&quot;. Replace it with the file dropped here?</source>
        <translation>&quot;%1&quot; já existe em &quot;%2&quot;. Substituí-lo pelo ficheiro largado aqui?</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot;: %2</translation>
    </message>
    <message numerus="yes">
        <source>Copied %n file(s) to %1</source>
        <translation>
            <numerusform>%n ficheiro copiado para %1</numerusform>
            <numerusform>%n ficheiros copiados para %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied to &quot;%1&quot;:
%2</source>
        <translation>Não copiado para &quot;%1&quot;:
%2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modificado</translation>
    </message>
    <message>
        <source>Screen capture window is listening; files wait until it closes</source>
        <translation>A janela Captura de ecrã está à escuta; os ficheiros esperam até que feche</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>A receção por cabo falhou: %1</translation>
    </message>
    <message>
        <source>ROM load failed: %1</source>
        <translation>O carregamento da ROM falhou: %1</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1, which is already the connection.</source>
        <translation>O Calvyx foi iniciado de novo com %1, que já é a ligação.</translation>
    </message>
    <message numerus="yes">
        <source>Copying to %1 cancelled; %n file(s) copied</source>
        <translation>
            <numerusform>Cópia para %1 cancelada; %n ficheiro copiado</numerusform>
            <numerusform>Cópia para %1 cancelada; %n ficheiros copiados</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its number may belong to another program now. Choose the connection again to reopen it.</source>
        <translation>%1 desligou e fica fechado: um pseudoterminal não é reaberto por si só, o seu número pode agora pertencer a outro programa. Escolha novamente a ligação para a reabrir.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>&amp;Transfers</source>
        <translation>&amp;Transferências</translation>
    </message>
    <message>
        <source>Show the transfers of this and earlier sessions</source>
        <translation>Mostrar as transferências desta sessão e das anteriores</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Registo</translation>
    </message>
    <message>
        <source>Show what happened to the transfers and the link</source>
        <translation>Mostrar o que aconteceu às transferências e à ligação</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>Transferências</translation>
    </message>
    <message>
        <source>The transfer history cannot be kept in %1: %2</source>
        <translation>O histórico de transferências não pode ser guardado em %1: %2</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>&amp;Ligação</translation>
    </message>
    <message>
        <source>Connect &amp;using:</source>
        <translation>Conectar &amp;através de:</translation>
    </message>
    <message>
        <source>A transfer is in progress: the class view opens once it is over</source>
        <translation>Está em curso uma transferência: a vista de turma abre quando terminar</translation>
    </message>
    <message>
        <source>Class view: the calculators are served in the Class window</source>
        <translation>Vista de turma: as calculadoras são servidas na janela Turma</translation>
    </message>
    <message>
        <source>&amp;Class</source>
        <translation>T&amp;urma</translation>
    </message>
    <message>
        <source>Serve every calculator of a class at once, each with its own inbox</source>
        <translation>Servir ao mesmo tempo todas as calculadoras de uma turma, cada uma com a sua caixa de entrada</translation>
    </message>
    <message>
        <source>Class view: close the Class window to use one calculator</source>
        <translation>Vista de turma: feche a janela Turma para usar uma só calculadora</translation>
    </message>
    <message>
        <source>Calvyx — QV T20, T20+, T20s, T30s</source>
        <translation>Calvyx — QV T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>&amp;Abrir pasta</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>Nova &amp;pasta</translation>
    </message>
    <message>
        <source>&amp;Copy path</source>
        <translation>&amp;Copiar caminho</translation>
    </message>
    <message>
        <source>&amp;Show in file manager</source>
        <translation>&amp;Mostrar no gestor de ficheiros</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>Move the folder or file to the trash</source>
        <translation>Mover a pasta ou o ficheiro para o lixo</translation>
    </message>
    <message>
        <source>&amp;Screen Capture</source>
        <translation>&amp;Captura de ecrã</translation>
    </message>
    <message>
        <source>&amp;Receive Calcapp (By Wire)</source>
        <translation>Rece&amp;ber Calcapp (por cabo)</translation>
    </message>
    <message>
        <source>&amp;ROM</source>
        <translation>R&amp;OM</translation>
    </message>
    <message>
        <source>&amp;Download Calculator ROM...</source>
        <translation>&amp;Carregar a ROM da calculadora...</translation>
    </message>
    <message>
        <source>&amp;Contents and Index</source>
        <translation>&amp;Conteúdo e índice</translation>
    </message>
    <message>
        <source>Communications &amp;Topics</source>
        <translation>&amp;Tópicos sobre comunicação</translation>
    </message>
    <message>
        <source>Trouble &amp;Shooting</source>
        <translation>&amp;Resolução de problemas</translation>
    </message>
    <message>
        <source>&amp;Why Can&apos;t Calvyx Connect?</source>
        <translation>&amp;Porque é que o Calvyx não liga?</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>Select the folder for the T20, T20+, T20s, T30s Calcapps</source>
        <translation>Selecione a pasta das Calcapps T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>Receive file from T20, T20+, T20s, T30s (By Wire)</source>
        <translation>Receber ficheiro da T20, T20+, T20s, T30s (por cabo)</translation>
    </message>
    <message>
        <source>ROM loaded: %1</source>
        <translation>ROM carregada: %1</translation>
    </message>
    <message>
        <source>Not switched to %1: waiting for the calculator</source>
        <translation>Não mudou para %1: à espera da calculadora</translation>
    </message>
    <message>
        <source>Not switched to %1: a transfer is running</source>
        <translation>Não mudou para %1: está em curso uma transferência</translation>
    </message>
    <message>
        <source>A transfer is running; try again after it</source>
        <translation>Está em curso uma transferência; tente depois</translation>
    </message>
    <message>
        <source>Waiting for the calculator; try again shortly</source>
        <translation>À espera da calculadora; tente daqui a pouco</translation>
    </message>
    <message>
        <source>Waiting for the calculator ...</source>
        <translation>À espera da calculadora ...</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Pasta</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Atalho</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Unidade</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconhecido</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Size</source>
        <translation>Tamanho</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureWindow</name>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Imagens bitmap (*.bmp)</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>Imagens PNG (*.png)</translation>
    </message>
    <message>
        <source>On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the picture to the clipboard, then reuse it in documents or editors.<byte value="xd"/>
<byte value="xd"/>
This window opens automatically when the calculator sends a screen.</source>
        <translation>Na calculadora, prima ON e 1 ao mesmo tempo para capturar o ecrã. O botão Copiar coloca a imagem na área de transferência para a reutilizar em documentos ou editores.<byte value="xd"/>
<byte value="xd"/>
Esta janela abre-se automaticamente quando a calculadora envia um ecrã.</translation>
    </message>
    <message>
        <source>Screen Capture</source>
        <translation>Captura de ecrã</translation>
    </message>
    <message>
        <source>Calculator Screen Image</source>
        <translation>Imagem do ecrã da calculadora</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>Save Picture As</source>
        <translation>Guardar imagem como</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>&amp;Escala:</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Size of the copied and saved picture</source>
        <translation>Tamanho da imagem copiada e guardada</translation>
    </message>
    <message>
        <source>Copied to the clipboard (%1 x %2 pixels)</source>
        <translation>Copiada para a área de transferência (%1 x %2 píxeis)</translation>
    </message>
    <message>
        <source>Not copied: the clipboard did not take the picture</source>
        <translation>Não copiada: a área de transferência não aceitou a imagem</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Guardada: %1</translation>
    </message>
    <message>
        <source>Not saved %1: %2</source>
        <translation>Não guardada %1: %2</translation>
    </message>
    <message>
        <source>&amp;Border:</source>
        <translation>C&amp;ontorno:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>&amp;Fechar</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Files</source>
        <translation>Ficheiros</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Todos os ficheiros</translation>
    </message>
    <message>
        <source>Download ROM</source>
        <translation>Carregar ROM</translation>
    </message>
    <message>
        <source>Download of ROM file <byte value="xd"/>
%s<byte value="xd"/>
failed.</source>
        <translation>O carregamento do ficheiro ROM <byte value="xd"/>
%s<byte value="xd"/>
falhou.</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Erro de carregamento</translation>
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
        <translation>A calculadora parece não estar ligada ao PC. <byte value="xd"/>
<byte value="xd"/>
Verifique se:<byte value="xd"/>
<byte value="xd"/>
   1. a calculadora está ligada,<byte value="xd"/>
<byte value="xd"/>
   2. a ligação está boa<byte value="xd"/>
        (desligue e volte a ligar a calculadora),<byte value="xd"/>
<byte value="xd"/>
   3. as pilhas estão boas<byte value="xd"/>
        (veja se o aviso está aceso).</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erro</translation>
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
        <translation>Para o PC</translation>
    </message>
    <message>
        <source>To calculator</source>
        <translation>Para a calculadora</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Concluído</translation>
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
        <translation>Falhou: %1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Sentido</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Ficheiro</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamanho</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duração</translation>
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
        <translation>Ficheiros CSV (*.csv)</translation>
    </message>
    <message>
        <source>The folder %1 does not exist any more</source>
        <translation>A pasta %1 já não existe</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Não é possível escrever %1: %2</translation>
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
        <translation>A receber %1</translation>
    </message>
    <message>
        <source>Sending %1</source>
        <translation>A enviar %1</translation>
    </message>
    <message>
        <source>Copying %1</source>
        <translation>A copiar %1</translation>
    </message>
    <message>
        <source>Connecting ...</source>
        <translation>A ligar ...</translation>
    </message>
    <message>
        <source>cancelled by the calculator</source>
        <translation>cancelado pela calculadora</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 falhou: %2</translation>
    </message>
    <message>
        <source>Not sent: %1</source>
        <translation>Não enviado: %1</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>A receção por cabo falhou: %1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>falhou</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>cancelado</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>parado</translation>
    </message>
    <message>
        <source>the calculator cancelled</source>
        <translation>a calculadora cancelou</translation>
    </message>
    <message>
        <source>the calculator cancelled (%1)</source>
        <translation>a calculadora cancelou (%1)</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>ligação perdida</translation>
    </message>
    <message>
        <source>too many errors on the line</source>
        <translation>demasiados erros na linha</translation>
    </message>
    <message>
        <source>no answer for %1</source>
        <translation>sem resposta durante %1</translation>
    </message>
    <message>
        <source>cannot store the file: %1</source>
        <translation>não é possível guardar o ficheiro: %1</translation>
    </message>
    <message>
        <source>not enough disk space (%1)</source>
        <translation>espaço em disco insuficiente (%1)</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>nome de ficheiro inválido</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>o ficheiro não existe</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>não é possível ler o ficheiro</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>recusado</translation>
    </message>
    <message>
        <source>no start byte</source>
        <translation>sem byte de início</translation>
    </message>
    <message>
        <source>no valid block from the calculator</source>
        <translation>nenhum bloco válido da calculadora</translation>
    </message>
    <message>
        <source>sent, the end not confirmed</source>
        <translation>enviado, o fim não confirmado</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>recusado</translation>
    </message>
    <message>
        <source>Sent; the calculator did not confirm the end of the file</source>
        <translation>Enviado; a calculadora não confirmou o fim do ficheiro</translation>
    </message>
    <message>
        <source>Opening port: %1</source>
        <translation>A abrir a porta: %1</translation>
    </message>
    <message>
        <source>Opening Comm %1</source>
        <translation>A abrir a comunicação %1</translation>
    </message>
    <message>
        <source>Device connected on %1</source>
        <translation>Dispositivo ligado em %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1: done in %2 s</source>
        <translation>%1: concluído em %2 s</translation>
    </message>
    <message>
        <source>Link opened on %1</source>
        <translation>Ligação aberta em %1</translation>
    </message>
    <message>
        <source>Link lost on %1; waiting for it to come back</source>
        <translation>Ligação perdida em %1; à espera de que volte</translation>
    </message>
    <message>
        <source>%1 was unplugged and plugged in again; reopening it</source>
        <translation>%1 foi desligado e ligado de novo; a reabrir</translation>
    </message>
    <message>
        <source>Link back on %1</source>
        <translation>Ligação restabelecida em %1</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 não pode ser aberto: %2</translation>
    </message>
    <message>
        <source>Link closed on %1</source>
        <translation>Ligação fechada em %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>T20, T20+, T20s, T30s is not ready</source>
        <translation>A T20, T20+, T20s, T30s não está pronta</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1: done, %2 in %3 s</source>
        <translation>%1: concluído, %2 em %3 s</translation>
    </message>
    <message>
        <source>Receiving by wire</source>
        <translation>A receber por cabo</translation>
    </message>
    <message>
        <source>the calculator did not take the file</source>
        <translation>a calculadora não aceitou o ficheiro</translation>
    </message>
    <message>
        <source>Now send the Calcapp from the calculator&apos;s send menu</source>
        <translation>Envie agora a Calcapp a partir do menu de envio da calculadora</translation>
    </message>
</context>
</TS>
