#include "DesktopAssociation.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
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

// The lines of the [Default Applications] sections that set mimeType, and the first section
// header's index (npos when there is no such section). Desktops read such a file as a key
// file, where a key given twice takes its last value: the last line is the one in force.
struct TDefaultLines {
  std::size_t Header = std::string::npos;
  std::vector<std::size_t> Lines;
  std::size_t InForce() const { return Lines.empty() ? std::string::npos : Lines.back(); }
};

TDefaultLines FindDefaultLines(const std::vector<std::string>& lines, const std::string& mimeType) {
  TDefaultLines found;
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
    if (eq != std::string::npos && Trim(lines[i].substr(0, eq)) == mimeType) found.Lines.push_back(i);
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

bool IsOurEntry(const std::string& path) {
  for (const std::string& line : SplitLines(ReadAll(path)))
    if (Trim(line) == kOwnEntryMarker) return true;
  return false;
}

// Removes the user-level entry if we wrote it; a file of that name without the marker line is
// someone else's.
void RemoveOwnUserEntry() {
  const std::string desktopFile = DesktopFilePath();
  if (IsOurEntry(desktopFile) && std::remove(desktopFile.c_str()) != 0 && errno != ENOENT)
    WriteFailed(desktopFile);
}

extern "C" char** environ;

// Runs "xdg-mime default desktopId mimeType" (found on PATH, no shell, output discarded):
// its exit status, or nullopt when the tool is not installed.
std::optional<int> RunXdgMimeDefault(const std::string& desktopId, const std::string& mimeType) {
  std::string program = "xdg-mime", verb = "default", id = desktopId, type = mimeType;
  char* argv[] = {program.data(), verb.data(), id.data(), type.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "xdg-mime", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes desktopId the default for the TNEF type: through xdg-mime, which knows the desktop's
// own way; by our own edit of mimeapps.list only where xdg-mime is not installed. Either way
// the result is read back, since xdg-mime does not always report a failed write.
void SetDefaultHandler(const std::string& desktopId) {
  const std::string mimeApps = MimeAppsPath();
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(mimeApps).parent_path(), ec);
  if (ec) WriteFailed(mimeApps);
  const std::optional<int> status = RunXdgMimeDefault(desktopId, kTnefMimeType);
  if (!status) {
    const std::string before = ReadAll(mimeApps);
    const std::string after = WithDefaultHandler(before, kTnefMimeType, desktopId);
    if (after != before || ::access(mimeApps.c_str(), F_OK) != 0) WriteAtomically(mimeApps, after);
  }
  if (FirstDefaultHandler(ReadAll(mimeApps), kTnefMimeType) != desktopId) {
    errno = EIO;
    WriteFailed(mimeApps);
  }
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
         "Icon=io.github.velquin.Reader\n"
         "Terminal=false\n"
         "NoDisplay=true\n" +
         kOwnEntryMarker + "\n";
}

std::string WithDefaultHandler(const std::string& text, const std::string& mimeType,
                               const std::string& desktopId) {
  std::vector<std::string> lines = SplitLines(text);
  const bool finalNewline = text.empty() || text.back() == '\n';
  const TDefaultLines found = FindDefaultLines(lines, mimeType);
  if (found.InForce() != std::string::npos) {
    std::string& line = lines[found.InForce()];
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
  const TDefaultLines found = FindDefaultLines(lines, mimeType);
  bool changed = false;
  // Last first, so that erasing a line keeps the earlier indexes valid.
  for (auto it = found.Lines.rbegin(); it != found.Lines.rend(); ++it) {
    std::string& line = lines[*it];
    const auto eq = line.find('=');
    bool removed = false;
    const std::string rest = RemoveEntry(line.substr(eq + 1), desktopId, &removed);
    if (!removed) continue;
    changed = true;
    if (Trim(rest).find_first_not_of(';') == std::string::npos)
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*it));
    else
      line = line.substr(0, eq + 1) + rest;
  }
  if (!changed) return text;
  return JoinLines(lines, text.empty() || text.back() == '\n');
}

std::string FirstDefaultHandler(const std::string& text, const std::string& mimeType) {
  const std::vector<std::string> lines = SplitLines(text);
  const TDefaultLines found = FindDefaultLines(lines, mimeType);
  if (found.InForce() == std::string::npos) return "";
  const std::string& line = lines[found.InForce()];
  const std::string list = line.substr(line.find('=') + 1);
  return Trim(list.substr(0, list.find(';')));
}

std::string InstalledDesktopEntryPath() {
  const char* env = std::getenv("XDG_DATA_DIRS");
  const std::string dirs = env != nullptr && *env != '\0' ? env : "/usr/local/share:/usr/share";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    auto colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    const std::string dir = dirs.substr(start, colon - start);
    // Relative entries are ignored, as the base-directory rules say.
    if (!dir.empty() && dir.front() == '/') {
      const std::string path = dir + "/applications/" + kInstalledDesktopId;
      if (::access(path.c_str(), R_OK) == 0) return path;
    }
    start = colon + 1;
  }
  return "";
}

void RegisterDesktopAssociation(const std::string& executablePath) {
  if (!InstalledDesktopEntryPath().empty()) {
    // The installed entry has the icon and the menu name; an entry of ours from before the
    // installation would only stand beside it in "Open with" lists.
    RemoveOwnUserEntry();
    SetDefaultHandler(kInstalledDesktopId);
    return;
  }
  WriteAtomically(DesktopFilePath(), DesktopEntryText(executablePath));
  SetDefaultHandler(kDesktopFileName);
}

void UnregisterDesktopAssociation() {
  const std::string mimeApps = MimeAppsPath();
  const std::string before = ReadAll(mimeApps);
  std::string after = WithoutDefaultHandler(before, kTnefMimeType, kDesktopFileName);
  after = WithoutDefaultHandler(after, kTnefMimeType, kInstalledDesktopId);
  if (after != before) WriteAtomically(mimeApps, after);
  RemoveOwnUserEntry();
}
