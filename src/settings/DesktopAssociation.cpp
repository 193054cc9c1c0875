#include "DesktopAssociation.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "Exception.h"
#include "StoreLocations.h"
#include "TNEFReaderConst.h"

namespace {

const char* const kDefaultSection = "[Default Applications]";

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto nl = text.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, bool finalNewline) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += lines[i];
    if (i + 1 < lines.size() || finalNewline) out += '\n';
  }
  return out;
}

// The line of the [Default Applications] section that sets mimeType: its index, or the
// section header's index (found == false), or lines.size() when there is no such section.
struct TDefaultLine {
  std::size_t Header = std::string::npos;
  std::size_t Line = std::string::npos;
};

TDefaultLine FindDefaultLine(const std::vector<std::string>& lines, const std::string& mimeType) {
  TDefaultLine found;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string t = Trim(lines[i]);
    if (!t.empty() && t.front() == '[') {
      inSection = t == kDefaultSection;
      if (inSection && found.Header == std::string::npos) found.Header = i;
      continue;
    }
    if (!inSection) continue;
    const auto eq = lines[i].find('=');
    if (eq != std::string::npos && Trim(lines[i].substr(0, eq)) == mimeType) {
      found.Line = i;
      return found;
    }
  }
  return found;
}

// The list text with every "desktopId" entry (and its ";") taken out, the rest as written.
std::string RemoveEntry(const std::string& list, const std::string& desktopId, bool* removed) {
  std::string out;
  std::size_t start = 0;
  while (start <= list.size()) {
    auto semi = list.find(';', start);
    const bool last = semi == std::string::npos;
    if (last) semi = list.size();
    const std::string entry = list.substr(start, semi - start);
    if (Trim(entry) == desktopId) {
      *removed = true;
    } else {
      out += entry;
      if (!last) out += ';';
    }
    if (last) break;
    start = semi + 1;
  }
  return out;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

[[noreturn]] void WriteFailed(const std::string& path) {
  throw EFileError(FormatRes(TStringId::FileWriteError, {Arg(path), Arg(std::strerror(errno))}));
}

// Replaces path by text through a temporary file in the same folder, so a crash leaves
// either the old file or the new one, never half of it.
void WriteAtomically(const std::string& path, const std::string& text) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  const std::string temp = path + ".velquin-tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) WriteFailed(path);
    out << text;
    out.flush();
    if (!out) {
      std::filesystem::remove(temp, ec);
      WriteFailed(path);
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::filesystem::remove(temp, ec);
    WriteFailed(path);
  }
}

std::string MimeAppsPath() {
  const std::string home = UserConfigHome();
  if (home.empty()) throw EFileError(FormatRes(TStringId::FileWriteError, {Arg("mimeapps.list"), Arg("")}));
  return home + "/mimeapps.list";
}

std::string DesktopFilePath() {
  const std::string data = UserDataHome();
  if (data.empty()) throw EFileError(FormatRes(TStringId::FileWriteError, {Arg(kDesktopFileName), Arg("")}));
  return data + "/applications/" + kDesktopFileName;
}

}  // namespace

std::string DesktopExecArgument(const std::string& path) {
  static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string arg;
  if (path.find_first_of(reserved) == std::string::npos) {
    arg = path;
  } else {
    arg = "\"";
    for (char c : path) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
      arg += c;
    }
    arg += '"';
  }
  // Then the escapes of every desktop-entry string value, and "%" doubled so that it is not
  // taken for a field code.
  std::string value;
  for (char c : arg) {
    switch (c) {
      case '\\': value += "\\\\"; break;
      case '\n': value += "\\n"; break;
      case '\t': value += "\\t"; break;
      case '\r': value += "\\r"; break;
      case '%': value += "%%"; break;
      default: value += c;
    }
  }
  return value;
}

std::string DesktopEntryText(const std::string& executablePath) {
  // NoDisplay: this entry exists for the association; the menu entry is the installed one.
  return std::string("[Desktop Entry]\n"
                     "Type=Application\n"
                     "Name=Velquin Reader\n"
                     "Comment=Open TNEF (winmail.dat) files\n"
                     "Exec=") +
         DesktopExecArgument(executablePath) +
         " %f\n"
         "MimeType=application/vnd.ms-tnef;\n"
         "Terminal=false\n"
         "NoDisplay=true\n" +
         kOwnEntryMarker + "\n";
}

std::string WithDefaultHandler(const std::string& text, const std::string& mimeType,
                               const std::string& desktopId) {
  std::vector<std::string> lines = SplitLines(text);
  const bool finalNewline = text.empty() || text.back() == '\n';
  const TDefaultLine found = FindDefaultLine(lines, mimeType);
  if (found.Line != std::string::npos) {
    std::string& line = lines[found.Line];
    const auto eq = line.find('=');
    bool removed = false;
    const std::string rest = RemoveEntry(line.substr(eq + 1), desktopId, &removed);
    line = line.substr(0, eq + 1) + desktopId + ";" + rest;
  } else if (found.Header != std::string::npos) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found.Header) + 1,
                 mimeType + "=" + desktopId + ";");
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
    lines.push_back(kDefaultSection);
    lines.push_back(mimeType + "=" + desktopId + ";");
  }
  return JoinLines(lines, finalNewline);
}

std::string WithoutDefaultHandler(const std::string& text, const std::string& mimeType,
                                  const std::string& desktopId) {
  std::vector<std::string> lines = SplitLines(text);
  const TDefaultLine found = FindDefaultLine(lines, mimeType);
  if (found.Line == std::string::npos) return text;
  std::string& line = lines[found.Line];
  const auto eq = line.find('=');
  bool removed = false;
  const std::string rest = RemoveEntry(line.substr(eq + 1), desktopId, &removed);
  if (!removed) return text;
  if (Trim(rest).find_first_not_of(';') == std::string::npos)
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found.Line));
  else
    line = line.substr(0, eq + 1) + rest;
  return JoinLines(lines, text.empty() || text.back() == '\n');
}

void RegisterDesktopAssociation(const std::string& executablePath) {
  const std::string desktopFile = DesktopFilePath();
  const std::string mimeApps = MimeAppsPath();
  WriteAtomically(desktopFile, DesktopEntryText(executablePath));
  const std::string before = ReadAll(mimeApps);
  const std::string after = WithDefaultHandler(before, kTnefMimeType, kDesktopFileName);
  if (after != before || ::access(mimeApps.c_str(), F_OK) != 0) WriteAtomically(mimeApps, after);
}

void UnregisterDesktopAssociation() {
  const std::string mimeApps = MimeAppsPath();
  const std::string before = ReadAll(mimeApps);
  const std::string after = WithoutDefaultHandler(before, kTnefMimeType, kDesktopFileName);
  if (after != before) WriteAtomically(mimeApps, after);

  const std::string desktopFile = DesktopFilePath();
  // A file of that name that we did not write (no marker line) is someone else's.
  for (const std::string& line : SplitLines(ReadAll(desktopFile)))
    if (Trim(line) == kOwnEntryMarker) {
      if (std::remove(desktopFile.c_str()) != 0 && errno != ENOENT) WriteFailed(desktopFile);
      break;
    }
}
