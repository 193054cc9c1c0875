// Writes the benchmark inputs into a folder:
//   big.tnef           three 300 MB attachments and an RTF body
//   body.tnef          a 20 MB RTF body (compressed to about a third)
//   body-untagged.tnef the same bytes with the body under a tag nobody decodes
//   many.tnef          2000 small attachments
//   same-name.tnef     100 000 small attachments that are all called image001.png
// Large data is streamed to disk, never held whole in memory.

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "../BenchBodies.h"
#include "TnefBuilder.h"

using namespace tb;
using bench::MakeRtf;

namespace {

class TWriter {
public:
  explicit TWriter(const std::string& path) : FFile(std::fopen(path.c_str(), "wb")) {
    if (!FFile) throw std::runtime_error("cannot write " + path);
    Put(Le32(0x223E9F78) + Le16(1));
  }
  ~TWriter() { std::fclose(FFile); }
  void Put(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), FFile); }
  void Attr(std::uint8_t level, std::uint32_t id, const std::string& data) {
    Put(std::string(1, static_cast<char>(level)) + Le32(id) + Le32(static_cast<std::uint32_t>(data.size())));
    Put(data);
    Put(Le16(Sum(data)));
  }
  // An attachment-data attribute of size pseudo-random bytes, streamed in blocks.
  void StreamedData(std::uint64_t size, std::uint32_t seed) {
    Put(std::string(1, '\x02') + Le32(0x0006800F) + Le32(static_cast<std::uint32_t>(size)));
    std::vector<std::uint32_t> block(1 << 18);
    std::uint32_t x = seed | 1, sum = 0;
    for (std::uint64_t done = 0; done < size;) {
      for (auto& v : block) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        v = x;
      }
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, block.size() * 4));
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.data());
      for (std::size_t i = 0; i < n; ++i) sum += bytes[i];
      std::fwrite(block.data(), 1, n, FFile);
      done += n;
    }
    Put(Le16(static_cast<std::uint16_t>(sum)));
  }

private:
  static std::uint16_t Sum(const std::string& s) {
    std::uint16_t sum = 0;
    for (char c : s) sum = static_cast<std::uint16_t>(sum + static_cast<std::uint8_t>(c));
    return sum;
  }
  std::FILE* FFile;
};

void Message(TWriter& w, const std::string& subject, std::uint32_t bodyTag, const std::string& rtf) {
  w.Attr(1, 0x00089006, Le32(0x00010000));
  w.Attr(1, 0x00069007, Le32(1252) + Le32(0));
  w.Attr(1, 0x00018004, subject + '\0');
  w.Attr(1, 0x00069003,
         PropBlock().String8(0x0C1A, "Bench Sender").Binary(static_cast<std::uint16_t>(bodyTag >> 16), Lzfu(rtf)).Bytes());
}

void Attachment(TWriter& w, const std::string& name, std::uint64_t size, std::uint32_t seed) {
  w.Attr(2, 0x00069002, std::string(14, '\x01'));
  w.Attr(2, 0x00018010, name + '\0');
  w.StreamedData(size, seed);
  w.Attr(2, 0x00069005, PropBlock().String8(0x3707, name).Long(0x0E20, static_cast<std::uint32_t>(size)).Bytes());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velquin_make_bench_files FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::string smallRtf = MakeRtf(64 * 1024);
  {
    TWriter w(dir + "/big.tnef");
    Message(w, "Three large attachments", 0x10090102, smallRtf);
    for (int i = 0; i < 3; ++i) Attachment(w, "video-" + std::to_string(i + 1) + ".bin", 300u * 1000 * 1000, 7u + i);
  }
  const std::string bigRtf = MakeRtf(20u * 1000 * 1000);
  {
    TWriter w(dir + "/body.tnef");
    Message(w, "A long body", 0x10090102, bigRtf);
  }
  {
    TWriter w(dir + "/body-untagged.tnef");
    Message(w, "A long body", 0x7FF00102, bigRtf);  // a tag no reader decodes
  }
  {
    TWriter w(dir + "/many.tnef");
    Message(w, "Many small attachments", 0x10090102, smallRtf);
    for (int i = 0; i < 2000; ++i)
      Attachment(w, "file-" + std::to_string(i) + ".txt", 200 + (i * 37) % 3000, 100u + i);
  }
  {
    TWriter w(dir + "/same-name.tnef");
    Message(w, "One name a hundred thousand times", 0x10090102, smallRtf);
    for (int i = 0; i < 100000; ++i) Attachment(w, "image001.png", 16, 5000u + i);
  }
  return 0;
}
