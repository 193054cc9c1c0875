#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

#include <random>

// Windows has no mkdtemp: a random name, made only when it is not taken.
TTempDir::TTempDir() {
  std::mt19937_64 generator{std::random_device{}()};
  for (int attempt = 0; attempt < 100 && FPath.empty(); ++attempt) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("velquin-test-" + std::to_string(generator() % 1000000000));
    std::error_code ec;
    if (std::filesystem::create_directory(path, ec)) FPath = path.string();
  }
  if (FPath.empty()) throw std::runtime_error("cannot make a scratch folder");
}
#else
TTempDir::TTempDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/velquin-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  FPath = buffer.data();
}
#endif

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(FPath, ec);
}

std::string ReadFileBytes(const std::string& path) {
  // The path is UTF-8; on Windows a narrow name would be read in the ANSI code page.
  std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string CorpusDir() {
  std::string dir;
  if (const char* env = std::getenv("VELQUIN_CORPUS"); env && *env) dir = env;
#ifdef VELQUIN_DEFAULT_CORPUS
  if (dir.empty()) dir = VELQUIN_DEFAULT_CORPUS;
#endif
  return !dir.empty() && std::filesystem::exists(dir + "/INDEX.md") ? dir : std::string();
}

#ifdef _WIN32
bool IsSymlink(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(std::filesystem::path(path).wstring().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeSymlink(const std::string& target, const std::string& link) {
  const DWORD flags = (std::filesystem::is_directory(target) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) |
                      SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  const std::wstring from = std::filesystem::path(link).wstring();
  return ::CreateSymbolicLinkW(from.c_str(), std::filesystem::path(target).wstring().c_str(), flags) &&
         IsSymlink(link);
}
#else
bool IsSymlink(const std::string& path) { return std::filesystem::is_symlink(path); }

bool MakeSymlink(const std::string& target, const std::string& link) {
  std::error_code ec;
  std::filesystem::create_symlink(target, link, ec);
  return !ec;
}
#endif
