<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>TNEFReaderConst</name>
    <message>
        <source>Invalid file format</source>
        <comment>InvalidFileFormat</comment>
        <translation>文件格式无效</translation>
    </message>
    <message>
        <source>Object larger than file size or object header corrupted</source>
        <comment>ObjectLargerThanFile</comment>
        <translation>对象大于文件大小，或对象头已损坏</translation>
    </message>
    <message>
        <source>List index out of bounds (%d)</source>
        <comment>ListIndexError</comment>
        <translation>列表索引越界 (%d)</translation>
    </message>
    <message>
        <source>Range check error</source>
        <comment>RangeCheckError</comment>
        <translation>范围检查错误</translation>
    </message>
    <message>
        <source>Stream read error</source>
        <comment>StreamReadError</comment>
        <translation>流读取错误</translation>
    </message>
    <message>
        <source>Compressed RTF type mismatch: read %d, expected %d</source>
        <comment>RtfTypeMismatch</comment>
        <translation>压缩 RTF 类型不匹配：读取到 %d，应为 %d</translation>
    </message>
    <message>
        <source>Unknown compression type (magic number %d)</source>
        <comment>RtfUnknownCompression</comment>
        <translation>未知的压缩类型（幻数 %d）</translation>
    </message>
    <message>
        <source>Compressed RTF data is corrupt</source>
        <comment>RtfCorrupt</comment>
        <translation>压缩的 RTF 数据已损坏</translation>
    </message>
    <message>
        <source>Compressed RTF declares %d bytes, more than its data can hold</source>
        <comment>RtfTooLarge</comment>
        <translation>压缩的 RTF 声明了 %d 字节，超出了其数据所能容纳的大小</translation>
    </message>
    <message>
        <source>Unable to load the Mapi32.dll. The message text won&apos;t be avaiable.<byte value="xd"/>
<byte value="xd"/>
Error: </source>
        <comment>MapiLoadFailed</comment>
        <translation>无法加载 Mapi32.dll，邮件正文将不可用。<byte value="xd"/>
<byte value="xd"/>
错误：</translation>
    </message>
    <message>
        <source>Unable to load the message text.<byte value="xd"/>
<byte value="xd"/>
Error: </source>
        <comment>MapiMessageTextFailed</comment>
        <translation>无法加载邮件正文。<byte value="xd"/>
<byte value="xd"/>
错误：</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;. %s</source>
        <comment>FileOpenError</comment>
        <translation>无法打开文件“%s”。%s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;. %s</source>
        <comment>FileCreateError</comment>
        <translation>无法创建文件“%s”。%s</translation>
    </message>
    <message>
        <source>Error writing file &quot;%s&quot;. %s</source>
        <comment>FileWriteError</comment>
        <translation>写入文件“%s”时出错。%s</translation>
    </message>
    <message>
        <source>Error reading file &quot;%s&quot;. %s</source>
        <comment>FileReadError</comment>
        <translation>读取文件“%s”时出错。%s</translation>
    </message>
    <message>
        <source>The file &quot;%s&quot; ended before the attachment&apos;s last byte</source>
        <comment>FileEndedEarly</comment>
        <translation>文件“%s”在附件的最后一个字节之前就已结束</translation>
    </message>
    <message>
        <source>Cannot create a temporary folder. %s</source>
        <comment>TempFolderError</comment>
        <translation>无法创建临时文件夹。%s</translation>
    </message>
    <message>
        <source>Error reading file %s . Probably the file was corrupted during the transmition or it is not a valid TNEF file.<byte value="xd"/>
<byte value="xd"/>
Error: %s</source>
        <comment>ErrorReadingFile</comment>
        <translation>读取文件 %s 时出错。该文件可能在传输过程中已损坏，或者不是有效的 TNEF 文件。<byte value="xd"/>
<byte value="xd"/>
错误：%s</translation>
    </message>
    <message>
        <source>1 file saved</source>
        <comment>OneFileSaved</comment>
        <translation>已保存 1 个文件</translation>
    </message>
    <message>
        <source>%d files saved</source>
        <comment>FilesSaved</comment>
        <translation>已保存 %d 个文件</translation>
    </message>
    <message>
        <source>Message text.rtf</source>
        <comment>MessageTextRtf</comment>
        <translation>邮件正文.rtf</translation>
    </message>
    <message>
        <source>Message text.htm</source>
        <comment>MessageTextHtm</comment>
        <translation>邮件正文.htm</translation>
    </message>
    <message>
        <source>Message text.txt</source>
        <comment>MessageTextTxt</comment>
        <translation>邮件正文.txt</translation>
    </message>
    <message>
        <source>attachment-%d</source>
        <comment>AttachmentFallbackName</comment>
        <translation>附件-%d</translation>
    </message>
    <message>
        <source>Usage: velquin-tnef COMMAND [OPTIONS] FILE
Reads a TNEF file (winmail.dat), or a mail (.eml) or mailbox (mbox) that carries one,
and shows or extracts what it carries.

Commands:
  show FILE [--json]             subject, sender, date sent, body and attachment count
  list FILE [--json]             one line per attachment: size, a tab, the name
  body FILE [--html|--text]      the message body, byte for byte, on standard output;
                                 --html: as the viewer shows it; --text: plain text
  extract FILE [DIR] [--overwrite]
                                 save the body and every attachment into DIR
                                 (default: the current folder); existing files are
                                 kept unless --overwrite is given
  list-mail FILE [--json]        one line per winmail.dat of a mail or mailbox:
                                 its number, subject, sender and date
  ics FILE                       the meeting, appointment or task as iCalendar
                                 on standard output

Options:
  --attachment N[/M...]
               work on the embedded message of attachment N (as list numbers
               them, from 1); N/M: attachment M inside that one, and so on
  --part N     work on winmail.dat number N of a mail or mailbox (as list-mail
               numbers them); needed when it holds more than one
  --help       show this text and exit
  --version    show the version and exit
</source>
        <comment>CliUsage</comment>
        <translation>用法：velquin-tnef 命令 [选项] 文件
读取 TNEF 文件（winmail.dat），或携带它的邮件（.eml）或邮箱（mbox），
显示或提取其中的内容。

命令：
  show 文件 [--json]             主题、发件人、发送日期、正文和附件数量
  list 文件 [--json]             每个附件一行：大小、一个制表符、文件名
  body 文件 [--html|--text]      将邮件正文原样输出到标准输出；
                                 --html：按查看器显示的样子输出；--text：输出纯文本
  extract 文件 [目录] [--overwrite]
                                 将正文和所有附件保存到目录中
                                 （默认为当前目录）；除非指定 --overwrite，
                                 否则保留已有的文件
  list-mail 文件 [--json]        邮件或邮箱中每个 winmail.dat 一行：
                                 其编号、主题、发件人和日期
  ics 文件                       将会议、约会或任务以 iCalendar 格式输出到标准输出

选项：
  --attachment N[/M...]
               处理附件 N（按 list 的编号，从 1 开始）中的嵌入邮件；
               N/M：其中的附件 M，依此类推
  --part N     处理邮件或邮箱中编号为 N 的 winmail.dat（按 list-mail 的编号）；
               其中含有多个时必须指定
  --help       显示此帮助并退出
  --version    显示版本信息并退出
</translation>
    </message>
    <message>
        <source>Attachment %d is not an embedded message</source>
        <comment>CliNotEmbeddedMessage</comment>
        <translation>附件 %d 不是嵌入的邮件</translation>
    </message>
    <message>
        <source>Unknown command or option &quot;%s&quot;</source>
        <comment>CliUnknownCommand</comment>
        <translation>未知的命令或选项“%s”</translation>
    </message>
    <message>
        <source>Kept the existing file &quot;%s&quot; (use --overwrite to replace it)</source>
        <comment>CliKeptExisting</comment>
        <translation>已保留现有文件“%s”（使用 --overwrite 可替换）</translation>
    </message>
    <message>
        <source>Stopped after %d of %d files: %s</source>
        <comment>CliWriteFailed</comment>
        <translation>已保存 %d 个文件（共 %d 个）后停止：%s</translation>
    </message>
    <message>
        <source>Could not write the output (is the disk full or the pipe closed?)</source>
        <comment>CliOutputFailed</comment>
        <translation>无法写入输出（磁盘已满或管道已关闭？）</translation>
    </message>
    <message>
        <source>Failed to get data for &apos;%s&apos;</source>
        <comment>RegGetDataFailed</comment>
        <translation>无法获取“%s”的数据</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%s&apos;</source>
        <comment>RegInvalidDataType</comment>
        <translation>“%s”的数据类型无效</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%s&apos;</source>
        <comment>RegSetDataFailed</comment>
        <translation>无法设置“%s”的数据</translation>
    </message>
    <message>
        <source>The settings file %s could not be read, so the settings start afresh. The old file was kept as %s.</source>
        <comment>RegStoreReplaced</comment>
        <translation>无法读取设置文件 %s，设置已重新开始。旧文件已保留为 %s。</translation>
    </message>
    <message>
        <source>The settings cannot be saved in %s. This session goes on with the default settings.</source>
        <comment>SettingsNotSaved</comment>
        <translation>无法将设置保存到 %s。本次会话将使用默认设置继续。</translation>
    </message>
    <message>
        <source>Property not found</source>
        <comment>ConfigPropertyNotFound</comment>
        <translation>找不到属性</translation>
    </message>
    <message>
        <source>Unsupported property type</source>
        <comment>ConfigUnsupportedType</comment>
        <translation>不支持的属性类型</translation>
    </message>
    <message>
        <source>&apos;%s&apos; is not a valid integer value</source>
        <comment>InvalidIntegerValue</comment>
        <translation>“%s”不是有效的整数值</translation>
    </message>
    <message>
        <source>TNEF File Attachment</source>
        <comment>TnefFileAttachment</comment>
        <translation>TNEF 文件附件</translation>
    </message>
    <message>
        <source>Unexpected error associating dat files with this program. Please check if you have rights to change the Windows Registry</source>
        <comment>DatAssociationFailed</comment>
        <translation>将 .dat 文件与此程序关联时发生意外错误。请检查您是否有权修改 Windows 注册表</translation>
    </message>
    <message>
        <source>Velquin Reader</source>
        <comment>AppTitle</comment>
        <translation>Velquin Reader</translation>
    </message>
    <message>
        <source>Velquin Reader - the winmail.dat viewer by Velquin</source>
        <comment>MainWindowStartCaption</comment>
        <translation>Velquin Reader - Velquin 出品的 winmail.dat 查看器</translation>
    </message>
    <message>
        <source>(message text)</source>
        <comment>MessageTextRow</comment>
        <translation>（邮件正文）</translation>
    </message>
    <message>
        <source>Filename</source>
        <comment>ColumnFilename</comment>
        <translation>文件名</translation>
    </message>
    <message>
        <source>Type</source>
        <comment>ColumnType</comment>
        <translation>类型</translation>
    </message>
    <message>
        <source>Size</source>
        <comment>ColumnSize</comment>
        <translation>大小</translation>
    </message>
    <message>
        <source>Winmail.dat (*.dat *.tnef)</source>
        <comment>OpenFilterWinmail</comment>
        <translation>Winmail.dat (*.dat *.tnef)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <comment>OpenFilterAllFiles</comment>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>The mail library returned more than %d bytes of message text</source>
        <comment>MapiTooMuchText</comment>
        <translation>邮件库返回的邮件正文超过了 %d 字节</translation>
    </message>
    <message>
        <source>No mail library is set up</source>
        <comment>MapiLibraryNotSet</comment>
        <translation>未设置邮件库</translation>
    </message>
    <message>
        <source>The mail library &quot;%s&quot; is not named by its full path</source>
        <comment>MapiLibraryNotFullPath</comment>
        <translation>邮件库“%s”未使用完整路径指定</translation>
    </message>
    <message>
        <source>The mail library &quot;%s&quot; belongs to another user</source>
        <comment>MapiLibraryForeignOwner</comment>
        <translation>邮件库“%s”属于其他用户</translation>
    </message>
    <message>
        <source>The mail library &quot;%s&quot; or its folder can be changed by other users</source>
        <comment>MapiLibraryWritableByOthers</comment>
        <translation>邮件库“%s”或其所在文件夹可被其他用户修改</translation>
    </message>
    <message>
        <source>English</source>
        <comment>LanguageEnglish</comment>
        <translation>英语</translation>
    </message>
    <message>
        <source>French</source>
        <comment>LanguageFrench</comment>
        <translation>法语</translation>
    </message>
    <message>
        <source>Chinese</source>
        <comment>LanguageChinese</comment>
        <translation>简体中文</translation>
    </message>
    <message>
        <source>The file &quot;%s&quot; already exists on the selected directory. Do you want to overwrite it?</source>
        <comment>OverwriteQuestion</comment>
        <translation>所选目录中已存在文件“%s”。是否覆盖？</translation>
    </message>
    <message>
        <source>Yes</source>
        <comment>AnswerYes</comment>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <comment>AnswerNo</comment>
        <translation>否</translation>
    </message>
    <message>
        <source>Yes to all</source>
        <comment>AnswerYesToAll</comment>
        <translation>全部是</translation>
    </message>
    <message>
        <source>No to all</source>
        <comment>AnswerNoToAll</comment>
        <translation>全部否</translation>
    </message>
    <message>
        <source>Saving attachments</source>
        <comment>SaveAllProgressTitle</comment>
        <translation>正在保存附件</translation>
    </message>
    <message>
        <source>Saving &quot;%s&quot;...</source>
        <comment>SaveAllProgressFile</comment>
        <translation>正在保存“%s”...</translation>
    </message>
    <message>
        <source>Stop after this file</source>
        <comment>SaveAllProgressCancel</comment>
        <translation>保存完此文件后停止</translation>
    </message>
    <message>
        <source>Shared libraries (*.so *.so.* *.dll)</source>
        <comment>MailLibraryFilter</comment>
        <translation>共享库 (*.so *.so.* *.dll)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <comment>ActionQuit</comment>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>A&amp;bout Velquin Reader</source>
        <comment>ActionAbout</comment>
        <translation>关于 Velquin Reader(&amp;B)</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is a program, a script or a document with macros: opening it can run code on this computer with your rights.

Open it only if you trust the sender and expected this file.</source>
        <comment>OpenWarningText</comment>
        <translation>“%s”是程序、脚本或带宏的文档：打开它可能会以您的权限在这台计算机上运行代码。

只有在您信任发件人并且确实在等这个文件时才打开它。</translation>
    </message>
    <message>
        <source>The name &quot;%s&quot; hides its real type behind direction marks or a run of spaces; it really ends in &quot;%s&quot;.</source>
        <comment>OpenWarningSpoofed</comment>
        <translation>名称“%s”用方向控制符或一串空格隐藏了它的真实类型；它实际以“%s”结尾。</translation>
    </message>
    <message>
        <source>&amp;Open anyway</source>
        <comment>AnswerOpenAnyway</comment>
        <translation>仍然打开(&amp;O)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <comment>AnswerCancel</comment>
        <translation>取消</translation>
    </message>
    <message>
        <source>The file &quot;%s&quot; does not exist</source>
        <comment>FileDoesNotExist</comment>
        <translation>文件“%s”不存在</translation>
    </message>
    <message>
        <source>This picture could not be shown</source>
        <comment>PictureNotShown</comment>
        <translation>无法显示此图片</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <comment>ActionZoomIn</comment>
        <translation>放大(&amp;I)</translation>
    </message>
    <message>
        <source>Zoom &amp;out</source>
        <comment>ActionZoomOut</comment>
        <translation>缩小(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Actual size</source>
        <comment>ActionZoomReset</comment>
        <translation>实际大小(&amp;A)</translation>
    </message>
    <message>
        <source>This file is damaged; what could be read is shown</source>
        <comment>DamagedFileNotice</comment>
        <translation>此文件已损坏；显示的是能够读取的内容</translation>
    </message>
    <message>
        <source>%s B</source>
        <comment>SizeBytes</comment>
        <translation>%s B</translation>
    </message>
    <message>
        <source>%s KB</source>
        <comment>SizeKilobytes</comment>
        <translation>%s KB</translation>
    </message>
    <message>
        <source>%s MB</source>
        <comment>SizeMegabytes</comment>
        <translation>%s MB</translation>
    </message>
    <message>
        <source>%s GB</source>
        <comment>SizeGigabytes</comment>
        <translation>%s GB</translation>
    </message>
    <message>
        <source>Welcome. Choose how .dat files open and the language of the program; Options... changes this later.</source>
        <comment>FirstRunNote</comment>
        <translation>欢迎使用。请选择 .dat 文件的打开方式和程序的语言；以后可通过“选项...”更改。</translation>
    </message>
    <message>
        <source>Usage: velquin-reader [FILE]
Shows a TNEF file (winmail.dat): its message and the attachments packed inside.

  FILE         the file to open; words given apart are joined with spaces
  --help       show this text and exit
  --version    show the version and exit
</source>
        <comment>ViewerUsage</comment>
        <translation>用法：velquin-reader [文件]
显示 TNEF 文件（winmail.dat）：其中的邮件和附件。

  文件         要打开的文件；分开给出的词会用空格连接
  --help       显示此说明并退出
  --version    显示版本并退出
</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Velquin Reader %s&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Shows the message and the attachments of TNEF files (winmail.dat).&lt;/p&gt;&lt;p&gt;Free software under the GNU General Public License, version 3 or later.&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%s&quot;&gt;%s&lt;/a&gt;&lt;/p&gt;</source>
        <comment>AboutText</comment>
        <translation>&lt;p&gt;&lt;b&gt;Velquin Reader %s&lt;/b&gt;&lt;/p&gt;&lt;p&gt;显示 TNEF 文件（winmail.dat）中的邮件和附件。&lt;/p&gt;&lt;p&gt;自由软件，以 GNU 通用公共许可证第 3 版或更高版本授权。&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%s&quot;&gt;%s&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Attachments</source>
        <comment>AccessibleList</comment>
        <translation>附件</translation>
    </message>
    <message>
        <source>The message text and the files packed in this message</source>
        <comment>AccessibleListDescription</comment>
        <translation>邮件正文和此邮件中打包的文件</translation>
    </message>
    <message>
        <source>Message text</source>
        <comment>AccessibleMessage</comment>
        <translation>邮件正文</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <comment>AccessiblePreview</comment>
        <translation>图片预览</translation>
    </message>
    <message>
        <source>Picture %s</source>
        <comment>AccessiblePreviewOf</comment>
        <translation>图片 %s</translation>
    </message>
    <message>
        <source>Message summary</source>
        <comment>AccessibleWebPane</comment>
        <translation>邮件摘要</translation>
    </message>
    <message>
        <source>The mail carries no winmail.dat</source>
        <comment>MailHasNoTnef</comment>
        <translation>该邮件不含 winmail.dat</translation>
    </message>
    <message>
        <source>There is no part %d: the file holds %d winmail.dat parts (see list-mail)</source>
        <comment>CliNoSuchPart</comment>
        <translation>没有第 %d 部分：该文件含有 %d 个 winmail.dat 部分（参见 list-mail）</translation>
    </message>
    <message>
        <source>The file holds %d winmail.dat parts: choose one with --part N (see list-mail)</source>
        <comment>CliChoosePart</comment>
        <translation>该文件含有 %d 个 winmail.dat 部分：请用 --part N 选择一个（参见 list-mail）</translation>
    </message>
    <message>
        <source>Mail files (.eml, mbox) and iCalendar files need the mail module %s, which could not be loaded: %s</source>
        <comment>MailModuleMissing</comment>
        <translation>邮件文件（.eml、mbox）和 iCalendar 文件需要邮件模块 %s，但无法加载它：%s</translation>
    </message>
    <message>
        <source>Printing and PDF export need the print module %s, which could not be loaded: %s</source>
        <comment>PrintModuleMissing</comment>
        <translation>打印和导出 PDF 需要打印模块 %s，但无法加载它：%s</translation>
    </message>
    <message>
        <source>Mail files (*.eml *.mbox)</source>
        <comment>OpenFilterMail</comment>
        <translation>邮件文件 (*.eml *.mbox)</translation>
    </message>
    <message>
        <source>Choose a mail</source>
        <comment>MailChooserTitle</comment>
        <translation>选择邮件</translation>
    </message>
    <message>
        <source>This file holds several mails with a winmail.dat. Choose the one to open:</source>
        <comment>MailChooserPrompt</comment>
        <translation>此文件含有多封带 winmail.dat 的邮件。请选择要打开的一封：</translation>
    </message>
    <message>
        <source>Subject</source>
        <comment>MailColumnSubject</comment>
        <translation>主题</translation>
    </message>
    <message>
        <source>From</source>
        <comment>MailColumnFrom</comment>
        <translation>发件人</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>MailColumnDate</comment>
        <translation>日期</translation>
    </message>
    <message>
        <source>This message is too long to be shown whole here; save its message text to read the rest.</source>
        <comment>BodyCutShort</comment>
        <translation>此邮件太长，无法在此完整显示；请保存其邮件正文以阅读其余部分。</translation>
    </message>
    <message>
        <source>Embedded message</source>
        <comment>EmbeddedMessageType</comment>
        <translation>嵌入的邮件</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <comment>ActionBack</comment>
        <translation>返回(&amp;B)</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>HeaderDate</comment>
        <translation>日期</translation>
    </message>
    <message>
        <source>To</source>
        <comment>HeaderTo</comment>
        <translation>收件人</translation>
    </message>
    <message>
        <source>Cc</source>
        <comment>HeaderCc</comment>
        <translation>抄送</translation>
    </message>
    <message>
        <source>Add to calendar...</source>
        <comment>ActionAddToCalendar</comment>
        <translation>添加到日历...</translation>
    </message>
    <message>
        <source>iCalendar (*.ics)</source>
        <comment>CalendarFilter</comment>
        <translation>iCalendar (*.ics)</translation>
    </message>
    <message>
        <source>What</source>
        <comment>CalendarWhat</comment>
        <translation>主题</translation>
    </message>
    <message>
        <source>When</source>
        <comment>CalendarWhen</comment>
        <translation>时间</translation>
    </message>
    <message>
        <source>Where</source>
        <comment>CalendarWhere</comment>
        <translation>地点</translation>
    </message>
    <message>
        <source>Organizer</source>
        <comment>CalendarOrganizer</comment>
        <translation>组织者</translation>
    </message>
    <message>
        <source>Attendees</source>
        <comment>CalendarAttendees</comment>
        <translation>参与者</translation>
    </message>
    <message>
        <source>Recurs</source>
        <comment>CalendarRecurs</comment>
        <translation>重复</translation>
    </message>
    <message>
        <source>Answer</source>
        <comment>CalendarAnswer</comment>
        <translation>答复</translation>
    </message>
    <message>
        <source>all day</source>
        <comment>CalendarAllDay</comment>
        <translation>全天</translation>
    </message>
    <message>
        <source>required</source>
        <comment>CalendarRequired</comment>
        <translation>必需</translation>
    </message>
    <message>
        <source>optional</source>
        <comment>CalendarOptional</comment>
        <translation>可选</translation>
    </message>
    <message>
        <source>resource</source>
        <comment>CalendarResource</comment>
        <translation>资源</translation>
    </message>
    <message>
        <source>Accepted</source>
        <comment>CalendarAccepted</comment>
        <translation>已接受</translation>
    </message>
    <message>
        <source>Tentative</source>
        <comment>CalendarTentative</comment>
        <translation>暂定</translation>
    </message>
    <message>
        <source>Declined</source>
        <comment>CalendarDeclined</comment>
        <translation>已拒绝</translation>
    </message>
    <message>
        <source>Canceled</source>
        <comment>CalendarCanceled</comment>
        <translation>已取消</translation>
    </message>
    <message>
        <source>Due</source>
        <comment>TaskDue</comment>
        <translation>截止日期</translation>
    </message>
    <message>
        <source>Status</source>
        <comment>TaskStatus</comment>
        <translation>状态</translation>
    </message>
    <message>
        <source>Complete</source>
        <comment>TaskComplete</comment>
        <translation>完成</translation>
    </message>
    <message>
        <source>Not started</source>
        <comment>TaskNotStarted</comment>
        <translation>未开始</translation>
    </message>
    <message>
        <source>In progress</source>
        <comment>TaskInProgress</comment>
        <translation>进行中</translation>
    </message>
    <message>
        <source>Completed</source>
        <comment>TaskCompleted</comment>
        <translation>已完成</translation>
    </message>
    <message>
        <source>Waiting on someone else</source>
        <comment>TaskWaiting</comment>
        <translation>等待其他人</translation>
    </message>
    <message>
        <source>Deferred</source>
        <comment>TaskDeferred</comment>
        <translation>已推迟</translation>
    </message>
    <message>
        <source>The file holds no calendar item (meeting, appointment or task)</source>
        <comment>CliNoCalendarItem</comment>
        <translation>该文件不包含日历项（会议、约会或任务）</translation>
    </message>
    <message>
        <source>Prin&amp;t...</source>
        <comment>ActionPrint</comment>
        <translation>打印(&amp;T)...</translation>
    </message>
    <message>
        <source>E&amp;xport as PDF...</source>
        <comment>ActionExportPdf</comment>
        <translation>导出为 PDF(&amp;X)...</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)</source>
        <comment>PdfFilter</comment>
        <translation>PDF 文档 (*.pdf)</translation>
    </message>
    <message>
        <source>Cannot write the PDF file &quot;%s&quot;</source>
        <comment>PdfWriteFailed</comment>
        <translation>无法写入 PDF 文件“%s”</translation>
    </message>
    <message>
        <source>message</source>
        <comment>PdfDefaultName</comment>
        <translation>邮件</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <comment>ActionFind</comment>
        <translation>查找(&amp;F)...</translation>
    </message>
    <message>
        <source>Fi&amp;nd:</source>
        <comment>FindLabel</comment>
        <translation>查找(&amp;N):</translation>
    </message>
    <message>
        <source>Next match</source>
        <comment>FindNext</comment>
        <translation>下一个匹配</translation>
    </message>
    <message>
        <source>Previous match</source>
        <comment>FindPrevious</comment>
        <translation>上一个匹配</translation>
    </message>
    <message>
        <source>Close the find bar</source>
        <comment>FindClose</comment>
        <translation>关闭查找栏</translation>
    </message>
    <message>
        <source>No match</source>
        <comment>FindNoMatch</comment>
        <translation>没有匹配</translation>
    </message>
    <message>
        <source>1 match</source>
        <comment>FindOneMatch</comment>
        <translation>1 个匹配</translation>
    </message>
    <message>
        <source>%d matches</source>
        <comment>FindMatches</comment>
        <translation>%d 个匹配</translation>
    </message>
    <message>
        <source>%d or more matches</source>
        <comment>FindManyMatches</comment>
        <translation>%d 个或更多匹配</translation>
    </message>
    <message>
        <source>Text to find</source>
        <comment>AccessibleFindField</comment>
        <translation>要查找的文本</translation>
    </message>
    <message>
        <source>Every match in the message text is highlighted; Return goes to the next one, Shift+Return to the previous one</source>
        <comment>AccessibleFindFieldDescription</comment>
        <translation>邮件正文中的每个匹配都会高亮显示；回车转到下一个，Shift+回车转到上一个</translation>
    </message>
    <message>
        <source>Matches found</source>
        <comment>AccessibleFindStatus</comment>
        <translation>找到的匹配</translation>
    </message>
    <message>
        <source>Print the message shown, or export it as PDF</source>
        <comment>AccessiblePrintDescription</comment>
        <translation>打印所显示的邮件，或将其导出为 PDF</translation>
    </message>
    <message>
        <source>The subject of the message shown</source>
        <comment>AccessibleSubjectDescription</comment>
        <translation>所显示邮件的主题</translation>
    </message>
    <message>
        <source>The sender of the message shown</source>
        <comment>AccessibleFromDescription</comment>
        <translation>所显示邮件的发件人</translation>
    </message>
    <message>
        <source>The body of the message shown; Ctrl+F finds text in it</source>
        <comment>AccessibleMessageDescription</comment>
        <translation>所显示邮件的正文；Ctrl+F 在其中查找文本</translation>
    </message>
    <message>
        <source>The picture attachment selected in the list</source>
        <comment>AccessiblePreviewDescription</comment>
        <translation>列表中选中的图片附件</translation>
    </message>
    <message>
        <source>The start of the message text</source>
        <comment>AccessibleWebPaneDescription</comment>
        <translation>邮件正文的开头</translation>
    </message>
    <message>
        <source>Show a winmail.dat file, or a mail or mailbox that carries one</source>
        <comment>DescOpenWinmail</comment>
        <translation>显示 winmail.dat 文件，或包含它的邮件或邮箱</translation>
    </message>
    <message>
        <source>Open the selected attachment with its program</source>
        <comment>DescOpen</comment>
        <translation>用关联的程序打开选中的附件</translation>
    </message>
    <message>
        <source>Save the selected attachment or the message text</source>
        <comment>DescSave</comment>
        <translation>保存选中的附件或邮件正文</translation>
    </message>
    <message>
        <source>Save the message text and every attachment into a folder</source>
        <comment>DescSaveAll</comment>
        <translation>将邮件正文和所有附件保存到一个文件夹</translation>
    </message>
    <message>
        <source>File association, language and mail library</source>
        <comment>DescOptions</comment>
        <translation>文件关联、语言和邮件库</translation>
    </message>
    <message>
        <source>The user guide; its arrow offers the About box</source>
        <comment>DescWebsite</comment>
        <translation>用户指南；其箭头提供“关于”对话框</translation>
    </message>
</context>
<context>
    <name>TfmVelquinDatReader</name>
    <message>
        <source>Click &quot;Open&quot; or double-click the file to open it on an external viewer</source>
        <translation>单击“打开”或双击文件，即可用外部查看器打开</translation>
    </message>
    <message>
        <source>S&amp;ubject</source>
        <translation>主题(&amp;U)</translation>
    </message>
    <message>
        <source>F&amp;rom</source>
        <translation>发件人(&amp;R)</translation>
    </message>
    <message>
        <source>Open &amp;winmail.dat</source>
        <translation>打开 winmail.dat(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>打开(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save as...</source>
        <translation>另存为(&amp;S)...</translation>
    </message>
    <message>
        <source>O&amp;ptions...</source>
        <translation>选项(&amp;P)...</translation>
    </message>
    <message>
        <source>&amp;Help/about/web</source>
        <translation>帮助/关于/网站(&amp;H)</translation>
    </message>
    <message>
        <source>Save &amp;all...</source>
        <translation>全部保存(&amp;A)...</translation>
    </message>
</context>
<context>
    <name>TfrmTNEFReaderOptions</name>
    <message>
        <source>Options</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Windows</source>
        <translation>Windows</translation>
    </message>
    <message>
        <source>&amp;Associate .dat files with this application</source>
        <translation>将 .dat 文件与此程序关联(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Mapi32.dll path</source>
        <translation>Mapi32.dll 路径(&amp;M)</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>A&amp;dvanced &gt;&gt;</source>
        <translation>高级(&amp;D) &gt;&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
