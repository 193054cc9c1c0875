<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>TNEFReaderConst</name>
    <message>
        <source>Invalid file format</source>
        <comment>InvalidFileFormat</comment>
        <translation>Format de fichier non valide</translation>
    </message>
    <message>
        <source>Object larger than file size or object header corrupted</source>
        <comment>ObjectLargerThanFile</comment>
        <translation>Objet plus grand que le fichier, ou en-tête d&apos;objet endommagé</translation>
    </message>
    <message>
        <source>List index out of bounds (%d)</source>
        <comment>ListIndexError</comment>
        <translation>Indice de liste hors limites (%d)</translation>
    </message>
    <message>
        <source>Range check error</source>
        <comment>RangeCheckError</comment>
        <translation>Erreur de vérification d&apos;étendue</translation>
    </message>
    <message>
        <source>Stream read error</source>
        <comment>StreamReadError</comment>
        <translation>Erreur de lecture du flux</translation>
    </message>
    <message>
        <source>Compressed RTF type mismatch: read %d, expected %d</source>
        <comment>RtfTypeMismatch</comment>
        <translation>Type de RTF compressé incorrect&#xa0;: %d lu, %d attendu</translation>
    </message>
    <message>
        <source>Unknown compression type (magic number %d)</source>
        <comment>RtfUnknownCompression</comment>
        <translation>Type de compression inconnu (nombre magique %d)</translation>
    </message>
    <message>
        <source>Compressed RTF data is corrupt</source>
        <comment>RtfCorrupt</comment>
        <translation>Les données RTF compressées sont endommagées</translation>
    </message>
    <message>
        <source>Compressed RTF declares %d bytes, more than its data can hold</source>
        <comment>RtfTooLarge</comment>
        <translation>Le RTF compressé annonce %d octets, plus que ses données ne peuvent en contenir</translation>
    </message>
    <message>
        <source>Unable to load the Mapi32.dll. The message text won&apos;t be avaiable.<byte value="xd"/>
<byte value="xd"/>
Error: </source>
        <comment>MapiLoadFailed</comment>
        <translation>Impossible de charger Mapi32.dll. Le texte du message ne sera pas disponible.<byte value="xd"/>
<byte value="xd"/>
Erreur&#xa0;: </translation>
    </message>
    <message>
        <source>Unable to load the message text.<byte value="xd"/>
<byte value="xd"/>
Error: </source>
        <comment>MapiMessageTextFailed</comment>
        <translation>Impossible de charger le texte du message.<byte value="xd"/>
<byte value="xd"/>
Erreur&#xa0;: </translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;. %s</source>
        <comment>FileOpenError</comment>
        <translation>Impossible d&apos;ouvrir le fichier «&#xa0;%s&#xa0;». %s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;. %s</source>
        <comment>FileCreateError</comment>
        <translation>Impossible de créer le fichier «&#xa0;%s&#xa0;». %s</translation>
    </message>
    <message>
        <source>Error writing file &quot;%s&quot;. %s</source>
        <comment>FileWriteError</comment>
        <translation>Erreur lors de l&apos;écriture du fichier «&#xa0;%s&#xa0;». %s</translation>
    </message>
    <message>
        <source>Error reading file &quot;%s&quot;. %s</source>
        <comment>FileReadError</comment>
        <translation>Erreur lors de la lecture du fichier «&#xa0;%s&#xa0;». %s</translation>
    </message>
    <message>
        <source>The file &quot;%s&quot; ended before the attachment&apos;s last byte</source>
        <comment>FileEndedEarly</comment>
        <translation>Le fichier «&#xa0;%s&#xa0;» se termine avant le dernier octet de la pièce jointe</translation>
    </message>
    <message>
        <source>Cannot create a temporary folder. %s</source>
        <comment>TempFolderError</comment>
        <translation>Impossible de créer un dossier temporaire. %s</translation>
    </message>
    <message>
        <source>Error reading file %s . Probably the file was corrupted during the transmition or it is not a valid TNEF file.<byte value="xd"/>
<byte value="xd"/>
Error: %s</source>
        <comment>ErrorReadingFile</comment>
        <translation>Erreur lors de la lecture du fichier %s. Le fichier a probablement été endommagé pendant la transmission, ou ce n&apos;est pas un fichier TNEF valide.<byte value="xd"/>
<byte value="xd"/>
Erreur&#xa0;: %s</translation>
    </message>
    <message>
        <source>1 file saved</source>
        <comment>OneFileSaved</comment>
        <translation>1 fichier enregistré</translation>
    </message>
    <message>
        <source>%d files saved</source>
        <comment>FilesSaved</comment>
        <translation>%d fichiers enregistrés</translation>
    </message>
    <message>
        <source>Message text.rtf</source>
        <comment>MessageTextRtf</comment>
        <translation>Texte du message.rtf</translation>
    </message>
    <message>
        <source>Message text.htm</source>
        <comment>MessageTextHtm</comment>
        <translation>Texte du message.htm</translation>
    </message>
    <message>
        <source>Message text.txt</source>
        <comment>MessageTextTxt</comment>
        <translation>Texte du message.txt</translation>
    </message>
    <message>
        <source>attachment-%d</source>
        <comment>AttachmentFallbackName</comment>
        <translation>piece-jointe-%d</translation>
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
        <translation>Utilisation&#xa0;: velquin-tnef COMMANDE [OPTIONS] FICHIER
Lit un fichier TNEF (winmail.dat), ou un courriel (.eml) ou une boîte aux lettres (mbox) qui en
contient un, et affiche ou extrait ce qu&apos;il contient.

Commandes&#xa0;:
  show FICHIER [--json]          objet, expéditeur, date d&apos;envoi, corps et nombre de pièces jointes
  list FICHIER [--json]          une ligne par pièce jointe&#xa0;: taille, une tabulation, le nom
  body FICHIER [--html|--text]   le corps du message, octet pour octet, sur la sortie standard&#xa0;;
                                 --html&#xa0;: tel que la visionneuse l&apos;affiche&#xa0;; --text&#xa0;: en texte brut
  extract FICHIER [DOSSIER] [--overwrite]
                                 enregistre le corps et chaque pièce jointe dans DOSSIER
                                 (par défaut&#xa0;: le dossier courant)&#xa0;; les fichiers existants
                                 sont conservés, sauf si --overwrite est indiqué
  list-mail FICHIER [--json]     une ligne par winmail.dat d&apos;un courriel ou d&apos;une boîte aux lettres&#xa0;:
                                 son numéro, son objet, son expéditeur et sa date
  ics FICHIER                    la réunion, le rendez-vous ou la tâche en iCalendar
                                 sur la sortie standard

Options&#xa0;:
  --attachment N[/M...]
               travaille sur le message incorporé de la pièce jointe N (numérotée
               comme list, à partir de 1)&#xa0;; N/M&#xa0;: la pièce jointe M de celui-ci, etc.
  --part N     travaille sur le winmail.dat numéro N d&apos;un courriel ou d&apos;une boîte aux lettres
               (numéroté comme list-mail)&#xa0;; nécessaire quand il en contient plusieurs
  --help       affiche ce texte et quitte
  --version    affiche la version et quitte
</translation>
    </message>
    <message>
        <source>Attachment %d is not an embedded message</source>
        <comment>CliNotEmbeddedMessage</comment>
        <translation>La pièce jointe %d n&apos;est pas un message incorporé</translation>
    </message>
    <message>
        <source>Unknown command or option &quot;%s&quot;</source>
        <comment>CliUnknownCommand</comment>
        <translation>Commande ou option inconnue «&#xa0;%s&#xa0;»</translation>
    </message>
    <message>
        <source>Kept the existing file &quot;%s&quot; (use --overwrite to replace it)</source>
        <comment>CliKeptExisting</comment>
        <translation>Fichier existant «&#xa0;%s&#xa0;» conservé (utilisez --overwrite pour le remplacer)</translation>
    </message>
    <message>
        <source>Stopped after %d of %d files: %s</source>
        <comment>CliWriteFailed</comment>
        <translation>Arrêt après %d fichiers sur %d&#xa0;: %s</translation>
    </message>
    <message>
        <source>Could not write the output (is the disk full or the pipe closed?)</source>
        <comment>CliOutputFailed</comment>
        <translation>Impossible d&apos;écrire la sortie (disque plein ou tube fermé&#xa0;?)</translation>
    </message>
    <message>
        <source>Failed to get data for &apos;%s&apos;</source>
        <comment>RegGetDataFailed</comment>
        <translation>Impossible de lire les données de «&#xa0;%s&#xa0;»</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%s&apos;</source>
        <comment>RegInvalidDataType</comment>
        <translation>Type de données non valide pour «&#xa0;%s&#xa0;»</translation>
    </message>
    <message>
        <source>Failed to set data for &apos;%s&apos;</source>
        <comment>RegSetDataFailed</comment>
        <translation>Impossible d&apos;écrire les données de «&#xa0;%s&#xa0;»</translation>
    </message>
    <message>
        <source>The settings file %s could not be read, so the settings start afresh. The old file was kept as %s.</source>
        <comment>RegStoreReplaced</comment>
        <translation>Le fichier de paramètres %s n&apos;a pas pu être lu&#xa0;: les paramètres repartent de zéro. L&apos;ancien fichier a été conservé sous le nom %s.</translation>
    </message>
    <message>
        <source>The settings cannot be saved in %s. This session goes on with the default settings.</source>
        <comment>SettingsNotSaved</comment>
        <translation>Les paramètres ne peuvent pas être enregistrés dans %s. Cette session continue avec les paramètres par défaut.</translation>
    </message>
    <message>
        <source>Property not found</source>
        <comment>ConfigPropertyNotFound</comment>
        <translation>Propriété introuvable</translation>
    </message>
    <message>
        <source>Unsupported property type</source>
        <comment>ConfigUnsupportedType</comment>
        <translation>Type de propriété non pris en charge</translation>
    </message>
    <message>
        <source>&apos;%s&apos; is not a valid integer value</source>
        <comment>InvalidIntegerValue</comment>
        <translation>«&#xa0;%s&#xa0;» n&apos;est pas un nombre entier valide</translation>
    </message>
    <message>
        <source>TNEF File Attachment</source>
        <comment>TnefFileAttachment</comment>
        <translation>Pièce jointe TNEF</translation>
    </message>
    <message>
        <source>Unexpected error associating dat files with this program. Please check if you have rights to change the Windows Registry</source>
        <comment>DatAssociationFailed</comment>
        <translation>Erreur inattendue lors de l&apos;association des fichiers .dat à ce programme. Vérifiez que vous avez le droit de modifier le Registre Windows</translation>
    </message>
    <message>
        <source>Velquin Reader</source>
        <comment>AppTitle</comment>
        <translation>Velquin Reader</translation>
    </message>
    <message>
        <source>Velquin Reader - the winmail.dat viewer by Velquin</source>
        <comment>MainWindowStartCaption</comment>
        <translation>Velquin Reader - la visionneuse de winmail.dat de Velquin</translation>
    </message>
    <message>
        <source>(message text)</source>
        <comment>MessageTextRow</comment>
        <translation>(texte du message)</translation>
    </message>
    <message>
        <source>Filename</source>
        <comment>ColumnFilename</comment>
        <translation>Nom du fichier</translation>
    </message>
    <message>
        <source>Type</source>
        <comment>ColumnType</comment>
        <translation>Type</translation>
    </message>
    <message>
        <source>Size</source>
        <comment>ColumnSize</comment>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Winmail.dat (*.dat *.tnef)</source>
        <comment>OpenFilterWinmail</comment>
        <translation>Winmail.dat (*.dat *.tnef)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <comment>OpenFilterAllFiles</comment>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>The mail library returned more than %d bytes of message text</source>
        <comment>MapiTooMuchText</comment>
        <translation>La bibliothèque de messagerie a renvoyé plus de %d octets de texte du message</translation>
    </message>
    <message>
        <source>No mail library is set up</source>
        <comment>MapiLibraryNotSet</comment>
        <translation>Aucune bibliothèque de messagerie n&apos;est configurée</translation>
    </message>
    <message>
        <source>The mail library &quot;%s&quot; is not named by its full path</source>
        <comment>MapiLibraryNotFullPath</comment>
        <translation>La bibliothèque de messagerie «&#xa0;%s&#xa0;» n&apos;est pas désignée par son chemin complet</translation>
    </message>
    <message>
        <source>The mail library &quot;%s&quot; belongs to another user</source>
        <comment>MapiLibraryForeignOwner</comment>
        <translation>La bibliothèque de messagerie «&#xa0;%s&#xa0;» appartient à un autre utilisateur</translation>
    </message>
    <message>
        <source>The mail library &quot;%s&quot; or its folder can be changed by other users</source>
        <comment>MapiLibraryWritableByOthers</comment>
        <translation>La bibliothèque de messagerie «&#xa0;%s&#xa0;» ou son dossier peut être modifié par d&apos;autres utilisateurs</translation>
    </message>
    <message>
        <source>English</source>
        <comment>LanguageEnglish</comment>
        <translation>Anglais</translation>
    </message>
    <message>
        <source>French</source>
        <comment>LanguageFrench</comment>
        <translation>Français</translation>
    </message>
    <message>
        <source>Chinese</source>
        <comment>LanguageChinese</comment>
        <translation>Chinois</translation>
    </message>
    <message>
        <source>The file &quot;%s&quot; already exists on the selected directory. Do you want to overwrite it?</source>
        <comment>OverwriteQuestion</comment>
        <translation>Le fichier «&#xa0;%s&#xa0;» existe déjà dans le dossier choisi. Voulez-vous le remplacer&#xa0;?</translation>
    </message>
    <message>
        <source>Yes</source>
        <comment>AnswerYes</comment>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <comment>AnswerNo</comment>
        <translation>Non</translation>
    </message>
    <message>
        <source>Yes to all</source>
        <comment>AnswerYesToAll</comment>
        <translation>Oui pour tous</translation>
    </message>
    <message>
        <source>No to all</source>
        <comment>AnswerNoToAll</comment>
        <translation>Non pour tous</translation>
    </message>
    <message>
        <source>Saving attachments</source>
        <comment>SaveAllProgressTitle</comment>
        <translation>Enregistrement des pièces jointes</translation>
    </message>
    <message>
        <source>Saving &quot;%s&quot;...</source>
        <comment>SaveAllProgressFile</comment>
        <translation>Enregistrement de «&#xa0;%s&#xa0;»...</translation>
    </message>
    <message>
        <source>Stop after this file</source>
        <comment>SaveAllProgressCancel</comment>
        <translation>Arrêter après ce fichier</translation>
    </message>
    <message>
        <source>Shared libraries (*.so *.so.* *.dll)</source>
        <comment>MailLibraryFilter</comment>
        <translation>Bibliothèques partagées (*.so *.so.* *.dll)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <comment>ActionQuit</comment>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>A&amp;bout Velquin Reader</source>
        <comment>ActionAbout</comment>
        <translation>À &amp;propos de Velquin Reader</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is a program, a script or a document with macros: opening it can run code on this computer with your rights.

Open it only if you trust the sender and expected this file.</source>
        <comment>OpenWarningText</comment>
        <translation>« %s » est un programme, un script ou un document à macros : l&apos;ouvrir peut exécuter du code sur cet ordinateur avec vos droits.

Ne l&apos;ouvrez que si vous faites confiance à l&apos;expéditeur et attendiez ce fichier.</translation>
    </message>
    <message>
        <source>The name &quot;%s&quot; hides its real type behind direction marks or a run of spaces; it really ends in &quot;%s&quot;.</source>
        <comment>OpenWarningSpoofed</comment>
        <translation>Le nom « %s » cache son vrai type derrière des marques de sens d&apos;écriture ou une suite d&apos;espaces ; il se termine en réalité par « %s ».</translation>
    </message>
    <message>
        <source>&amp;Open anyway</source>
        <comment>AnswerOpenAnyway</comment>
        <translation>&amp;Ouvrir quand même</translation>
    </message>
    <message>
        <source>Cancel</source>
        <comment>AnswerCancel</comment>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>The file &quot;%s&quot; does not exist</source>
        <comment>FileDoesNotExist</comment>
        <translation>Le fichier « %s » n&apos;existe pas</translation>
    </message>
    <message>
        <source>This picture could not be shown</source>
        <comment>PictureNotShown</comment>
        <translation>Cette image ne peut pas être affichée</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <comment>ActionZoomIn</comment>
        <translation>Zoom a&amp;vant</translation>
    </message>
    <message>
        <source>Zoom &amp;out</source>
        <comment>ActionZoomOut</comment>
        <translation>Zoom a&amp;rrière</translation>
    </message>
    <message>
        <source>&amp;Actual size</source>
        <comment>ActionZoomReset</comment>
        <translation>&amp;Taille réelle</translation>
    </message>
    <message>
        <source>This file is damaged; what could be read is shown</source>
        <comment>DamagedFileNotice</comment>
        <translation>Ce fichier est endommagé ; ce qui a pu être lu est affiché</translation>
    </message>
    <message>
        <source>%s B</source>
        <comment>SizeBytes</comment>
        <translation>%s o</translation>
    </message>
    <message>
        <source>%s KB</source>
        <comment>SizeKilobytes</comment>
        <translation>%s Ko</translation>
    </message>
    <message>
        <source>%s MB</source>
        <comment>SizeMegabytes</comment>
        <translation>%s Mo</translation>
    </message>
    <message>
        <source>%s GB</source>
        <comment>SizeGigabytes</comment>
        <translation>%s Go</translation>
    </message>
    <message>
        <source>Welcome. Choose how .dat files open and the language of the program; Options... changes this later.</source>
        <comment>FirstRunNote</comment>
        <translation>Bienvenue. Choisissez comment s&apos;ouvrent les fichiers .dat et la langue du programme ; Options... permet de changer cela plus tard.</translation>
    </message>
    <message>
        <source>Usage: velquin-reader [FILE]
Shows a TNEF file (winmail.dat): its message and the attachments packed inside.

  FILE         the file to open; words given apart are joined with spaces
  --help       show this text and exit
  --version    show the version and exit
</source>
        <comment>ViewerUsage</comment>
        <translation>Utilisation : velquin-reader [FICHIER]
Affiche un fichier TNEF (winmail.dat) : son message et les pièces jointes qu&apos;il contient.

  FICHIER      le fichier à ouvrir ; des mots donnés séparément sont joints par des espaces
  --help       affiche ce texte et quitte
  --version    affiche la version et quitte
</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Velquin Reader %s&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Shows the message and the attachments of TNEF files (winmail.dat).&lt;/p&gt;&lt;p&gt;Free software under the GNU General Public License, version 3 or later.&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%s&quot;&gt;%s&lt;/a&gt;&lt;/p&gt;</source>
        <comment>AboutText</comment>
        <translation>&lt;p&gt;&lt;b&gt;Velquin Reader %s&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Affiche le message et les pièces jointes des fichiers TNEF (winmail.dat).&lt;/p&gt;&lt;p&gt;Logiciel libre sous la licence publique générale GNU, version 3 ou ultérieure.&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%s&quot;&gt;%s&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Attachments</source>
        <comment>AccessibleList</comment>
        <translation>Pièces jointes</translation>
    </message>
    <message>
        <source>The message text and the files packed in this message</source>
        <comment>AccessibleListDescription</comment>
        <translation>Le texte du message et les fichiers contenus dans ce message</translation>
    </message>
    <message>
        <source>Message text</source>
        <comment>AccessibleMessage</comment>
        <translation>Texte du message</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <comment>AccessiblePreview</comment>
        <translation>Aperçu de l&apos;image</translation>
    </message>
    <message>
        <source>Picture %s</source>
        <comment>AccessiblePreviewOf</comment>
        <translation>Image %s</translation>
    </message>
    <message>
        <source>Message summary</source>
        <comment>AccessibleWebPane</comment>
        <translation>Résumé du message</translation>
    </message>
    <message>
        <source>The mail carries no winmail.dat</source>
        <comment>MailHasNoTnef</comment>
        <translation>Le courriel ne contient aucun winmail.dat</translation>
    </message>
    <message>
        <source>There is no part %d: the file holds %d winmail.dat parts (see list-mail)</source>
        <comment>CliNoSuchPart</comment>
        <translation>Il n&apos;y a pas de partie %d&#xa0;: le fichier contient %d parties winmail.dat (voir list-mail)</translation>
    </message>
    <message>
        <source>The file holds %d winmail.dat parts: choose one with --part N (see list-mail)</source>
        <comment>CliChoosePart</comment>
        <translation>Le fichier contient %d parties winmail.dat&#xa0;: choisissez-en une avec --part N (voir list-mail)</translation>
    </message>
    <message>
        <source>Mail files (.eml, mbox) and iCalendar files need the mail module %s, which could not be loaded: %s</source>
        <comment>MailModuleMissing</comment>
        <translation>Les courriels (.eml, mbox) et les fichiers iCalendar demandent le module de courriel %s, qui n’a pas pu être chargé&#xa0;: %s</translation>
    </message>
    <message>
        <source>Printing and PDF export need the print module %s, which could not be loaded: %s</source>
        <comment>PrintModuleMissing</comment>
        <translation>L’impression et l’export PDF demandent le module d’impression %s, qui n’a pas pu être chargé&#xa0;: %s</translation>
    </message>
    <message>
        <source>Mail files (*.eml *.mbox)</source>
        <comment>OpenFilterMail</comment>
        <translation>Courriels (*.eml *.mbox)</translation>
    </message>
    <message>
        <source>Choose a mail</source>
        <comment>MailChooserTitle</comment>
        <translation>Choisir un courriel</translation>
    </message>
    <message>
        <source>This file holds several mails with a winmail.dat. Choose the one to open:</source>
        <comment>MailChooserPrompt</comment>
        <translation>Ce fichier contient plusieurs courriels avec un winmail.dat. Choisissez celui à ouvrir&#xa0;:</translation>
    </message>
    <message>
        <source>Subject</source>
        <comment>MailColumnSubject</comment>
        <translation>Objet</translation>
    </message>
    <message>
        <source>From</source>
        <comment>MailColumnFrom</comment>
        <translation>De</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>MailColumnDate</comment>
        <translation>Date</translation>
    </message>
    <message>
        <source>This message is too long to be shown whole here; save its message text to read the rest.</source>
        <comment>BodyCutShort</comment>
        <translation>Ce message est trop long pour être affiché ici en entier ; enregistrez son texte pour lire la suite.</translation>
    </message>
    <message>
        <source>Embedded message</source>
        <comment>EmbeddedMessageType</comment>
        <translation>Message joint</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <comment>ActionBack</comment>
        <translation>P&amp;récédent</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>HeaderDate</comment>
        <translation>Date</translation>
    </message>
    <message>
        <source>To</source>
        <comment>HeaderTo</comment>
        <translation>À</translation>
    </message>
    <message>
        <source>Cc</source>
        <comment>HeaderCc</comment>
        <translation>Cc</translation>
    </message>
    <message>
        <source>Add to calendar...</source>
        <comment>ActionAddToCalendar</comment>
        <translation>Ajouter au calendrier...</translation>
    </message>
    <message>
        <source>iCalendar (*.ics)</source>
        <comment>CalendarFilter</comment>
        <translation>iCalendar (*.ics)</translation>
    </message>
    <message>
        <source>What</source>
        <comment>CalendarWhat</comment>
        <translation>Objet</translation>
    </message>
    <message>
        <source>When</source>
        <comment>CalendarWhen</comment>
        <translation>Quand</translation>
    </message>
    <message>
        <source>Where</source>
        <comment>CalendarWhere</comment>
        <translation>Lieu</translation>
    </message>
    <message>
        <source>Organizer</source>
        <comment>CalendarOrganizer</comment>
        <translation>Organisateur</translation>
    </message>
    <message>
        <source>Attendees</source>
        <comment>CalendarAttendees</comment>
        <translation>Participants</translation>
    </message>
    <message>
        <source>Recurs</source>
        <comment>CalendarRecurs</comment>
        <translation>Périodicité</translation>
    </message>
    <message>
        <source>Answer</source>
        <comment>CalendarAnswer</comment>
        <translation>Réponse</translation>
    </message>
    <message>
        <source>all day</source>
        <comment>CalendarAllDay</comment>
        <translation>toute la journée</translation>
    </message>
    <message>
        <source>required</source>
        <comment>CalendarRequired</comment>
        <translation>obligatoire</translation>
    </message>
    <message>
        <source>optional</source>
        <comment>CalendarOptional</comment>
        <translation>facultatif</translation>
    </message>
    <message>
        <source>resource</source>
        <comment>CalendarResource</comment>
        <translation>ressource</translation>
    </message>
    <message>
        <source>Accepted</source>
        <comment>CalendarAccepted</comment>
        <translation>Accepté</translation>
    </message>
    <message>
        <source>Tentative</source>
        <comment>CalendarTentative</comment>
        <translation>Provisoire</translation>
    </message>
    <message>
        <source>Declined</source>
        <comment>CalendarDeclined</comment>
        <translation>Refusé</translation>
    </message>
    <message>
        <source>Canceled</source>
        <comment>CalendarCanceled</comment>
        <translation>Annulé</translation>
    </message>
    <message>
        <source>Due</source>
        <comment>TaskDue</comment>
        <translation>Échéance</translation>
    </message>
    <message>
        <source>Status</source>
        <comment>TaskStatus</comment>
        <translation>État</translation>
    </message>
    <message>
        <source>Complete</source>
        <comment>TaskComplete</comment>
        <translation>Achevé</translation>
    </message>
    <message>
        <source>Not started</source>
        <comment>TaskNotStarted</comment>
        <translation>Non commencée</translation>
    </message>
    <message>
        <source>In progress</source>
        <comment>TaskInProgress</comment>
        <translation>En cours</translation>
    </message>
    <message>
        <source>Completed</source>
        <comment>TaskCompleted</comment>
        <translation>Terminée</translation>
    </message>
    <message>
        <source>Waiting on someone else</source>
        <comment>TaskWaiting</comment>
        <translation>En attente de quelqu&apos;un d&apos;autre</translation>
    </message>
    <message>
        <source>Deferred</source>
        <comment>TaskDeferred</comment>
        <translation>Différée</translation>
    </message>
    <message>
        <source>The file holds no calendar item (meeting, appointment or task)</source>
        <comment>CliNoCalendarItem</comment>
        <translation>Le fichier ne contient aucun élément de calendrier (réunion, rendez-vous ou tâche)</translation>
    </message>
    <message>
        <source>Prin&amp;t...</source>
        <comment>ActionPrint</comment>
        <translation>Impri&amp;mer...</translation>
    </message>
    <message>
        <source>E&amp;xport as PDF...</source>
        <comment>ActionExportPdf</comment>
        <translation>E&amp;xporter en PDF...</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)</source>
        <comment>PdfFilter</comment>
        <translation>Documents PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Cannot write the PDF file &quot;%s&quot;</source>
        <comment>PdfWriteFailed</comment>
        <translation>Impossible d&apos;écrire le fichier PDF « %s »</translation>
    </message>
    <message>
        <source>message</source>
        <comment>PdfDefaultName</comment>
        <translation>message</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <comment>ActionFind</comment>
        <translation>&amp;Rechercher...</translation>
    </message>
    <message>
        <source>Fi&amp;nd:</source>
        <comment>FindLabel</comment>
        <translation>Reche&amp;rcher :</translation>
    </message>
    <message>
        <source>Next match</source>
        <comment>FindNext</comment>
        <translation>Occurrence suivante</translation>
    </message>
    <message>
        <source>Previous match</source>
        <comment>FindPrevious</comment>
        <translation>Occurrence précédente</translation>
    </message>
    <message>
        <source>Close the find bar</source>
        <comment>FindClose</comment>
        <translation>Fermer la barre de recherche</translation>
    </message>
    <message>
        <source>No match</source>
        <comment>FindNoMatch</comment>
        <translation>Aucune occurrence</translation>
    </message>
    <message>
        <source>1 match</source>
        <comment>FindOneMatch</comment>
        <translation>1 occurrence</translation>
    </message>
    <message>
        <source>%d matches</source>
        <comment>FindMatches</comment>
        <translation>%d occurrences</translation>
    </message>
    <message>
        <source>%d or more matches</source>
        <comment>FindManyMatches</comment>
        <translation>%d occurrences ou plus</translation>
    </message>
    <message>
        <source>Text to find</source>
        <comment>AccessibleFindField</comment>
        <translation>Texte à rechercher</translation>
    </message>
    <message>
        <source>Every match in the message text is highlighted; Return goes to the next one, Shift+Return to the previous one</source>
        <comment>AccessibleFindFieldDescription</comment>
        <translation>Chaque occurrence dans le texte du message est surlignée ; Entrée passe à la suivante, Maj+Entrée à la précédente</translation>
    </message>
    <message>
        <source>Matches found</source>
        <comment>AccessibleFindStatus</comment>
        <translation>Occurrences trouvées</translation>
    </message>
    <message>
        <source>Print the message shown, or export it as PDF</source>
        <comment>AccessiblePrintDescription</comment>
        <translation>Imprimer le message affiché, ou l&apos;exporter en PDF</translation>
    </message>
    <message>
        <source>The subject of the message shown</source>
        <comment>AccessibleSubjectDescription</comment>
        <translation>L&apos;objet du message affiché</translation>
    </message>
    <message>
        <source>The sender of the message shown</source>
        <comment>AccessibleFromDescription</comment>
        <translation>L&apos;expéditeur du message affiché</translation>
    </message>
    <message>
        <source>The body of the message shown; Ctrl+F finds text in it</source>
        <comment>AccessibleMessageDescription</comment>
        <translation>Le corps du message affiché ; Ctrl+F y recherche du texte</translation>
    </message>
    <message>
        <source>The picture attachment selected in the list</source>
        <comment>AccessiblePreviewDescription</comment>
        <translation>L&apos;image jointe sélectionnée dans la liste</translation>
    </message>
    <message>
        <source>The start of the message text</source>
        <comment>AccessibleWebPaneDescription</comment>
        <translation>Le début du texte du message</translation>
    </message>
    <message>
        <source>Show a winmail.dat file, or a mail or mailbox that carries one</source>
        <comment>DescOpenWinmail</comment>
        <translation>Afficher un fichier winmail.dat, ou un courriel ou une boîte aux lettres qui en contient un</translation>
    </message>
    <message>
        <source>Open the selected attachment with its program</source>
        <comment>DescOpen</comment>
        <translation>Ouvrir la pièce jointe sélectionnée avec son programme</translation>
    </message>
    <message>
        <source>Save the selected attachment or the message text</source>
        <comment>DescSave</comment>
        <translation>Enregistrer la pièce jointe sélectionnée ou le texte du message</translation>
    </message>
    <message>
        <source>Save the message text and every attachment into a folder</source>
        <comment>DescSaveAll</comment>
        <translation>Enregistrer le texte du message et toutes les pièces jointes dans un dossier</translation>
    </message>
    <message>
        <source>File association, language and mail library</source>
        <comment>DescOptions</comment>
        <translation>Association de fichiers, langue et bibliothèque de messagerie</translation>
    </message>
    <message>
        <source>The user guide; its arrow offers the About box</source>
        <comment>DescWebsite</comment>
        <translation>Le guide de l&apos;utilisateur ; sa flèche propose la boîte À propos</translation>
    </message>
</context>
<context>
    <name>TfmVelquinDatReader</name>
    <message>
        <source>Click &quot;Open&quot; or double-click the file to open it on an external viewer</source>
        <translation>Cliquez sur «&#xa0;Ouvrir&#xa0;» ou double-cliquez sur le fichier pour l&apos;ouvrir dans une visionneuse externe</translation>
    </message>
    <message>
        <source>S&amp;ubject</source>
        <translation>O&amp;bjet</translation>
    </message>
    <message>
        <source>F&amp;rom</source>
        <translation>&amp;De</translation>
    </message>
    <message>
        <source>Open &amp;winmail.dat</source>
        <translation>Ouvrir &amp;winmail.dat</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>&amp;Save as...</source>
        <translation>&amp;Enregistrer sous...</translation>
    </message>
    <message>
        <source>O&amp;ptions...</source>
        <translation>O&amp;ptions...</translation>
    </message>
    <message>
        <source>&amp;Help/about/web</source>
        <translation>A&amp;ide/À propos/Web</translation>
    </message>
    <message>
        <source>Save &amp;all...</source>
        <translation>&amp;Tout enregistrer...</translation>
    </message>
</context>
<context>
    <name>TfrmTNEFReaderOptions</name>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Windows</source>
        <translation>Windows</translation>
    </message>
    <message>
        <source>&amp;Associate .dat files with this application</source>
        <translation>A&amp;ssocier les fichiers .dat à cette application</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Langue</translation>
    </message>
    <message>
        <source>&amp;Mapi32.dll path</source>
        <translation>&amp;Chemin de Mapi32.dll</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>A&amp;dvanced &gt;&gt;</source>
        <translation>A&amp;vancé &gt;&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
</TS>
