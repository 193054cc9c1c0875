#include "TnefTool.h"

#include <iostream>
#include <memory>
#include <optional>

#include "CalendarText.h"
#include "FileCopy.h"
#include "FileFormat.h"
#include "Json.h"
#include "MailDocument.h"
#include "MessageBody.h"
#include "SafeFileName.h"
#include "SaveAllNames.h"
#include "StdinSpool.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"
#include "TerminalText.h"
#include "ToolMail.h"

#ifndef VELQUIN_VERSION
#define VELQUIN_VERSION "0"
#endif

namespace {

struct TOptions {
  std::string Command;
  std::vector<std::string> Operands;
  bool Json = false;
  bool Overwrite = false;
  std::string BodyFormat;  // "html" or "text" for body --html / --text; empty: the raw body
  std::vector<int> AttachmentPath;  // --attachment N/M/...: the embedded message to work on
  int Part = 0;  // --part N: which TNEF part of a mail or mailbox (from 1); 0: not given
};

// Where the reader's stream came from when the file is a mail: which of its TNEF parts
// (from 1, of Parts) and the headers of the mail around it.
struct TMailOrigin {
  int Part = 0;
  int Parts = 0;
  TCarrierHeaders Headers;
};

// "--part N": a number from 1; 0 when the text is not one.
int ParsePartNumber(const std::string& text) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return std::stoi(text);
}

// "2" or "2/1": attachment numbers as list prints them (from 1), each an embedded message
// inside the one before. Empty when the text is not such a path.
std::vector<int> ParseAttachmentPath(const std::string& text) {
  std::vector<int> path;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('/', start), text.size());
    const std::string part = text.substr(start, end - start);
    if (part.empty() || part.size() > 6 || part.find_first_not_of("0123456789") != std::string::npos)
      return {};
    const int n = std::stoi(part);
    if (n < 1) return {};
    path.push_back(n);
    start = end + 1;
  }
  return path;
}

const char* BodyKindName(TBodyKind kind) {
  switch (kind) {
    case TBodyKind::Rtf: return "rtf";
    case TBodyKind::Html: return "html";
    case TBodyKind::Text: return "text";
    default: return "none";
  }
}

std::string BaseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One line on standard error. The shared message texts break lines the Windows way, which
// a terminal or a log shows as stray carriage returns.
void ErrorLine(std::ostream& err, const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) line += text[i];
  err << line << "\n";
}

// A field of the file for people: one line, nothing a terminal would act on.
std::string Field(const std::string& text) { return TextForTerminal(text, TLineBreaks::Escape); }

// JSON: a missing text is null rather than an empty string.
std::string JsonOrNull(const std::string& text) { return text.empty() ? "null" : JsonString(text); }

// RFC 3339. The file records the sender's clock with no zone, so the offset is the
// "unknown" one, -00:00.
std::string JsonDate(TDateTime value) {
  std::string iso = DateTimeToIso(value);
  if (iso.empty()) return "null";
  iso[10] = 'T';
  return JsonString(iso + "-00:00");
}

void JsonAttachments(const TTNEFReader& reader, std::ostream& out) {
  out << "[";
  for (int i = 0; i < reader.Count(); ++i) {
    const TTNEFFile& file = reader.Files(i);
    out << (i ? "," : "") << "{\"size\":" << file.Size()
        << ",\"name\":" << JsonOrNull(file.DisplayName()) << "}";
  }
  out << "]";
}

int Usage(std::ostream& err, const std::string& problem) {
  if (!problem.empty()) err << problem << "\n\n";
  err << LoadResString(TStringId::CliUsage);
  return 2;
}

// Opens the file by its content, or prints why it cannot and returns nothing: a TNEF
// stream as it is, a mail or a mailbox through TNEF part `part` (from 1; 0: the only one),
// filling origin. "-" is standard input, read through a spooled copy that spool keeps.
std::unique_ptr<TTNEFReader> OpenReader(const std::string& path, int part, std::istream& in,
                                        std::optional<TStdinSpool>& spool,
                                        std::optional<TMailOrigin>& origin, std::ostream& err) {
  try {
    std::string file = path;
    if (path == "-") {
      spool.emplace(in);
      file = spool->Path();
    }
    const TFileFormat format = DetectFileFormatOfFile(file);
    if (format != TFileFormat::Mail && format != TFileFormat::Mbox) {
      if (part > 1) {
        ErrorLine(err, FormatRes(TStringId::CliNoSuchPart, {Arg(part), Arg(1)}));
        return nullptr;
      }
      return std::make_unique<TTNEFReader>(file, "");
    }
    const std::unique_ptr<TMailFile> opened = OpenToolMailFile(file);
    const TMailFile& mail = *opened;
    if (mail.Count() == 0) throw Exception(LoadResString(TStringId::MailHasNoTnef));
    if (part > mail.Count()) {
      ErrorLine(err, FormatRes(TStringId::CliNoSuchPart, {Arg(part), Arg(mail.Count())}));
      return nullptr;
    }
    if (part == 0 && mail.Count() > 1) {
      ErrorLine(err, FormatRes(TStringId::CliChoosePart, {Arg(mail.Count())}));
      return nullptr;
    }
    const int entry = part == 0 ? 0 : part - 1;
    auto reader = OpenMailEntry(mail, entry, "");
    origin = TMailOrigin{entry + 1, mail.Count(), mail.Entry(entry).Headers};
    return reader;
  } catch (const std::exception& e) {
    ErrorLine(err, FormatRes(TStringId::ErrorReadingFile, {Arg(BaseName(path)), Arg(e.what())}));
    return nullptr;
  }
}

// One line per TNEF part of the file: its number for --part, then the subject, sender and
// date of the mail around it, tab-separated. A bare TNEF stream is one part.
int ListMail(const std::string& path, std::istream& in, bool json, std::ostream& out,
             std::ostream& err) {
  struct TLine {
    std::string Subject, From, Date;
  };
  std::vector<TLine> lines;
  try {
    std::optional<TStdinSpool> spool;
    std::string file = path;
    if (path == "-") {
      spool.emplace(in);
      file = spool->Path();
    }
    const TFileFormat format = DetectFileFormatOfFile(file);
    if (format == TFileFormat::Mail || format == TFileFormat::Mbox) {
      const std::unique_ptr<TMailFile> opened = OpenToolMailFile(file);
      const TMailFile& mail = *opened;
      for (int i = 0; i < mail.Count(); ++i) {
        const TMailEntry& entry = mail.Entry(i);
        std::string subject = entry.Headers.Subject;
        if (entry.PartsInMail > 1)
          subject += " (" + std::to_string(entry.PartInMail + 1) + "/" + std::to_string(entry.PartsInMail) + ")";
        lines.push_back({subject, entry.Headers.From, entry.Headers.DateText});
      }
    } else {
      const TTNEFReader reader(file, "");
      lines.push_back({reader.DisplaySubject(), reader.DisplayFrom(), DateTimeToIso(reader.DateSent())});
    }
  } catch (const std::exception& e) {
    ErrorLine(err, FormatRes(TStringId::ErrorReadingFile, {Arg(BaseName(path)), Arg(e.what())}));
    return 1;
  }
  if (json) out << "{\"parts\":[";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const TLine& line = lines[i];
    if (json)
      out << (i ? "," : "") << "{\"part\":" << i + 1 << ",\"subject\":" << JsonOrNull(line.Subject)
          << ",\"from\":" << JsonOrNull(line.From) << ",\"date\":" << JsonOrNull(line.Date) << "}";
    else
      out << i + 1 << '\t' << Field(line.Subject) << '\t' << Field(line.From) << '\t' << Field(line.Date) << '\n';
  }
  if (json) out << "]}\n";
  return 0;
}

// Follows the attachment path from the file's message down to the embedded message it
// names, or prints why it cannot and returns nothing.
std::unique_ptr<TTNEFReader> OpenEmbeddedPath(std::unique_ptr<TTNEFReader> reader,
                                              const std::vector<int>& path, std::ostream& err) {
  for (int number : path) {
    if (number > reader->Count() || !reader->Files(number - 1).IsEmbeddedMessage()) {
      err << FormatRes(TStringId::CliNotEmbeddedMessage, {Arg(number)}) << "\n";
      return nullptr;
    }
    try {
      reader = reader->OpenEmbedded(number - 1);
    } catch (const std::exception& e) {
      err << FormatRes(TStringId::ErrorReadingFile,
                       {Arg(BaseName(reader->FileName())), Arg(e.what())}) << "\n";
      return nullptr;
    }
  }
  return reader;
}

void Show(const TTNEFReader& reader, const std::optional<TMailOrigin>& origin, bool json,
          std::ostream& out) {
  const std::string subject = reader.DisplaySubject();
  const std::string from = reader.DisplayFrom();
  const std::size_t bodySize = reader.Body().size();
  const char* kind = BodyKindName(reader.BodyKind());
  const std::string to = reader.RecipientLine(TRecipientType::To);
  const std::string cc = reader.RecipientLine(TRecipientType::Cc);
  if (json) {
    out << "{\"subject\":" << JsonOrNull(subject) << ",\"from\":" << JsonOrNull(from)
        << ",\"to\":" << JsonOrNull(to) << ",\"cc\":" << JsonOrNull(cc)
        << ",\"class\":" << JsonOrNull(reader.MessageClass())
        << ",\"dateSent\":" << JsonDate(reader.DateSent()) << ",\"body\":{\"bytes\":" << bodySize
        << ",\"kind\":\"" << kind << "\"}";
    WriteCalendarJson(reader.Calendar(), out);
    out << ",\"attachments\":";
    JsonAttachments(reader, out);
    if (origin) {
      const TCarrierHeaders& mail = origin->Headers;
      out << ",\"mail\":{\"part\":" << origin->Part << ",\"parts\":" << origin->Parts
          << ",\"subject\":" << JsonOrNull(mail.Subject) << ",\"from\":" << JsonOrNull(mail.From)
          << ",\"to\":" << JsonOrNull(mail.To) << ",\"cc\":" << JsonOrNull(mail.Cc)
          << ",\"date\":" << JsonOrNull(mail.DateText) << "}";
    }
    out << "}\n";
    return;
  }
  if (origin) {
    // The carrying mail's own headers first; the lines after them are the message's, which
    // fall back to these where the TNEF stream has none.
    const TCarrierHeaders& mail = origin->Headers;
    out << "Mail part: " << origin->Part << " of " << origin->Parts << "\n"
        << "Mail From: " << Field(mail.From) << "\n"
        << "Mail To: " << Field(mail.To) << "\n"
        << "Mail Cc: " << Field(mail.Cc) << "\n"
        << "Mail Date: " << Field(mail.DateText) << "\n"
        << "Mail Subject: " << Field(mail.Subject) << "\n";
  }
  const std::string date = DateTimeToIso(reader.DateSent());
  out << "Subject: " << Field(subject) << "\n"
      << "From: " << Field(from) << "\n"
      << "To: " << Field(to) << "\n"
      << "Cc: " << Field(cc) << "\n"
      << "Class: " << Field(reader.MessageClass()) << "\n"
      << "Date sent: " << date << "\n"
      << "Body: " << bodySize << " bytes (" << kind << ")\n"
      << "Attachments: " << reader.Count() << "\n";
  WriteCalendarLines(reader.Calendar(), out, Field);
}

// The calendar item as iCalendar, or 1 and a message when the message carries none.
int Ics(TTNEFReader& reader, std::ostream& out, std::ostream& err) {
  if (!reader.Calendar().IsCalendarItem()) {
    ErrorLine(err, LoadResString(TStringId::CliNoCalendarItem));
    return 1;
  }
  // A writer that cannot make the item says why, as every other failure here does, rather
  // than ending the program.
  std::string ics;
  try {
    ics = ToolICalendar(reader.Calendar(), ConvertMessageBody(reader, TBodyOutputs::Text).Text,
                        DateTimeToUnix(reader.DateSent()));
  } catch (const std::exception& e) {
    ErrorLine(err, e.what());
    return 1;
  }
  out << ics;
  return 0;
}

void List(const TTNEFReader& reader, bool json, std::ostream& out) {
  if (json) {
    out << "{\"attachments\":";
    JsonAttachments(reader, out);
    out << "}\n";
    return;
  }
  for (int i = 0; i < reader.Count(); ++i) {
    const TTNEFFile& file = reader.Files(i);
    out << file.Size() << '\t' << Field(file.DisplayName()) << '\n';
  }
}

int Extract(TTNEFReader& reader, const std::string& directory, bool overwrite, std::ostream& out,
            std::ostream& err) {
  const std::string dir = directory.empty() ? "." : directory;
  const TCreateMode mode = overwrite ? TCreateMode::Replace : TCreateMode::Exclusive;
  TSaveAllNames names;
  int saved = 0;
  int status = 0;
  // One file that cannot be written (a name the target file system refuses, a full disk)
  // is reported and the others are still saved; the exit status tells that one failed.
  const auto saveOne = [&](const std::string& name, const auto& write) {
    try {
      if (write(JoinPath(dir, name)))
        ++saved;
      else
        ErrorLine(err, FormatRes(TStringId::CliKeptExisting, {Arg(Field(name))}));
    } catch (const std::exception& e) {
      ErrorLine(err, Field(e.what()));
      status = 1;
    }
  };
  // The body first, then the attachments in list order, as the viewer's Save all does.
  const std::string& body = reader.Body();
  saveOne(names.Claim(MessageTextFileName(reader.BodyKind())), [&](const std::string& path) {
    return WriteFileBytes(path, body.data(), body.size(), mode);
  });
  for (int i = 0; i < reader.Count(); ++i) {
    TTNEFFile& file = reader.Files(i);
    saveOne(names.Claim(file.SafeFileName()),
            [&](const std::string& path) { return file.SaveAs(path, mode); });
  }
  // The count of files written, also when some could not be.
  out << (saved == 1 ? LoadResString(TStringId::OneFileSaved)
                     : FormatRes(TStringId::FilesSaved, {Arg(saved)}))
      << "\n";
  return status;
}

// Everything written, or one line saying it was not (a full disk, a closed pipe).
int Finish(int status, std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return status;
  ErrorLine(err, LoadResString(TStringId::CliOutputFailed));
  return 1;
}

}  // namespace

int RunTnefTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunTnefTool(args, std::cin, out, err);
}

int RunTnefTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err) {
  TOptions options;
  bool operandsOnly = false;
  bool expectPath = false;
  bool expectPart = false;
  for (const std::string& arg : args) {
    if (expectPart) {
      expectPart = false;
      options.Part = ParsePartNumber(arg);
      if (options.Part < 1) return Usage(err, FormatRes(TStringId::CliUnknownCommand, {Arg(arg)}));
    } else if (expectPath) {
      expectPath = false;
      options.AttachmentPath = ParseAttachmentPath(arg);
      if (options.AttachmentPath.empty())
        return Usage(err, FormatRes(TStringId::CliUnknownCommand, {Arg(arg)}));
    } else if (!operandsOnly && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") operandsOnly = true;
      else if (arg == "--attachment") expectPath = true;
      else if (arg == "--part") expectPart = true;
      else if (arg == "--help" || arg == "-h") { out << LoadResString(TStringId::CliUsage); return Finish(0, out, err); }
      else if (arg == "--version") { out << "velquin-tnef " VELQUIN_VERSION "\n"; return Finish(0, out, err); }
      else if (arg == "--json") options.Json = true;
      else if (arg == "--overwrite") options.Overwrite = true;
      else if (arg == "--html" || arg == "--text") options.BodyFormat = arg.substr(2);
      else return Usage(err, FormatRes(TStringId::CliUnknownCommand, {Arg(arg)}));
    } else if (options.Command.empty()) {
      options.Command = arg;
    } else {
      options.Operands.push_back(arg);
    }
  }

  const std::string& command = options.Command;
  if (command.empty() || expectPath || expectPart) return Usage(err, "");
  const bool known = command == "show" || command == "list" || command == "body" ||
                     command == "extract" || command == "list-mail" || command == "ics";
  if (!known) return Usage(err, FormatRes(TStringId::CliUnknownCommand, {Arg(command)}));
  const std::size_t maxOperands = command == "extract" ? 2 : 1;
  if (options.Operands.empty() || options.Operands.size() > maxOperands) return Usage(err, "");
  if (options.Json && command != "show" && command != "list" && command != "list-mail")
    return Usage(err, "");
  if (command == "list-mail") {
    if (options.Part != 0 || !options.AttachmentPath.empty()) return Usage(err, "");
    return Finish(ListMail(options.Operands[0], in, options.Json, out, err), out, err);
  }
  if (options.Overwrite && command != "extract") return Usage(err, "");
  if (!options.BodyFormat.empty() && command != "body") return Usage(err, "");

  std::optional<TStdinSpool> spool;
  std::optional<TMailOrigin> origin;
  auto reader = OpenReader(options.Operands[0], options.Part, in, spool, origin, err);
  if (reader && !options.AttachmentPath.empty())
    reader = OpenEmbeddedPath(std::move(reader), options.AttachmentPath, err);
  if (!reader) return 1;
  if (command == "show") Show(*reader, options.AttachmentPath.empty() ? origin : std::nullopt, options.Json, out);
  else if (command == "list") List(*reader, options.Json, out);
  else if (command == "body" && !options.BodyFormat.empty()) {
    // What the message pane shows: the converted body, as sanitised HTML or as plain text.
    // Only the form asked for is built.
    const bool html = options.BodyFormat == "html";
    const TRtfConversion body = ConvertMessageBody(*reader, html ? TBodyOutputs::Html : TBodyOutputs::Text);
    if (html) out.write(body.Html.data(), static_cast<std::streamsize>(body.Html.size()));
    else out << TextForTerminal(body.Text, TLineBreaks::Keep);
  }
  else if (command == "ics") return Finish(Ics(*reader, out, err), out, err);
  else if (command == "body") out.write(reader->Body().data(), static_cast<std::streamsize>(reader->Body().size()));
  else return Finish(Extract(*reader, options.Operands.size() > 1 ? options.Operands[1] : "", options.Overwrite, out, err), out, err);
  return Finish(0, out, err);
}
