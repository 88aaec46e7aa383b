<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>for the QV T20, T20+, T20s and T30s</source>
        <translation>适用于 QV T20、T20+、T20s 和 T30s</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Version 2.1 Build 1328</source>
        <translation>版本 2.1 内部版本 1328</translation>
    </message>
    <message>
        <source>Connectivity Kit</source>
        <translation>连接套件</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>自由软件，依据 GNU 通用公共许可证第 3 版或更高版本发布。</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
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
        <translation>在计算器上：<byte value="xd"/>
<byte value="xd"/>
1.  拔下 USB 数据线<byte value="xd"/>
2.  按住 + 和 -（3 秒）的同时按 RESET<byte value="xd"/>
3.  按 1 加载 OS/ROM。<byte value="xd"/>
4.  按 1 选择 USB。<byte value="xd"/>
5.  插上 USB 数据线<byte value="xd"/>
6.  单击下方的“确定”。</translation>
    </message>
    <message>
        <source>Set the Calculator</source>
        <translation>设置计算器</translation>
    </message>
    <message>
        <source>On the QV T20, T20+, T20s, T30s:<byte value="xd"/>
<byte value="xd"/>
1.  Select the Calcapp to send.<byte value="xd"/>
2.  Press SEND function key.<byte value="xd"/>
3.  Choose: QV20/30 (Wire).<byte value="xd"/>
4.  Press OK function key.<byte value="xd"/>
5.  Click OK below.</source>
        <translation>在 QV T20, T20+, T20s, T30s 上：<byte value="xd"/>
<byte value="xd"/>
1.  选择要发送的 Calcapp。<byte value="xd"/>
2.  按 SEND 功能键。<byte value="xd"/>
3.  选择：QV20/30 (Wire)。<byte value="xd"/>
4.  按 OK 功能键。<byte value="xd"/>
5.  单击下方的“确定”。</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
</context>
<context>
    <name>ClassTableModel</name>
    <message>
        <source>Connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <source>Unplugged: waiting for it</source>
        <translation>已拔出：等待重新连接</translation>
    </message>
    <message>
        <source>Plugged in again: reconnecting</source>
        <translation>已重新插入：正在重新连接</translation>
    </message>
    <message>
        <source>Hung up</source>
        <translation>已挂断</translation>
    </message>
    <message>
        <source>Cannot be opened: %1</source>
        <translation>无法打开：%1</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>已关闭</translation>
    </message>
    <message>
        <source>Waiting for the calculator</source>
        <translation>正在等待计算器</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1：完成</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>忙</translation>
    </message>
    <message>
        <source>%1 (%2%)</source>
        <translation>%1（%2%）</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>计算器</translation>
    </message>
    <message>
        <source>Socket</source>
        <translation>插口</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>传输</translation>
    </message>
    <message>
        <source>Last result</source>
        <translation>上次结果</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>收件夹</translation>
    </message>
</context>
<context>
    <name>ClassWindow</name>
    <message>
        <source>Class</source>
        <translation>班级</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Every calculator found is served at once. What each one sends goes into its own folder under %1; a second file of the same name is kept beside the first.</source>
        <translation>同时为找到的所有计算器服务。每台计算器发送的文件存入 %1 下它自己的文件夹；同名的第二个文件与第一个并存。</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>None: a request is declined</source>
        <translation>无：请求将被拒绝</translation>
    </message>
    <message>
        <source>File for &amp;XModem requests:</source>
        <translation>XModem 请求使用的文件(&amp;X):</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>选择(&amp;H)...</translation>
    </message>
    <message>
        <source>Clea&amp;r</source>
        <translation>清除(&amp;R)</translation>
    </message>
    <message>
        <source>File for XModem requests</source>
        <translation>XModem 请求使用的文件</translation>
    </message>
</context>
<context>
    <name>ConnectionReportDialog</name>
    <message>
        <source>Connection Report</source>
        <translation>连接报告</translation>
    </message>
    <message>
        <source>A calculator connection can be opened.</source>
        <translation>可以打开与计算器的连接。</translation>
    </message>
    <message>
        <source>No calculator connection can be opened. What stands in the way, and the command that fixes each thing:</source>
        <translation>无法打开与计算器的任何连接。以下是阻碍连接的原因，以及修复每一项的命令：</translation>
    </message>
    <message>
        <source>&amp;Why?</source>
        <translation>为什么(&amp;W)？</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Calvyx Help</source>
        <translation>Calvyx 帮助</translation>
    </message>
    <message>
        <source>No help is available for this item (%1).</source>
        <translation>此项没有可用的帮助（%1）。</translation>
    </message>
</context>
<context>
    <name>LogWindow</name>
    <message>
        <source>Log</source>
        <translation>日志</translation>
    </message>
    <message>
        <source>&amp;Save as Text...</source>
        <translation>另存为文本(&amp;S)...</translation>
    </message>
    <message>
        <source>Save Log as Text</source>
        <translation>将日志另存为文本</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>文本文件 (*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>&amp;Clear Log</source>
        <translation>清除日志(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>全选(&amp;A)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>A transfer is in progress. Stop it and exit?</source>
        <translation>正在进行传输。要停止传输并退出吗？</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Error, the folder &quot;</source>
        <translation>错误，文件夹“</translation>
    </message>
    <message>
        <source>&quot; does not exist.</source>
        <translation>”不存在。</translation>
    </message>
    <message>
        <source>Error setting path: &quot;%1&quot;</source>
        <translation>设置路径时出错：“%1”</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; to the trash?</source>
        <translation>将“%1”移到回收站？</translation>
    </message>
    <message>
        <source>Deleting Files</source>
        <translation>删除文件</translation>
    </message>
    <message>
        <source>it no longer exists</source>
        <translation>它已不存在</translation>
    </message>
    <message>
        <source>no permission to remove it from &quot;%1&quot;</source>
        <translation>没有从“%1”中移除它的权限</translation>
    </message>
    <message>
        <source>the system refused the move</source>
        <translation>系统拒绝了移动操作</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be moved to the trash (%2); nothing was deleted.</source>
        <translation>无法将“%1”移到回收站（%2）；未删除任何内容。</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>Rena&amp;me</source>
        <translation>重命名(&amp;M)</translation>
    </message>
    <message>
        <source>View the Screen Capture Window</source>
        <translation>查看屏幕截图窗口</translation>
    </message>
    <message>
        <source>Receive Calcapp (By Wire) to the PC</source>
        <translation>通过数据线将 Calcapp 接收到电脑</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>ToolBar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>新建一个文件夹</translation>
    </message>
    <message>
        <source>View screen capture window.</source>
        <translation>查看屏幕截图窗口。</translation>
    </message>
    <message>
        <source>Disconnect and Exit program.</source>
        <translation>断开连接并退出程序。</translation>
    </message>
    <message>
        <source>Show log window</source>
        <translation>显示日志窗口</translation>
    </message>
    <message>
        <source>Last command</source>
        <translation>最近的命令</translation>
    </message>
    <message>
        <source>Discard the received object? It has not been saved anywhere.</source>
        <translation>要丢弃收到的对象吗？它尚未保存到任何位置。</translation>
    </message>
    <message>
        <source>ROM %1 (*.bin *.BIN);;%2 (*)</source>
        <translation>ROM %1 (*.bin *.BIN);;%2 (*)</translation>
    </message>
    <message>
        <source>Calvyx is already running, but its window did not answer.</source>
        <translation>Calvyx 已在运行，但其窗口没有响应。</translation>
    </message>
    <message>
        <source>a second start cannot reach this window: %1</source>
        <translation>第二次启动无法联系到此窗口：%1</translation>
    </message>
    <message>
        <source>Calvyx was started again; this window is the one running.</source>
        <translation>Calvyx 被再次启动；此窗口是正在运行的那个。</translation>
    </message>
    <message>
        <source>Calvyx was started again with &quot;%1&quot;, which is not a connection; the connection stays %2.</source>
        <translation>Calvyx 以 &quot;%1&quot; 再次启动，但它不是一个连接；连接仍为 %2。</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; a transfer is running, so the connection stays %2.</source>
        <translation>Calvyx 以 %1 再次启动；正在传输，因此连接仍为 %2。</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1; it is now the connection.</source>
        <translation>Calvyx 以 %1 再次启动；现在它是当前连接。</translation>
    </message>
    <message>
        <source>No file manager could be started for &quot;%1&quot;.</source>
        <translation>无法为 &quot;%1&quot; 启动文件管理器。</translation>
    </message>
    <message>
        <source>Copying Files</source>
        <translation>复制文件</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: folders are not copied</source>
        <translation>&quot;%1&quot;：文件夹不会被复制</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: not a file that can be copied</source>
        <translation>&quot;%1&quot;：不是可以复制的文件</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: it is already in this folder</source>
        <translation>&quot;%1&quot;：已在此文件夹中</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: a folder of that name is in the way</source>
        <translation>&quot;%1&quot;：已有同名文件夹</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists in &quot;%2&quot;. Replace it with the file dropped here?</source>
        <translation>&quot;%2&quot; 中已存在 &quot;%1&quot;。用拖放到这里的文件替换它吗？</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>&quot;%1&quot;：%2</translation>
    </message>
    <message numerus="yes">
        <source>Copied %n file(s) to %1</source>
        <translation>
            <numerusform>已将 %n 个文件复制到 %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Not copied to &quot;%1&quot;:
%2</source>
        <translation>未复制到 &quot;%1&quot;：
%2</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>修改时间</translation>
    </message>
    <message>
        <source>Screen capture window is listening; files wait until it closes</source>
        <translation>屏幕截图窗口正在监听；文件将等到它关闭</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>通过数据线接收失败：%1</translation>
    </message>
    <message>
        <source>ROM load failed: %1</source>
        <translation>ROM 加载失败：%1</translation>
    </message>
    <message>
        <source>Calvyx was started again with %1, which is already the connection.</source>
        <translation>Calvyx 以 %1 再次启动，它已经是当前连接。</translation>
    </message>
    <message numerus="yes">
        <source>Copying to %1 cancelled; %n file(s) copied</source>
        <translation>
            <numerusform>已取消复制到 %1；已复制 %n 个文件</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 hung up and stays closed: a pseudo-terminal is not opened again by itself, its number may belong to another program now. Choose the connection again to reopen it.</source>
        <translation>%1 已挂断并保持关闭：伪终端不会自动重新打开，它的编号现在可能属于另一个程序。请重新选择该连接以再次打开它。</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Transfers</source>
        <translation>传输(&amp;T)</translation>
    </message>
    <message>
        <source>Show the transfers of this and earlier sessions</source>
        <translation>显示本次及以前会话的传输</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>日志(&amp;L)</translation>
    </message>
    <message>
        <source>Show what happened to the transfers and the link</source>
        <translation>显示传输和连接的经过</translation>
    </message>
    <message>
        <source>Transfers</source>
        <translation>传输</translation>
    </message>
    <message>
        <source>The transfer history cannot be kept in %1: %2</source>
        <translation>无法在 %1 中保存传输记录：%2</translation>
    </message>
    <message>
        <source>&amp;Connection</source>
        <translation>连接(&amp;C)</translation>
    </message>
    <message>
        <source>Connect &amp;using:</source>
        <translation>连接方式(&amp;U)：</translation>
    </message>
    <message>
        <source>A transfer is in progress: the class view opens once it is over</source>
        <translation>正在传输：传输结束后才能打开班级视图</translation>
    </message>
    <message>
        <source>Class view: the calculators are served in the Class window</source>
        <translation>班级视图：在“班级”窗口中为各计算器服务</translation>
    </message>
    <message>
        <source>&amp;Class</source>
        <translation>班级(&amp;C)</translation>
    </message>
    <message>
        <source>Serve every calculator of a class at once, each with its own inbox</source>
        <translation>同时为一个班级的所有计算器服务，每台都有自己的收件夹</translation>
    </message>
    <message>
        <source>Class view: close the Class window to use one calculator</source>
        <translation>班级视图：关闭“班级”窗口后才能使用单台计算器</translation>
    </message>
    <message>
        <source>Calvyx — QV T20, T20+, T20s, T30s</source>
        <translation>Calvyx — QV T20, T20+, T20s, T30s</translation>
    </message>
    <message>
        <source>&amp;Open folder</source>
        <translation>打开文件夹(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>新建文件夹(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Copy path</source>
        <translation>复制路径(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Show in file manager</source>
        <translation>在文件管理器中显示(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Move the folder or file to the trash</source>
        <translation>将文件夹或文件移到回收站</translation>
    </message>
    <message>
        <source>&amp;Screen Capture</source>
        <translation>屏幕截图(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Receive Calcapp (By Wire)</source>
        <translation>通过数据线接收 Calcapp(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;ROM</source>
        <translation>ROM(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Download Calculator ROM...</source>
        <translation>向计算器下载 ROM(&amp;D)...</translation>
    </message>
    <message>
        <source>&amp;Contents and Index</source>
        <translation>目录和索引(&amp;C)</translation>
    </message>
    <message>
        <source>Communications &amp;Topics</source>
        <translation>通信主题(&amp;T)</translation>
    </message>
    <message>
        <source>Trouble &amp;Shooting</source>
        <translation>故障排除(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Why Can&apos;t Calvyx Connect?</source>
        <translation>为什么 Calvyx 无法连接？(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>Select the folder for the T20, T20+, T20s, T30s Calcapps</source>
        <translation>选择 T20, T20+, T20s, T30s 的 Calcapp 所在文件夹</translation>
    </message>
    <message>
        <source>Receive file from T20, T20+, T20s, T30s (By Wire)</source>
        <translation>从 T20, T20+, T20s, T30s 接收文件（通过数据线）</translation>
    </message>
    <message>
        <source>ROM loaded: %1</source>
        <translation>ROM 已加载：%1</translation>
    </message>
    <message>
        <source>Not switched to %1: waiting for the calculator</source>
        <translation>未切换到 %1：正在等待计算器</translation>
    </message>
    <message>
        <source>Not switched to %1: a transfer is running</source>
        <translation>未切换到 %1：正在进行传输</translation>
    </message>
    <message>
        <source>A transfer is running; try again after it</source>
        <translation>正在进行传输；请在结束后重试</translation>
    </message>
    <message>
        <source>Waiting for the calculator; try again shortly</source>
        <translation>正在等待计算器；请稍后重试</translation>
    </message>
    <message>
        <source>Waiting for the calculator ...</source>
        <translation>正在等待计算器 ...</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>快捷方式</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>驱动器</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureWindow</name>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>位图 (*.bmp)</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>PNG 图像 (*.png)</translation>
    </message>
    <message>
        <source>On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the picture to the clipboard, then reuse it in documents or editors.<byte value="xd"/>
<byte value="xd"/>
This window opens automatically when the calculator sends a screen.</source>
        <translation>在计算器上同时按 ON 和 1 即可截取屏幕。使用“复制”按钮将图片复制到剪贴板，然后即可在文档或编辑器中使用。<byte value="xd"/>
<byte value="xd"/>
计算器发送屏幕时，此窗口会自动打开。</translation>
    </message>
    <message>
        <source>Screen Capture</source>
        <translation>屏幕截图</translation>
    </message>
    <message>
        <source>Calculator Screen Image</source>
        <translation>计算器屏幕图像</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Save Picture As</source>
        <translation>图片另存为</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>缩放(&amp;A)：</translation>
    </message>
    <message>
        <source>%1x</source>
        <translation>%1x</translation>
    </message>
    <message>
        <source>Size of the copied and saved picture</source>
        <translation>复制和保存的图片大小</translation>
    </message>
    <message>
        <source>Copied to the clipboard (%1 x %2 pixels)</source>
        <translation>已复制到剪贴板（%1 x %2 像素）</translation>
    </message>
    <message>
        <source>Not copied: the clipboard did not take the picture</source>
        <translation>未复制：剪贴板没有接受图片</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>已保存：%1</translation>
    </message>
    <message>
        <source>Not saved %1: %2</source>
        <translation>未保存 %1：%2</translation>
    </message>
    <message>
        <source>&amp;Border:</source>
        <translation>边框(&amp;B)：</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>关闭(&amp;L)</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Files</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>所有文件</translation>
    </message>
    <message>
        <source>Download ROM</source>
        <translation>下载 ROM</translation>
    </message>
    <message>
        <source>Download of ROM file <byte value="xd"/>
%s<byte value="xd"/>
failed.</source>
        <translation>下载 ROM 文件 <byte value="xd"/>
%s<byte value="xd"/>
失败。</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>下载错误</translation>
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
        <translation>计算器似乎未连接。<byte value="xd"/>
<byte value="xd"/>
请确认：<byte value="xd"/>
<byte value="xd"/>
   1. 计算器已开机，<byte value="xd"/>
<byte value="xd"/>
   2. 连接良好<byte value="xd"/>
        （拔下并重新插上计算器），<byte value="xd"/>
<byte value="xd"/>
   3. 电池电量充足<byte value="xd"/>
        （查看警告指示是否亮起）。</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>TransferHistory</name>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>To PC</source>
        <translation>到电脑</translation>
    </message>
    <message>
        <source>To calculator</source>
        <translation>到计算器</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>Cancelled: %1</source>
        <translation>已取消：%1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>失败：%1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>用时</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>计算器</translation>
    </message>
</context>
<context>
    <name>TransferHistoryView</name>
    <message>
        <source>&amp;Export CSV...</source>
        <translation>导出 CSV(&amp;E)...</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>导出 CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>The folder %1 does not exist any more</source>
        <translation>文件夹 %1 已不存在</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
</context>
<context>
    <name>TransferStatusDialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
</context>
<context>
    <name>TransferTexts</name>
    <message>
        <source>Receiving %1</source>
        <translation>正在接收 %1</translation>
    </message>
    <message>
        <source>Sending %1</source>
        <translation>正在发送 %1</translation>
    </message>
    <message>
        <source>Copying %1</source>
        <translation>正在复制 %1</translation>
    </message>
    <message>
        <source>Connecting ...</source>
        <translation>正在连接 ...</translation>
    </message>
    <message>
        <source>cancelled by the calculator</source>
        <translation>已被计算器取消</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 失败：%2</translation>
    </message>
    <message>
        <source>Not sent: %1</source>
        <translation>未发送：%1</translation>
    </message>
    <message>
        <source>Receive by wire failed: %1</source>
        <translation>通过数据线接收失败：%1</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>the calculator cancelled</source>
        <translation>计算器已取消</translation>
    </message>
    <message>
        <source>the calculator cancelled (%1)</source>
        <translation>计算器已取消（%1）</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>连接已断开</translation>
    </message>
    <message>
        <source>too many errors on the line</source>
        <translation>线路错误过多</translation>
    </message>
    <message>
        <source>no answer for %1</source>
        <translation>%1 内无应答</translation>
    </message>
    <message>
        <source>cannot store the file: %1</source>
        <translation>无法保存文件：%1</translation>
    </message>
    <message>
        <source>not enough disk space (%1)</source>
        <translation>磁盘空间不足（%1）</translation>
    </message>
    <message>
        <source>invalid file name</source>
        <translation>文件名无效</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>无法读取文件</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>已拒绝</translation>
    </message>
    <message>
        <source>no start byte</source>
        <translation>无起始字节</translation>
    </message>
    <message>
        <source>no valid block from the calculator</source>
        <translation>未收到计算器的有效数据块</translation>
    </message>
    <message>
        <source>sent, the end not confirmed</source>
        <translation>已发送，结束未确认</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <source>Sent; the calculator did not confirm the end of the file</source>
        <translation>已发送；计算器未确认文件结束</translation>
    </message>
    <message>
        <source>Opening port: %1</source>
        <translation>正在打开端口：%1</translation>
    </message>
    <message>
        <source>Opening Comm %1</source>
        <translation>正在打开通信 %1</translation>
    </message>
    <message>
        <source>Device connected on %1</source>
        <translation>设备已连接到 %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1: done in %2 s</source>
        <translation>%1：完成，用时 %2 秒</translation>
    </message>
    <message>
        <source>Link opened on %1</source>
        <translation>已在 %1 上打开连接</translation>
    </message>
    <message>
        <source>Link lost on %1; waiting for it to come back</source>
        <translation>%1 上的连接已断开；正在等待其恢复</translation>
    </message>
    <message>
        <source>%1 was unplugged and plugged in again; reopening it</source>
        <translation>%1 已拔出并重新插入；正在重新打开</translation>
    </message>
    <message>
        <source>Link back on %1</source>
        <translation>%1 上的连接已恢复</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>无法打开 %1：%2</translation>
    </message>
    <message>
        <source>Link closed on %1</source>
        <translation>已关闭 %1 上的连接</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>T20, T20+, T20s, T30s is not ready</source>
        <translation>T20, T20+, T20s, T30s 尚未就绪</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/秒</translation>
    </message>
    <message>
        <source>%1: done, %2 in %3 s</source>
        <translation>%1：完成，%2，用时 %3 秒</translation>
    </message>
    <message>
        <source>Receiving by wire</source>
        <translation>正在通过数据线接收</translation>
    </message>
    <message>
        <source>the calculator did not take the file</source>
        <translation>计算器未接收该文件</translation>
    </message>
    <message>
        <source>Now send the Calcapp from the calculator&apos;s send menu</source>
        <translation>现在请从计算器的发送菜单发送该 Calcapp</translation>
    </message>
</context>
</TS>
