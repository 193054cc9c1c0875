#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include <cstdlib>

TTempDir::TTempDir() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/velquin-test-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  FPath = buffer.data();
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(FPath, ec);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
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
