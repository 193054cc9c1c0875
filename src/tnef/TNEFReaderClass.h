#pragma once
// The message model of one TNEF file. Constructing a TTNEFReader reads the whole file's
// structure (subject, sender, body, attachment names and places); attachment bytes stay in
// the file, which the reader keeps open, until an attachment is saved or opened, and the
// compressed RTF body stays compressed until it is first asked for.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CarrierHeaders.h"
#include "CalendarItem.h"
#include "DateTime.h"
#include "DynamicLibrary.h"
#include "FileCopy.h"
#include "FileStream.h"
#include "MapiAttrs.h"
#include "Recipients.h"
#include "StreamRange.h"
#include "TempFolder.h"

class TTNEFReader;

// One attachment of a TNEF file.
class TTNEFFile {
public:
  TTNEFFile(TTNEFReader* reader, int index, std::string fileName, std::uint32_t size,
            std::int64_t offset);
  // Removes the temporary copy, if one was made.
  ~TTNEFFile();
  TTNEFFile(const TTNEFFile&) = delete;
  TTNEFFile& operator=(const TTNEFFile&) = delete;

  // The name as read: eight-bit bytes in the message's code page, or UTF-8 when it came
  // from a UTF-16 long file name (FileNameIsUtf8).
  const std::string& FileName() const { return FFileName; }
  bool FileNameIsUtf8() const { return FFileNameIsUtf8; }
  std::uint32_t Size() const { return FSize; }
  TTNEFReader* Reader() const { return FReader; }
  int Index() const { return FIndex; }
  // Where the bytes are in the file; for an embedded message, its TNEF stream.
  std::int64_t Offset() const { return FOffset; }
  const std::string& TempFileName() const { return FTempFileName; }
  bool TempSaved() const { return FTempSaved; }

  // PR_ATTACH_METHOD (0 when the attachment names none), PR_ATTACH_CONTENT_ID and
  // PR_ATTACH_MIME_TAG (UTF-8, empty when absent; the content id without its <>).
  std::uint32_t AttachMethod() const { return FAttachMethod; }
  const std::string& ContentId() const { return FContentId; }
  const std::string& MimeTag() const { return FMimeTag; }
  // An attached message (method 5) whose PR_ATTACH_DATA_OBJ holds a TNEF stream of its
  // own: Offset and Size are that stream, which TTNEFReader::OpenEmbedded reads in place.
  bool IsEmbeddedMessage() const { return FEmbedded; }
  // The embedded message's subject (UTF-8), read once on first use; empty when it has none
  // or cannot be read.
  const std::string& EmbeddedSubject() const;

  // A file the carrying mail brought beside the TNEF stream (its name is UTF-8).
  bool IsCarried() const { return FCarried; }

  // The name for display, decoded to UTF-8; for an embedded message, its subject and ".dat".
  std::string DisplayName() const;
  // The name cleaned for the file system ("attachment-N" when nothing usable is left).
  std::string SafeFileName() const;

  // Up to maxSize of the attachment's bytes (all of them when they fit). Leaves the file's
  // position alone, so it may run beside the reader's other work on another thread.
  std::string ReadBytes(std::uint64_t maxSize) const;
  // Writes the bytes to path; false only when mode is Exclusive and path exists. Raises
  // EFileError like CopyFileRangeTo.
  bool SaveAs(const std::string& path, TCreateMode mode) const;

  // Copies the bytes into directory under name (the cleaned FileName when name is empty),
  // replacing a file of that name; returns the path written.
  std::string SaveTo(const std::string& directory, const std::string& name);
  // The path of the temporary copy, made on first use in the reader's private folder.
  std::string PrepareTempCopy();
  // Makes sure the temporary copy exists and asks the desktop shell to open it; the
  // shell's outcome is not examined.
  void ShellOpen();

private:
  friend class TTNEFReader;

  std::string FFileName;
  bool FFileNameIsUtf8 = false;
  std::uint32_t FSize = 0;
  TTNEFReader* FReader = nullptr;
  int FIndex = 0;
  std::int64_t FOffset = 0;
  std::string FTempFileName;
  bool FTempSaved = false;
  bool FHasData = false;  // an attAttachData (or a data property) set Size and Offset
  std::uint32_t FAttachMethod = 0;
  std::string FContentId;
  std::string FMimeTag;
  bool FEmbedded = false;
  bool FCarried = false;
  mutable bool FEmbeddedSubjectRead = false;
  mutable std::string FEmbeddedSubject;
};

// What the reader passed over in a damaged file, as bits: the walk is tolerant (it keeps what
// it read and goes on or stops), and these say where it had to be.
enum TDamage : unsigned {
  kDamageNone = 0,
  kDamageTrailingBytes = 1,     // bytes after the last record that are no record
  kDamageRecordCut = 2,         // a record (or its checksum) cut off by the end of the file
  kDamageBadChecksum = 4,       // a record whose checksum does not match its bytes
  kDamagePropertyBlock = 8,     // a property block that could be read only in part
  kDamageBodyRefused = 16,      // a compressed body our decoder refused
};

// Which body a message carries, in the order the viewer prefers them.
enum class TBodyKind { None, Rtf, Html, Text };

class TTNEFReader {
public:
  // Opens fileName and reads it whole. mapi32Path is the user's chosen mail library; when
  // empty, the library is worked out as TMapiHelper::ResolveMapi32Path says. Raises
  // Exception (or a descendant) when the file cannot be read as TNEF.
  TTNEFReader(const std::string& fileName, const std::string& mapi32Path);
  // Reads the TNEF stream of length bytes at offset of an already open file, in place: an
  // embedded message inside its parent. depth counts the messages around it. Raises like
  // the other constructor, and ERangeError when the range does not lie inside the file.
  TTNEFReader(std::shared_ptr<TFileStream> file, std::int64_t offset, std::int64_t length,
              const std::string& mapi32Path, int depth = 0);
  // Destroys the attachments (and their temporary copies), then closes the file.
  ~TTNEFReader();
  TTNEFReader(const TTNEFReader&) = delete;
  TTNEFReader& operator=(const TTNEFReader&) = delete;

  int Count() const { return static_cast<int>(FFiles.size()); }
  // Raises EListError for an index outside 0..Count()-1.
  TTNEFFile& Files(int index) const;

  const std::string& FileName() const { return FFileName; }
  const std::vector<std::string>& Attributes() const { return FAttributes; }
  const std::string& Subject() const { return FSubject; }
  // attDateSent, else the carrying mail's date.
  TDateTime DateSent() const { return FDateSent != 0 ? FDateSent : FCarrier.Date; }
  TDateTime DateModified() const { return FDateModified; }
  const std::string& From() const { return FFrom; }
  // The RTF body, decoded on first use (when the decoder refuses it, what the mail library
  // gives and kDamageBodyRefused); empty without one. Safe to call from several threads.
  const std::string& MessageText() const;
  // About the first limit bytes of MessageText for a quick look at a long body's start,
  // decoded without the rest: the first min(limit, size) bytes of a sound body. Where the
  // start cannot be decoded, or the body is short, the whole is decoded and its start given.
  std::string MessageTextStart(std::size_t limit) const;
  const std::string& Mapi32Path() const { return FMapi32Path; }
  TFileStream& Stream() const { return FRange->File(); }
  const TStreamRange& Range() const { return *FRange; }
  int Depth() const { return FDepth; }

  // attMessageClass (or PR_MESSAGE_CLASS), e.g. "IPM.Note"; empty when absent.
  const std::string& MessageClass() const { return FMessageClass; }
  TDateTime DateReceived() const { return FDateReceived; }
  // When the message was sent, from PR_CLIENT_SUBMIT_TIME: seconds since 1970 UTC, 0 when
  // absent. (attDateSent holds the sender's clock without its zone.)
  std::int64_t SubmitTime() const { return FSubmitTime; }
  // The rows of attRecipTable, in table order.
  const std::vector<TRecipient>& Recipients() const { return FRecipients; }
  // The recipients of one type, formatted and joined by "; "; when the stream has none of
  // that type, the carrying mail's To or Cc.
  std::string RecipientLine(TRecipientType type) const;

  // The headers of the mail that carried this stream. Subject, sender, To, Cc and the date
  // sent fall back to them where the stream has none of its own.
  void SetCarrierHeaders(TCarrierHeaders headers) { FCarrier = std::move(headers); }
  const TCarrierHeaders& CarrierHeaders() const { return FCarrier; }
  // Lists a file the carrying mail brought beside the stream, after the stream's own
  // attachments: size bytes at offset of this reader's open file (outside the stream's
  // range), named name (UTF-8). Raises ERangeError when they do not lie inside the file.
  TTNEFFile& AddCarriedFile(std::string name, std::string mimeType, std::uint32_t size,
                            std::int64_t offset);
  // The meeting, appointment or task the message carries (Kind None for other messages).
  const TCalendarItem& Calendar() const { return FCalendar; }

  // Messages nest at most this deep; deeper ones are refused, not read.
  static constexpr int kMaxDepth = 64;
  // Reads the embedded message of attachment index in place. Raises EListError for a bad
  // index, Exception when the attachment is not an embedded message or nests too deep, and
  // what the constructor raises for a damaged stream.
  std::unique_ptr<TTNEFReader> OpenEmbedded(int index) const;

  // Beyond the RTF body: the HTML and plain-text bodies, and the message's code page.
  bool HasRtfBody() const { return FHasRtfBody; }
  const std::string& HtmlBody() const { return FHtmlBody; }
  bool HtmlBodyIsUtf8() const { return FHtmlBodyIsUtf8; }
  const std::string& PlainBody() const { return FPlainBody; }
  bool PlainBodyIsUtf8() const { return FPlainBodyIsUtf8; }
  // attOemCodepage's primary code page, 0 when the message names none.
  unsigned OemCodePage() const { return FOemCodePage; }
  // The code page eight-bit texts are decoded with: OemCodePage, else 1252.
  unsigned CodePage() const;

  // The body the viewer shows: RTF when the message has one, else HTML, else plain text.
  TBodyKind BodyKind() const;
  const std::string& Body() const;
  // Body().size(), without decoding an RTF body not decoded yet: its header's size. (Should
  // the decoder then refuse it, the mail library's text may have another size.)
  std::size_t BodySize() const;

  // Subject and sender for display, in UTF-8: the eight-bit forms decoded with CodePage(),
  // else the UTF-16 forms, else the sender of attFrom.
  std::string DisplaySubject() const;
  std::string DisplayFrom() const;
  // Decodes an eight-bit text of this message to UTF-8.
  std::string ToUtf8(std::string_view bytes) const;

  // The body through the system mail library, for a value DecompressRTF refused. Returns the
  // RTF, an empty text, or a message that says why the body is not available; never raises.
  // The library is loaded on first use and kept, so one reader loads it at most once; a
  // library that is not named by a full path, or that others could have changed, is not
  // loaded at all.
  std::string DecompressRTFWithMapi(const std::string& data) const;

  // The kinds of damage (TDamage bits) met while reading; 0 for a sound file. A refused RTF
  // body is known only once it was decoded (MessageText, Body): before, only a header that
  // no decoding could accept counts.
  unsigned Damage() const { return FDamage; }
  bool IsDamaged() const { return FDamage != kDamageNone; }

  // The reader's private folder for temporary copies, made on first use.
  TPrivateTempFolder& TempFolder() { return FTempFolder; }

private:
  void ReadFile();
  void ReadStream();
  // Checks the RTF body's header when the walk ends: a refused one is decoded at once.
  void PrepareRtfBody();
  void DecodeRtfBody() const;  // with FBodyMutex held
  // The mail library, loaded on first call; nullptr (and FMailLibraryError) when it cannot be.
  const TDynamicLibrary* MailLibrary() const;
  void ReadMessageAttribute(std::uint32_t id, std::uint32_t length);
  // Reads the 2-byte checksum after a record whose bytes were read, and records a mismatch
  // (or a checksum cut off); the walk goes on either way.
  void CheckChecksum(std::uint16_t sum);
  static std::uint16_t Checksum(std::string_view data);
  bool ReadAttachmentAttribute(std::uint32_t id, std::uint32_t length);
  void ExtendToNul(std::string& data);
  void EnsureAttachments(std::size_t n);
  void AddAttribute(std::uint32_t id, std::string_view data);
  void HandleMessageProp(std::uint32_t tag, std::string_view value);
  // Keeps the compressed RTF value seen in block's scan (FRtfInScan), in block or copied.
  void KeepRtfValue(std::unique_ptr<char[]> block, std::size_t size);
  void ApplyAttachmentBlock(const std::string& block, std::int64_t blockOffset);
  void ApplyLongFileName(const TMAPI_Attrs& attrs, int index);
  void ApplyNameProperty(const TMAPI_Attrs& attrs, std::uint16_t id, TTNEFFile& file);
  static void SetNameFromValue(const TMAPI_Attr& attr, TTNEFFile& file);
  void ApplyAttachmentFacts(const TMAPI_Attrs& attrs, TTNEFFile& file);
  void ApplyEmbeddedStream(const std::string& block, std::int64_t blockOffset, TTNEFFile& file);

  // Declared first so that it is removed last, after the attachments removed their copies.
  TPrivateTempFolder FTempFolder;
  std::unique_ptr<TStreamRange> FRange;
  int FDepth = 0;
  std::string FMessageClass;
  TDateTime FDateReceived = 0;
  std::vector<TRecipient> FRecipients;
  std::string FRecipientTable;  // the raw table until the walk ends
  TCalendarCollector FCalendarCollector;  // until the walk ends
  TCalendarItem FCalendar;
  std::int64_t FSubmitTime = 0;
  std::vector<std::unique_ptr<TTNEFFile>> FFiles;
  std::string FFileName;
  std::vector<std::string> FAttributes;
  std::string FSubject;
  TDateTime FDateSent = 0;
  TDateTime FDateModified = 0;
  std::string FFrom;
  std::string FMapi32Path;
  // Only the last compressed-RTF value counts, so it alone is kept, until it is decoded
  // into FMessageText on first use (FRtfDecoded tells, FRtfRawSize is its header's size).
  mutable std::mutex FBodyMutex;
  mutable std::atomic<bool> FRtfDecoded{true};
  // The compressed value is FRtfValueSize bytes at FRtfValueOffset of FRtfCompressed: the
  // property block it came in, when it is most of it. FRtfInScan: the value while its block
  // is scanned.
  mutable std::unique_ptr<char[]> FRtfCompressed;
  mutable std::size_t FRtfValueOffset = 0;
  mutable std::size_t FRtfValueSize = 0;
  std::optional<std::string_view> FRtfInScan;
  std::string_view RtfValue() const {
    return FRtfCompressed ? std::string_view(FRtfCompressed.get() + FRtfValueOffset, FRtfValueSize) : std::string_view();
  }
  mutable std::string FMessageText;
  std::size_t FRtfRawSize = 0;
  mutable TDynamicLibrary FMailLibrary;
  mutable bool FMailLibraryTried = false;
  mutable std::string FMailLibraryError;

  bool FHasRtfBody = false;
  std::string FHtmlBody;
  bool FHtmlBodyIsUtf8 = false;
  int FHtmlBodyRank = 0;
  std::string FPlainBody;
  bool FPlainBodyIsUtf8 = false;
  int FPlainBodyRank = 0;
  unsigned FOemCodePage = 0;
  std::string FSubjectW;  // UTF-8, from PR_SUBJECT_W / PR_CONVERSATION_TOPIC_W
  std::string FFromW;     // UTF-8, from PR_SENDER_NAME_W
  std::string FFromTriple;  // eight-bit display name of attFrom

  TCarrierHeaders FCarrier;
  mutable std::atomic<unsigned> FDamage{kDamageNone};
  std::uint16_t FRecordSum = 0;  // checksum of the message record just read

  int FDataCounter = 0;
  int FTitleCounter = 0;
  int FRendCounter = 0;
};
