#include "TNEFReaderClass.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ByteReader.h"
#include "CodePage.h"
#include "CompressedRtf.h"
#include "Exception.h"
#include "LargeBuffer.h"
#include "MapiHelper.h"
#include "TNEFReaderConst.h"
#include "TnefIds.h"

namespace {

// A string property's value less its last byte (the terminating NUL).
std::string LessLastByte(std::string_view value) {
  return value.empty() ? std::string() : std::string(value.substr(0, value.size() - 1));
}

// attDateSent / attDateModified: seven 16-bit numbers (year, month, day, hour, minute, second,
// day of week). Anything else leaves the field as it was.
void DecodeDate(std::string_view data, TDateTime& field) {
  if (data.size() != 14) return;
  const auto date = EncodeDateTime(LoadLe16(data, 0), LoadLe16(data, 2), LoadLe16(data, 4),
                                   LoadLe16(data, 6), LoadLe16(data, 8), LoadLe16(data, 10));
  if (date) field = *date;
}

// The size of the interface id that starts a PR_ATTACH_DATA_OBJ value.
constexpr std::size_t kIidSize = 16;

constexpr std::uint32_t kAttachByEmbeddedMessage = 5;  // ATTACH_EMBEDDED_MSG

// The first value of a string property as UTF-8 (empty for other types).
std::string FirstText(const TMAPI_Attr& attr, unsigned codePage) {
  if (attr.Values.empty()) return {};
  const auto& value = attr.Values.front();
  const std::string_view bytes(reinterpret_cast<const char*>(value.data()), value.size());
  if (attr.PropType == PropType::Unicode) return Utf16LeToUtf8(bytes);
  if (attr.PropType == PropType::String8) return CodePageToUtf8(UpToNul(bytes), codePage);
  return {};
}

// The types whose values are counted (and handed by the message scan).
bool IsCountedType(std::uint16_t type) {
  return type == PropType::Object || type == PropType::String8 || type == PropType::Unicode ||
         type == PropType::Binary || type == PropType::SvrEid;
}

}  // namespace

// ---- TTNEFFile --------------------------------------------------------------------------

TTNEFFile::TTNEFFile(TTNEFReader* reader, int index, std::string fileName, std::uint32_t size,
                     std::int64_t offset)
    : FFileName(std::move(fileName)), FSize(size), FReader(reader), FIndex(index),
      FOffset(offset) {}

std::string TTNEFFile::DisplayName() const {
  if (FEmbedded) {
    const std::string& subject = EmbeddedSubject();
    if (!subject.empty()) return subject + ".dat";
  }
  if (FFileNameIsUtf8) return std::string(UpToNul(FFileName));
  return FReader->ToUtf8(FFileName);
}

// ---- TTNEFReader ------------------------------------------------------------------------

TTNEFReader::TTNEFReader(const std::string& fileName, const std::string& mapi32Path)
    : FFileName(fileName) {
  FMapi32Path = TMapiHelper::ResolveMapi32Path(mapi32Path);
  ReadFile();
  PrepareRtfBody();
}

void TTNEFReader::PrepareRtfBody() {
  if (!FHasRtfBody) return;
  // A long body is decoded when it is first asked for, perhaps only its start; a header the
  // decoder refuses is refused at once, so that the file is known damaged when it opens.
  try {
    FRtfRawSize = CompressedRtfRawSize(RtfValue());
    FRtfDecoded = false;
  } catch (...) {
    DecodeRtfBody();
  }
}

void TTNEFReader::DecodeRtfBody() const {
  try {
    FMessageText = DecompressRTF(RtfValue());
  } catch (...) {
    FDamage |= kDamageBodyRefused;
    FMessageText = DecompressRTFWithMapi(std::string(RtfValue()));
  }
  FRtfCompressed.reset();
  FRtfValueOffset = FRtfValueSize = 0;
  FRtfDecoded.store(true, std::memory_order_release);
}

const std::string& TTNEFReader::MessageText() const {
  if (!FRtfDecoded.load(std::memory_order_acquire)) {
    const std::lock_guard<std::mutex> lock(FBodyMutex);
    if (!FRtfDecoded.load(std::memory_order_relaxed)) DecodeRtfBody();
  }
  return FMessageText;
}

std::string TTNEFReader::MessageTextStart(std::size_t limit) const {
  if (!FRtfDecoded.load(std::memory_order_acquire)) {
    const std::lock_guard<std::mutex> lock(FBodyMutex);
    if (!FRtfDecoded.load(std::memory_order_relaxed)) {
      // A start that is the whole body is decoded as the whole, checks and all.
      if (limit < FRtfRawSize) {
        try {
          return DecompressRTFPrefix(RtfValue(), limit);
        } catch (...) {
          // Damaged within its start: the whole decode says so and asks the mail library.
        }
      }
      DecodeRtfBody();
    }
  }
  return FMessageText.substr(0, limit);
}

TTNEFReader::TTNEFReader(std::shared_ptr<TFileStream> file, std::int64_t offset,
                         std::int64_t length, const std::string& mapi32Path, int depth)
    : FDepth(depth) {
  FFileName = file->Path();
  FMapi32Path = mapi32Path;
  FRange = std::make_unique<TStreamRange>(std::move(file), offset, length);
  ReadStream();
  PrepareRtfBody();
}

std::unique_ptr<TTNEFReader> TTNEFReader::OpenEmbedded(int index) const {
  const TTNEFFile& file = Files(index);
  if (!file.IsEmbeddedMessage() || !FRange->Contains(file.Offset(), file.Size()) ||
      FDepth + 1 >= kMaxDepth)
    throw Exception(LoadResString(TStringId::InvalidFileFormat));
  return std::make_unique<TTNEFReader>(FRange->SharedFile(), file.Offset(), file.Size(),
                                       FMapi32Path, FDepth + 1);
}

const std::string& TTNEFFile::EmbeddedSubject() const {
  if (FEmbedded && !FEmbeddedSubjectRead) {
    FEmbeddedSubjectRead = true;
    try {
      FEmbeddedSubject = FReader->OpenEmbedded(FIndex)->DisplaySubject();
    } catch (const Exception&) {
      // A damaged or too deeply nested message keeps the attachment's own name.
    }
  }
  return FEmbeddedSubject;
}

std::string TTNEFReader::RecipientLine(TRecipientType type) const {
  std::string line;
  for (const TRecipient& recipient : FRecipients) {
    if (recipient.Type != type) continue;
    if (!line.empty()) line += "; ";
    line += FormatRecipient(recipient);
  }
  if (line.empty() && type == TRecipientType::To) return FCarrier.To;
  if (line.empty() && type == TRecipientType::Cc) return FCarrier.Cc;
  return line;
}

TTNEFReader::~TTNEFReader() {
  // Items first, in list order (each removes its temporary copy), then the file.
  for (auto& file : FFiles) file.reset();
  FFiles.clear();
  FRange.reset();
  FAttributes.clear();
}

TTNEFFile& TTNEFReader::Files(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(FormatRes(TStringId::ListIndexError, {Arg(index)}));
  return *FFiles[static_cast<std::size_t>(index)];
}

unsigned TTNEFReader::CodePage() const { return FOemCodePage ? FOemCodePage : kDefaultCodePage; }

std::string TTNEFReader::ToUtf8(std::string_view bytes) const {
  return CodePageToUtf8(UpToNul(bytes), CodePage());
}

TBodyKind TTNEFReader::BodyKind() const {
  if (FHasRtfBody) return TBodyKind::Rtf;
  if (!FHtmlBody.empty()) return TBodyKind::Html;
  if (!FPlainBody.empty()) return TBodyKind::Text;
  return TBodyKind::None;
}

const std::string& TTNEFReader::Body() const {
  switch (BodyKind()) {
    case TBodyKind::Html: return FHtmlBody;
    case TBodyKind::Text: return FPlainBody;
    default: return MessageText();
  }
}

std::size_t TTNEFReader::BodySize() const {
  if (BodyKind() == TBodyKind::Rtf && !FRtfDecoded.load(std::memory_order_acquire)) return FRtfRawSize;
  return Body().size();
}

std::string TTNEFReader::DisplaySubject() const {
  if (!UpToNul(FSubject).empty()) return ToUtf8(FSubject);
  if (!FSubjectW.empty()) return FSubjectW;
  return FCarrier.Subject;
}

std::string TTNEFReader::DisplayFrom() const {
  if (!UpToNul(FFrom).empty()) return ToUtf8(FFrom);
  if (!FFromW.empty()) return FFromW;
  if (!UpToNul(FFromTriple).empty()) return ToUtf8(FFromTriple);
  return FCarrier.From;
}

void TTNEFReader::AddAttribute(std::uint32_t id, std::string_view data) {
  std::string entry = std::to_string(id);
  entry += '=';
  entry += data;
  FAttributes.push_back(std::move(entry));
}

void TTNEFReader::EnsureAttachments(std::size_t n) {
  while (FFiles.size() < n)
    FFiles.push_back(std::make_unique<TTNEFFile>(this, Count(), std::string(), 0, 0));
}

// NUL extension: a text whose length leaves out the NUL that follows it in the file is read
// on up to that NUL, so the walk stays in step. Stops at the end of the file.
void TTNEFReader::ExtendToNul(std::string& data) {
  if (data.empty()) return;
  while (data.back() != '\0') {
    char c;
    if (FRange->Read(&c, 1) != 1) return;
    data += c;
  }
}

void TTNEFReader::ReadFile() {
  auto file = std::make_shared<TFileStream>(FFileName);
  const std::int64_t size = file->Size();
  FRange = std::make_unique<TStreamRange>(std::move(file), 0, size);
  ReadStream();
}

void TTNEFReader::ReadStream() {
  std::uint8_t signature[4];
  if (FRange->Read(signature, 4) != 4 ||
      LoadLe32(std::string_view(reinterpret_cast<char*>(signature), 4), 0) != kTnefSignature)
    throw Exception(LoadResString(TStringId::InvalidFileFormat));
  FRange->Skip(2);  // the key

  while (FRange->Remaining() > 0) {
    std::uint8_t level = 0;
    FRange->Read(&level, 1);
    if (level != kLevelMessage && level != kLevelAttachment) {
      FDamage |= kDamageTrailingBytes;
      break;
    }
    char header[8];
    // A record header cut off by the end of the file ends the walk like trailing garbage.
    if (FRange->Read(header, 8) != 8) {
      FDamage |= kDamageRecordCut;
      break;
    }
    const std::uint32_t id = LoadLe32(std::string_view(header, 8), 0);
    const std::uint32_t length = LoadLe32(std::string_view(header, 8), 4);
    if (level == kLevelMessage) {
      if (length > static_cast<std::uint64_t>(FRange->Remaining()))
        throw Exception(LoadResString(TStringId::ObjectLargerThanFile));
      ReadMessageAttribute(id, length);
      // After the record's bytes and any NUL read on past them.
      CheckChecksum(FRecordSum);
    } else if (!ReadAttachmentAttribute(id, length)) {
      FDamage |= kDamageRecordCut;
      break;
    }
  }
  // Decoded last, when the code page is known whatever the order of the records.
  FRecipients = DecodeRecipientTable(FRecipientTable, CodePage());
  FRecipientTable.clear();
  FRecipientTable.shrink_to_fit();
  FCalendar = FCalendarCollector.Finish(FMessageClass, DisplaySubject(), FRecipients, CodePage());
  FCalendarCollector = TCalendarCollector();
}

std::uint16_t TTNEFReader::Checksum(std::string_view data) {
  // The sum of the record's bytes, modulo 2^16 (attribute checksums of the format).
  std::uint16_t sum = 0;
  for (const char c : data) sum = static_cast<std::uint16_t>(sum + static_cast<unsigned char>(c));
  return sum;
}

void TTNEFReader::CheckChecksum(std::uint16_t sum) {
  char stored[2];
  if (FRange->Read(stored, 2) != 2) {
    FDamage |= kDamageRecordCut;
    return;
  }
  if (LoadLe16(std::string_view(stored, 2), 0) != sum) FDamage |= kDamageBadChecksum;
}

void TTNEFReader::ReadMessageAttribute(std::uint32_t id, std::uint32_t length) {
  if (id == AttId::MsgProps) {
    // The property block (with the compressed body, often megabytes) is only scanned. Its
    // buffer is not zero-filled, as the read fills it whole, and is backed by large pages
    // where it can be, so that filling it takes few faults; the compressed body stays in it
    // rather than being copied out, when it is most of it.
    std::unique_ptr<char[]> buffer(new char[length]);
    AdviseLargePages(buffer.get(), length);
    FRange->ReadExact(buffer.get(), length);
    const std::string_view block(buffer.get(), length);
    FRtfInScan.reset();
    try {
      ScanNamedProps(block, [this](std::uint32_t tag, const TPropName* name, std::string_view value) {
        FCalendarCollector.Property(tag, name, value);
        if (tag == PropTag::ClientSubmitTime && value.size() == 8)
          FSubmitTime =
              FileTimeToUnix(LoadLe32(value, 0) | static_cast<std::uint64_t>(LoadLe32(value, 4)) << 32).value_or(0);
        if (IsCountedType(static_cast<std::uint16_t>(tag & 0xFFFF))) HandleMessageProp(tag, value);
      });
    } catch (...) {
      // A damaged block ends the scan; what it set before stays.
      FDamage |= kDamagePropertyBlock;
    }
    FRecordSum = Checksum(block);
    if (FRtfInScan) KeepRtfValue(std::move(buffer), length);
    return;
  }

  std::string data(length, '\0');
  FRange->ReadExact(data.data(), length);
  FRecordSum = Checksum(data);

  if (id == AttId::RecipTable) {
    FRecipientTable = std::move(data);
    return;
  }

  AddAttribute(id, data);
  FCalendarCollector.Attribute(id, data);
  switch (id) {
    case AttId::MessageClass:
      ExtendToNul(data);
      FMessageClass = std::string(UpToNul(data));
      break;
    case AttId::DateReceived: DecodeDate(data, FDateReceived); break;
    case AttId::Subject:
      ExtendToNul(data);
      FSubject = std::string(UpToNul(data));
      break;
    case AttId::DateSent: DecodeDate(data, FDateSent); break;
    case AttId::DateModified: DecodeDate(data, FDateModified); break;
    case AttId::OemCodepage:
      if (data.size() >= 4) FOemCodePage = LoadLe32(data, 0);
      break;
    case AttId::Body:
      if (FPlainBodyRank < 2 && !UpToNul(data).empty()) {
        FPlainBody = std::string(UpToNul(data));
        FPlainBodyIsUtf8 = false;
        FPlainBodyRank = 2;
      }
      break;
    case AttId::From:
      // A triple: id (2), size (2), name length (2), address length (2), then the name.
      if (data.size() >= 8) {
        const std::size_t nameLength = LoadLe16(data, 4);
        FFromTriple = std::string(UpToNul(std::string_view(data).substr(8, nameLength)));
      }
      break;
    default: break;
  }
}

void TTNEFReader::KeepRtfValue(std::unique_ptr<char[]> block, std::size_t size) {
  const auto begin = reinterpret_cast<std::uintptr_t>(block.get());
  const std::string_view value = *FRtfInScan;
  FRtfInScan.reset();
  const auto at = reinterpret_cast<std::uintptr_t>(value.data());
  if (at >= begin && at + value.size() <= begin + size && value.size() >= size / 2) {
    FRtfValueOffset = at - begin;
    FRtfValueSize = value.size();
    FRtfCompressed = std::move(block);
  } else {
    FRtfCompressed.reset(new char[value.size()]);
    std::memcpy(FRtfCompressed.get(), value.data(), value.size());
    FRtfValueOffset = 0;
    FRtfValueSize = value.size();
  }
}

void TTNEFReader::HandleMessageProp(std::uint32_t tag, std::string_view value) {
  switch (tag) {
    case PropTag::RtfCompressed:
      FHasRtfBody = true;
      FRtfInScan = value;
      return;
    case PropTag::SenderName: FFrom = LessLastByte(value); return;
    case PropTag::MessageClass:
      if (FMessageClass.empty()) FMessageClass = std::string(UpToNul(value));
      break;
    case PropTag::MessageClassW:
      if (FMessageClass.empty()) FMessageClass = Utf16LeToUtf8(value);
      return;
    case PropTag::Subject:
    case PropTag::ConversationTopic:
      if (FSubject.empty())
        FSubject = LessLastByte(value);
      else
        FAttributes.push_back("STR=" + LessLastByte(value));
      return;
    case PropTag::SubjectW:
    case PropTag::ConversationTopicW:
      if (FSubjectW.empty()) FSubjectW = Utf16LeToUtf8(value);
      return;
    case PropTag::SenderNameW: FFromW = Utf16LeToUtf8(value); return;
    case PropTag::BodyHtml:
    case PropTag::BodyHtmlW:
    case PropTag::BodyHtmlA: {
      // The binary form is what writers normally use; the string forms stand in for it.
      const int rank = tag == PropTag::BodyHtml ? 3 : tag == PropTag::BodyHtmlW ? 2 : 1;
      if (rank > FHtmlBodyRank) {
        const bool wide = tag == PropTag::BodyHtmlW;
        FHtmlBody = wide ? Utf16LeToUtf8(value) : std::string(UpToNul(value));
        FHtmlBodyIsUtf8 = wide;
        FHtmlBodyRank = rank;
      }
      break;
    }
    case PropTag::BodyW:
      if (FPlainBodyRank < 3) {
        FPlainBody = Utf16LeToUtf8(value);
        FPlainBodyIsUtf8 = true;
        FPlainBodyRank = 3;
      }
      return;
    case PropTag::Body:
      if (FPlainBodyRank < 1) {
        FPlainBody = std::string(UpToNul(value));
        FPlainBodyIsUtf8 = false;
        FPlainBodyRank = 1;
      }
      break;
    default: break;
  }
  if ((tag & 0xFFFF) == PropType::String8) FAttributes.push_back("STR=" + LessLastByte(value));
}

bool TTNEFReader::ReadAttachmentAttribute(std::uint32_t id, std::uint32_t length) {
  const auto remaining = static_cast<std::uint64_t>(FRange->Remaining());
  // Attachment-level lengths are not checked by the format's writers: one that runs past the
  // end of the file ends the walk, keeping what was read, and never moves us backwards.
  const bool cut = length > remaining;

  if (id == AttId::AttachData) {
    ++FDataCounter;
    EnsureAttachments(static_cast<std::size_t>(FDataCounter));
    TTNEFFile& file = *FFiles[static_cast<std::size_t>(FDataCounter - 1)];
    // An embedded message's attAttachData is only a placeholder note; its stream stays.
    if (!file.FEmbedded) {
      file.FOffset = FRange->Position();
      file.FSize = cut ? static_cast<std::uint32_t>(remaining) : length;
      file.FHasData = true;
    }
    // The bytes stay in the file, unread, so their checksum is not tested; one cut off is.
    if (!cut && remaining - length < 2) FDamage |= kDamageRecordCut;
    FRange->Skip(static_cast<std::uint64_t>(length) + 2);
    return !cut;
  }

  if (id == AttId::AttachTitle) {
    ++FTitleCounter;
    EnsureAttachments(static_cast<std::size_t>(FTitleCounter));
    TTNEFFile& file = *FFiles[static_cast<std::size_t>(FTitleCounter - 1)];
    // The last data byte is the name's NUL: it is skipped, not read. A title of length 0
    // has no NUL; it gives an empty name.
    const std::uint64_t nameLength = length == 0 ? 0 : length - 1;
    std::string name(static_cast<std::size_t>(std::min<std::uint64_t>(nameLength, remaining)), '\0');
    FRange->Read(name.data(), name.size());
    file.FFileName = std::move(name);
    file.FFileNameIsUtf8 = false;
    FRange->Skip(length == 0 ? 2 : 3);
    return !cut;
  }

  if (cut) return false;
  const std::int64_t dataOffset = FRange->Position();
  std::string data(length, '\0');
  FRange->ReadExact(data.data(), length);
  if (id == AttId::Attachment) {
    ApplyAttachmentBlock(data, dataOffset);
  } else {
    if (id == AttId::AttachRendData) ++FRendCounter;
    AddAttribute(id, data);
  }
  CheckChecksum(Checksum(data));
  return true;
}

void TTNEFReader::ApplyAttachmentBlock(const std::string& block, std::int64_t blockOffset) {
  const TMAPI_Attrs attrs = DecodeMAPIAttrs(block);

  // Writers start every attachment with attAttachRendData. More of those than titles means
  // the current attachment has no title: its name, and possibly its bytes, are only here.
  // Otherwise the block belongs to the attachment of the latest title.
  int index = FTitleCounter - 1;
  const bool titleless = FRendCounter > FTitleCounter;
  if (titleless) {
    index = FRendCounter - 1;
    EnsureAttachments(static_cast<std::size_t>(FRendCounter));
  }
  ApplyLongFileName(attrs, index);
  if (index < 0) return;

  TTNEFFile& file = *FFiles[static_cast<std::size_t>(index)];
  // Without a title or a long file name, the short file name or the display name is the
  // best name there is.
  if (titleless && file.FFileName.empty()) {
    for (std::uint16_t id : {kPropIdAttachFilename, kPropIdDisplayName}) {
      ApplyNameProperty(attrs, id, file);
      if (!file.FFileName.empty()) break;
    }
  }
  ApplyAttachmentFacts(attrs, file);
  if (file.FAttachMethod == kAttachByEmbeddedMessage) ApplyEmbeddedStream(block, blockOffset, file);
  if (file.FHasData) return;
  // The bytes of PR_ATTACH_DATA_BIN, or of PR_ATTACH_DATA_OBJ after its interface id; the
  // scan hands views into the block, which give their place in the file.
  try {
    ScanMessageProps(block, [&](std::uint32_t tag, std::string_view value) {
      if (file.FHasData) return;
      std::size_t skip = 0;
      if (tag == PropTag::AttachDataObj)
        skip = value.size() >= kIidSize ? kIidSize : value.size();
      else if (tag != PropTag::AttachDataBin)
        return;
      file.FOffset = blockOffset + (value.data() - block.data()) + static_cast<std::int64_t>(skip);
      file.FSize = static_cast<std::uint32_t>(value.size() - skip);
      file.FHasData = true;
    });
    // Keep the data counter in step, so a later attAttachData goes to a later attachment.
    if (file.FHasData) FDataCounter = std::max(FDataCounter, index + 1);
  } catch (const EReadError&) {
    // A block cut short keeps what was found before the cut.
  }
}

void TTNEFReader::ApplyLongFileName(const TMAPI_Attrs& attrs, int index) {
  for (const TMAPI_Attr& attr : attrs) {
    if (attr.PropId != kPropIdAttachLongFilename) continue;
    if (attr.PropType != PropType::String8 && attr.PropType != PropType::Unicode) continue;
    if (attr.Values.empty()) continue;  // no value: nothing to take
    SetNameFromValue(attr, Files(index));  // Files raises the list's index error without a title
  }
}

void TTNEFReader::ApplyNameProperty(const TMAPI_Attrs& attrs, std::uint16_t id, TTNEFFile& file) {
  for (const TMAPI_Attr& attr : attrs) {
    if (attr.PropId != id || attr.Values.empty()) continue;
    if (attr.PropType == PropType::String8 || attr.PropType == PropType::Unicode)
      SetNameFromValue(attr, file);
  }
}

void TTNEFReader::SetNameFromValue(const TMAPI_Attr& attr, TTNEFFile& file) {
  const auto& value = attr.Values.front();
  const std::string_view bytes(reinterpret_cast<const char*>(value.data()), value.size());
  if (attr.PropType == PropType::String8) {
    file.FFileName = std::string(UpToNul(bytes));
    file.FFileNameIsUtf8 = false;
  } else {
    file.FFileName = Utf16LeToUtf8(bytes);
    file.FFileNameIsUtf8 = true;
  }
}

void TTNEFReader::ApplyAttachmentFacts(const TMAPI_Attrs& attrs, TTNEFFile& file) {
  for (const TMAPI_Attr& attr : attrs) {
    if (attr.PropId == kPropIdAttachMethod && attr.PropType == PropType::Long &&
        !attr.Values.empty() && attr.Values.front().size() == 4) {
      const auto& v = attr.Values.front();
      file.FAttachMethod = static_cast<std::uint32_t>(v[0] | v[1] << 8 | v[2] << 16) |
                           static_cast<std::uint32_t>(v[3]) << 24;
    } else if (attr.PropId == kPropIdAttachContentId) {
      file.FContentId = FirstText(attr, CodePage());
      // Some writers keep the angle brackets of the MIME header.
      std::string& id = file.FContentId;
      if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
    } else if (attr.PropId == kPropIdAttachMimeTag) {
      file.FMimeTag = FirstText(attr, CodePage());
    }
  }
}

// PR_ATTACH_DATA_OBJ of an attached message: the interface id, then the message's own TNEF
// stream, which replaces the placeholder of attAttachData as the attachment's bytes.
void TTNEFReader::ApplyEmbeddedStream(const std::string& block, std::int64_t blockOffset,
                                      TTNEFFile& file) {
  try {
    ScanMessageProps(block, [&](std::uint32_t tag, std::string_view value) {
      if (tag != PropTag::AttachDataObj || file.FEmbedded) return;
      if (value.size() < kIidSize + 4 || LoadLe32(value, kIidSize) != kTnefSignature) return;
      file.FOffset = blockOffset + (value.data() - block.data()) + static_cast<std::int64_t>(kIidSize);
      file.FSize = static_cast<std::uint32_t>(value.size() - kIidSize);
      file.FHasData = true;
      file.FEmbedded = true;
    });
  } catch (const EReadError&) {
    // A block cut short: the stream, if found before the cut, stays.
  }
}
