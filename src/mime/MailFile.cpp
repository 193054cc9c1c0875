// Walking a parsed mail for its TNEF parts and its other attachments. GMime does the MIME
// work (boundaries, encodings, RFC 2047 and RFC 2231 texts); this file only decides which
// part is which. The walk keeps its own stack, so no mail can make it recurse, and it goes
// no deeper than kMaxDepth parts.

#include "MailFile.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Exception.h"
#include "FileFormat.h"
#include "TNEFReaderConst.h"

namespace {

// Deeper parts are not looked at. Real mails nest a few levels (a forwarded mail inside a
// multipart/mixed inside a multipart/signed); GMime itself stops at about a thousand.
constexpr int kMaxDepth = 64;

void InitGMime() {
  static const bool initialized = [] {
    g_mime_init();
    return true;
  }();
  (void)initialized;
}

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

// Addresses joined by "; ", the way the reader joins the recipients of its own table.
std::string AddressLine(InternetAddressList* list) {
  std::string line;
  if (list == nullptr) return line;
  const int count = internet_address_list_length(list);
  for (int i = 0; i < count; ++i) {
    char* text = internet_address_to_string(internet_address_list_get_address(list, i), nullptr, FALSE);
    if (text != nullptr && *text != '\0') {
      if (!line.empty()) line += "; ";
      line += text;
    }
    g_free(text);
  }
  return line;
}

TCarrierHeaders HeadersOf(GMimeMessage* message) {
  TCarrierHeaders headers;
  headers.Subject = Text(g_mime_message_get_subject(message));
  headers.From = AddressLine(g_mime_message_get_from(message));
  headers.To = AddressLine(g_mime_message_get_to(message));
  headers.Cc = AddressLine(g_mime_message_get_cc(message));
  if (GDateTime* date = g_mime_message_get_date(message)) {
    int year = 0, month = 0, day = 0;
    g_date_time_get_ymd(date, &year, &month, &day);
    const auto value = EncodeDateTime(year, month, day, g_date_time_get_hour(date),
                                      g_date_time_get_minute(date), g_date_time_get_second(date));
    if (value) {
      headers.Date = *value;
      const long long offsetMinutes = g_date_time_get_utc_offset(date) / G_TIME_SPAN_MINUTE;
      const long long magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
      char zone[16];
      std::snprintf(zone, sizeof zone, " %c%02lld%02lld", offsetMinutes < 0 ? '-' : '+',
                    (magnitude / 60) % 100, magnitude % 60);
      headers.DateText = DateTimeToIso(*value) + zone;
    }
  }
  return headers;
}

std::string FileNameOf(GMimePart* part) { return Text(g_mime_part_get_filename(part)); }

// A TNEF part by its type, or by the names that senders give one under another type.
bool IsTnefPart(GMimePart* part) {
  GMimeContentType* type = g_mime_object_get_content_type(GMIME_OBJECT(part));
  if (type != nullptr && (g_mime_content_type_is_type(type, "application", "ms-tnef") ||
                          g_mime_content_type_is_type(type, "application", "vnd.ms-tnef")))
    return true;
  const std::string name = Lower(FileNameOf(part));
  return name == "winmail.dat" || name == "win.dat" ||
         (name.size() > 5 && name.compare(name.size() - 5, 5, ".tnef") == 0);
}

// A part the user would call an attachment: one marked so, one with a name, or anything
// that is not text. Unnamed inline text is the mail's own body (which the TNEF repeats).
bool IsAttachmentPart(GMimePart* part) {
  GMimeObject* object = GMIME_OBJECT(part);
  GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object);
  if (disposition != nullptr && g_mime_content_disposition_is_attachment(disposition)) return true;
  if (!FileNameOf(part).empty()) return true;
  GMimeContentType* type = g_mime_object_get_content_type(object);
  return type == nullptr || !g_mime_content_type_is_type(type, "text", "*");
}

std::string MimeTypeOf(GMimeObject* object) {
  GMimeContentType* type = g_mime_object_get_content_type(object);
  if (type == nullptr) return {};
  char* text = g_mime_content_type_get_mime_type(type);
  std::string result = Text(text);
  g_free(text);
  return result;
}

// Writes through the descriptor without taking it over.
class TFdStream {
public:
  explicit TFdStream(int fd) : FStream(g_mime_stream_fs_new(fd)) {
    g_mime_stream_fs_set_owner(GMIME_STREAM_FS(FStream), FALSE);
  }
  ~TFdStream() { g_object_unref(FStream); }
  TFdStream(const TFdStream&) = delete;
  TFdStream& operator=(const TFdStream&) = delete;
  GMimeStream* Get() const { return FStream; }
  bool Flush() const { return g_mime_stream_flush(FStream) == 0; }

private:
  GMimeStream* FStream;
};

// One mail with TNEF parts, kept while the file is open.
struct TKeptMail {
  GMimeMessage* Message = nullptr;  // a reference of ours
  std::vector<TMailAttachment> Attachments;
  std::vector<GMimeObject*> AttachmentObjects;  // parts, or message parts written whole
};

struct TParsedMail {
  GMimeStream* Stream = nullptr;
  bool Mailbox = false;
  int MailCount = 0;
  std::vector<TKeptMail> Mails;
  std::vector<TMailEntry> Entries;
  std::vector<GMimePart*> EntryParts;
  std::vector<int> EntryMails;  // index into Mails

  ~TParsedMail() {
    for (TKeptMail& mail : Mails) g_object_unref(mail.Message);
    if (Stream != nullptr) g_object_unref(Stream);
  }

  void Parse(TFileFormat format);
  void AddMail(GMimeMessage* message, int mailIndex);
};

}  // namespace

void TParsedMail::Parse(TFileFormat format) {
  Mailbox = format == TFileFormat::Mbox;
  GMimeParser* parser = g_mime_parser_new_with_stream(Stream);
  // The parser keeps each part's place in the stream instead of a copy of its bytes.
  g_mime_parser_set_persist_stream(parser, TRUE);
  g_mime_parser_set_format(parser, Mailbox ? GMIME_FORMAT_MBOX : GMIME_FORMAT_MESSAGE);
  for (;;) {
    const gint64 before = g_mime_parser_tell(parser);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    if (message == nullptr) break;
    AddMail(message, MailCount++);
    g_object_unref(message);
    // A mailbox goes on to its next "From " line; a parser that made no progress has
    // nothing more to give.
    if (!Mailbox || g_mime_parser_eos(parser) || g_mime_parser_tell(parser) <= before) break;
  }
  g_object_unref(parser);
  if (MailCount == 0) throw Exception(LoadResString(TStringId::InvalidFileFormat));
}

void TParsedMail::AddMail(GMimeMessage* root, int mailIndex) {
  // The mails met on the walk: the root and every attached one, with the mail around each.
  struct TMessageInfo {
    GMimeMessage* Message;
    int Parent;
    bool HasTnef;
  };
  struct TNode {
    GMimeObject* Object;
    int Message;
    int Depth;
  };
  // An attachment found on the walk; whether it is listed is known only at the end, when
  // it is clear which attached mails hold TNEF parts.
  struct TCandidate {
    GMimeObject* Object;
    int Message;
    int Nested;  // for an attached mail, its index in messages; -1 for a part
  };
  std::vector<TMessageInfo> messages{{root, -1, false}};
  std::vector<TCandidate> candidates;
  std::vector<std::pair<GMimePart*, int>> tnefParts;
  std::vector<TNode> stack{{g_mime_message_get_mime_part(root), 0, 0}};
  while (!stack.empty()) {
    const TNode node = stack.back();
    stack.pop_back();
    if (node.Object == nullptr || node.Depth > kMaxDepth) continue;
    if (GMIME_IS_MULTIPART(node.Object)) {
      GMimeMultipart* multipart = GMIME_MULTIPART(node.Object);
      // Pushed last to first, so they come off the stack in the mail's order.
      for (int i = g_mime_multipart_get_count(multipart) - 1; i >= 0; --i)
        stack.push_back({g_mime_multipart_get_part(multipart, i), node.Message, node.Depth + 1});
    } else if (GMIME_IS_MESSAGE_PART(node.Object)) {
      GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(node.Object));
      if (inner == nullptr) continue;
      const int index = static_cast<int>(messages.size());
      messages.push_back({inner, node.Message, false});
      candidates.push_back({node.Object, node.Message, index});
      stack.push_back({g_mime_message_get_mime_part(inner), index, node.Depth + 1});
    } else if (GMIME_IS_PART(node.Object)) {
      GMimePart* part = GMIME_PART(node.Object);
      if (IsTnefPart(part)) {
        tnefParts.emplace_back(part, node.Message);
        // Every mail around it holds a TNEF part now; stop at one already marked, so the
        // marking costs one step per mail in all.
        for (int m = node.Message; m >= 0 && !messages[static_cast<std::size_t>(m)].HasTnef;
             m = messages[static_cast<std::size_t>(m)].Parent)
          messages[static_cast<std::size_t>(m)].HasTnef = true;
      } else if (IsAttachmentPart(part)) {
        candidates.push_back({node.Object, node.Message, -1});
      }
    }
  }
  if (tnefParts.empty()) return;

  TKeptMail kept;
  kept.Message = root;
  g_object_ref(root);
  for (const TCandidate& candidate : candidates) {
    // Listed: what sits in the root mail or in an attached mail that holds a TNEF part
    // (whose other parts are the user's too). An attached mail without one is listed as
    // one file, the mail itself.
    if (candidate.Message != 0 && !messages[static_cast<std::size_t>(candidate.Message)].HasTnef) continue;
    if (candidate.Nested >= 0) {
      const TMessageInfo& nested = messages[static_cast<std::size_t>(candidate.Nested)];
      if (nested.HasTnef) continue;
      const std::string subject = Text(g_mime_message_get_subject(nested.Message));
      kept.Attachments.push_back({subject.empty() ? std::string() : subject + ".eml", "message/rfc822"});
    } else {
      kept.Attachments.push_back({FileNameOf(GMIME_PART(candidate.Object)), MimeTypeOf(candidate.Object)});
    }
    kept.AttachmentObjects.push_back(candidate.Object);
  }
  const int keptIndex = static_cast<int>(Mails.size());
  Mails.push_back(std::move(kept));

  const int parts = static_cast<int>(tnefParts.size());
  for (int i = 0; i < parts; ++i) {
    const auto& [part, message] = tnefParts[static_cast<std::size_t>(i)];
    TMailEntry entry;
    entry.Mail = mailIndex;
    entry.PartInMail = i;
    entry.PartsInMail = parts;
    entry.PartName = FileNameOf(part);
    entry.Headers = HeadersOf(messages[static_cast<std::size_t>(message)].Message);
    Entries.push_back(std::move(entry));
    EntryParts.push_back(part);
    EntryMails.push_back(keptIndex);
  }
}

namespace {

// The file's mails as GMime parsed them, kept until the file is closed.
class TGMimeMailFile final : public TMailFile {
public:
  TGMimeMailFile() { InitGMime(); }

  TParsedMail FImpl;

  bool IsMailbox() const override { return FImpl.Mailbox; }
  int MailCount() const override { return FImpl.MailCount; }
  int Count() const override { return static_cast<int>(FImpl.Entries.size()); }

  const TMailEntry& Entry(int index) const override {
    if (index < 0 || index >= Count())
      throw EListError(FormatRes(TStringId::ListIndexError, {Arg(index)}));
    return FImpl.Entries[static_cast<std::size_t>(index)];
  }

  const std::vector<TMailAttachment>& Attachments(int entry) const override {
    Entry(entry);
    return FImpl.Mails[static_cast<std::size_t>(FImpl.EntryMails[static_cast<std::size_t>(entry)])].Attachments;
  }

  bool WriteTnefPart(int entry, int fd) const override {
    Entry(entry);
    GMimeDataWrapper* content = g_mime_part_get_content(FImpl.EntryParts[static_cast<std::size_t>(entry)]);
    if (content == nullptr) return true;  // a part with no body: an empty stream
    const TFdStream out(fd);
    return g_mime_data_wrapper_write_to_stream(content, out.Get()) >= 0 && out.Flush();
  }

  bool WriteAttachment(int entry, int index, int fd) const override {
    Entry(entry);
    const std::size_t mail = static_cast<std::size_t>(FImpl.EntryMails[static_cast<std::size_t>(entry)]);
    const auto& objects = FImpl.Mails[mail].AttachmentObjects;
    if (index < 0 || static_cast<std::size_t>(index) >= objects.size())
      throw EListError(FormatRes(TStringId::ListIndexError, {Arg(index)}));
    GMimeObject* object = objects[static_cast<std::size_t>(index)];
    const TFdStream out(fd);
    if (GMIME_IS_MESSAGE_PART(object)) {
      // An attached mail is saved whole, as the .eml file it was.
      GMimeMessage* message = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
      return message == nullptr ||
             (g_mime_object_write_to_stream(GMIME_OBJECT(message), nullptr, out.Get()) >= 0 && out.Flush());
    }
    GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object));
    if (content == nullptr) return true;
    return g_mime_data_wrapper_write_to_stream(content, out.Get()) >= 0 && out.Flush();
  }
};

}  // namespace

std::unique_ptr<TMailFile> TMailFile::Open(const std::string& path) {
  const TFileFormat format = DetectFileFormatOfFile(path);
  auto file = std::make_unique<TGMimeMailFile>();
  file->FImpl.Stream = g_mime_stream_fs_new(OpenFileForParsing(path));  // takes the descriptor
  file->FImpl.Parse(format);
  return file;
}

std::unique_ptr<TMailFile> TMailFile::FromBytes(std::string_view bytes) {
  auto file = std::make_unique<TGMimeMailFile>();
  file->FImpl.Stream = g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size());
  file->FImpl.Parse(DetectFileFormat(bytes.substr(0, 4096)));
  return file;
}
