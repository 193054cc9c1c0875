#include "TnefBuilder.h"

#include <fstream>
#include <stdexcept>
#include <vector>

#include "CodePage.h"
#include "CompressedRtf.h"

namespace tb {

std::string Le16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
          static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

std::string Date(int year, int month, int day, int hour, int minute, int second, int dow) {
  std::string out;
  for (int v : {year, month, day, hour, minute, second, dow}) out += Le16(static_cast<std::uint16_t>(v));
  return out;
}

std::string Utf16(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<std::uint8_t>(utf8[i]);
    std::uint32_t cp;
    int extra;
    if (c < 0x80) { cp = c; extra = 0; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
    else { cp = c & 0x07; extra = 3; }
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3F);
    i += extra + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += Le16(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
      out += Le16(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out += Le16(static_cast<std::uint16_t>(cp));
    }
  }
  return out + Le16(0);
}

// ---- PropBlock ----

PropBlock& PropBlock::Fixed(std::uint16_t type, std::uint16_t id, const std::string& bytes) {
  FBody += Le16(type) + Le16(id) + bytes;
  ++FProps;
  return *this;
}

PropBlock& PropBlock::Counted(std::uint16_t type, std::uint16_t id,
                              const std::vector<std::string>& values) {
  FBody += Le16(type) + Le16(id) + Le32(static_cast<std::uint32_t>(values.size()));
  for (const auto& v : values) {
    FBody += Le32(static_cast<std::uint32_t>(v.size())) + v;
    FBody += std::string((4 - v.size() % 4) % 4, '\0');
  }
  ++FProps;
  return *this;
}

const std::string kPsetidAppointment("\x02\x20\x06\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
const std::string kPsetidTask("\x03\x20\x06\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
const std::string kPsetidMeeting("\x90\xDA\xD8\x6E\x0B\x45\x1B\x10\x98\xDA\x00\xAA\x00\x3F\x13\x05", 16);

std::string PropBlock::CountedValue(const std::string& bytes) {
  return Le32(1) + Le32(static_cast<std::uint32_t>(bytes.size())) + bytes +
         std::string((4 - bytes.size() % 4) % 4, '\0');
}

PropBlock& PropBlock::Named(std::uint16_t type, const std::string& guid, std::uint32_t lid,
                            const std::string& value) {
  // Ids from 0x8000 are the file's own numbering of its named properties.
  FBody += Le16(type) + Le16(static_cast<std::uint16_t>(0x8000 + FProps)) + guid + Le32(0) + Le32(lid) + value;
  ++FProps;
  return *this;
}

PropBlock& PropBlock::NamedTime(const std::string& guid, std::uint32_t lid, std::int64_t unixTime) {
  const std::uint64_t ticks = static_cast<std::uint64_t>(unixTime + 11644473600LL) * 10000000ULL;
  return Named(0x0040, guid, lid, Le32(static_cast<std::uint32_t>(ticks)) + Le32(static_cast<std::uint32_t>(ticks >> 32)));
}

PropBlock& PropBlock::Raw(const std::string& bytes) {
  FBody += bytes;
  return *this;
}

PropBlock& PropBlock::Count(std::int32_t count) {
  FCount = count;
  return *this;
}

std::string PropBlock::Bytes() const {
  return Le32(static_cast<std::uint32_t>(FCount.value_or(FProps))) + FBody;
}

// ---- compressed RTF ----

namespace {

// The format's CRC-32 over the token bytes: the usual polynomial, no pre- or post-inversion.
std::uint32_t RtfCrc(const std::string& data) {
  static const auto table = [] {
    std::vector<std::uint32_t> t(256);
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0;
  for (char ch : data) crc = table[(crc ^ static_cast<std::uint8_t>(ch)) & 0xFF] ^ (crc >> 8);
  return crc;
}

}  // namespace

std::string RtfValue(std::uint32_t rawSize, std::uint32_t compType, const std::string& data,
                     std::optional<std::uint32_t> compSize, std::uint32_t crc) {
  const auto size = compSize.value_or(static_cast<std::uint32_t>(data.size() + 12));
  return Le32(size) + Le32(rawSize) + Le32(compType) + Le32(crc) + data;
}

std::string Mela(const std::string& rtf) {
  return RtfValue(static_cast<std::uint32_t>(rtf.size()), kCompTypeStored, rtf);
}

std::string LzfuLiterals(const std::string& rtf) {
  std::string data;
  for (std::size_t i = 0; i < rtf.size(); i += 8) {
    data += '\0';
    data += rtf.substr(i, 8);
  }
  return RtfValue(static_cast<std::uint32_t>(rtf.size()), kCompTypeCompressed, data, {},
                  RtfCrc(data));
}

std::string Lzfu(const std::string& rtf) {
  // Greedy matching against the preset plus everything written, within the last 4095 bytes.
  std::string buffer(RtfPresetDictionary());
  const std::size_t start = buffer.size();
  buffer += rtf;
  // Chains of earlier positions by their first two bytes.
  std::vector<int> head(65536, -1);
  std::vector<int> prev(buffer.size(), -1);
  auto key = [&](std::size_t p) {
    return (static_cast<std::uint8_t>(buffer[p]) << 8) | static_cast<std::uint8_t>(buffer[p + 1]);
  };
  auto insert = [&](std::size_t p) {
    if (p + 1 < buffer.size()) {
      prev[p] = head[key(p)];
      head[key(p)] = static_cast<int>(p);
    }
  };
  for (std::size_t p = 0; p < start; ++p) insert(p);

  std::string data;
  std::size_t w = start;
  while (true) {
    const std::size_t controlAt = data.size();
    data += '\0';
    std::uint8_t control = 0;
    int bit = 0;
    for (; bit < 8; ++bit) {
      if (w >= buffer.size()) {
        // End marker: a reference to the write position itself.
        control |= static_cast<std::uint8_t>(1u << bit);
        const unsigned token = static_cast<unsigned>((w % 4096) << 4);
        data += static_cast<char>(token >> 8);
        data += static_cast<char>(token & 0xFF);
        data[controlAt] = static_cast<char>(control);
        return RtfValue(static_cast<std::uint32_t>(rtf.size()), kCompTypeCompressed, data, {},
                        RtfCrc(data));
      }
      std::size_t bestLen = 0, bestPos = 0;
      if (w + 1 < buffer.size()) {
        int steps = 0;
        for (int cand = head[key(w)]; cand >= 0 && steps < 64; cand = prev[cand], ++steps) {
          const std::size_t p = static_cast<std::size_t>(cand);
          if (w - p >= 4096) break;
          std::size_t len = 0;
          while (len < 17 && w + len < buffer.size() && buffer[p + len] == buffer[w + len]) ++len;
          if (len > bestLen) { bestLen = len; bestPos = p; }
          if (len == 17) break;
        }
      }
      if (bestLen >= 2) {
        control |= static_cast<std::uint8_t>(1u << bit);
        const unsigned token = static_cast<unsigned>(((bestPos % 4096) << 4) | (bestLen - 2));
        data += static_cast<char>(token >> 8);
        data += static_cast<char>(token & 0xFF);
        for (std::size_t k = 0; k < bestLen; ++k) insert(w + k);
        w += bestLen;
      } else {
        data += buffer[w];
        insert(w);
        ++w;
      }
    }
    data[controlAt] = static_cast<char>(control);
  }
}

// ---- TnefBuilder ----

TnefBuilder::TnefBuilder() { FBytes = Le32(0x223E9F78) + Le16(0x0001); }

TnefBuilder& TnefBuilder::Attr(std::uint8_t level, std::uint32_t id, const std::string& data,
                               std::optional<std::uint32_t> length, bool checksum) {
  FBytes += static_cast<char>(level);
  FBytes += Le32(id) + Le32(length.value_or(static_cast<std::uint32_t>(data.size()))) + data;
  if (checksum) {
    std::uint16_t sum = 0;
    for (char c : data) sum = static_cast<std::uint16_t>(sum + static_cast<std::uint8_t>(c));
    FBytes += Le16(sum);
  }
  return *this;
}

TnefBuilder& TnefBuilder::Raw(const std::string& bytes) {
  FBytes += bytes;
  return *this;
}

TnefBuilder& TnefBuilder::Attachment(const std::string& name, const std::string& bytes) {
  return RendData().Title(name).Data(bytes);
}

std::string TnefBuilder::WriteTo(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(FBytes.data(), static_cast<std::streamsize>(FBytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

}  // namespace tb
