#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include <cstdlib>

#ifdef _WIN32
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
