#pragma once
// Writes TNEF files, MAPI property blocks and compressed-RTF values in code, so tests need
// no sample files. Everything can also be written wrong on purpose (lengths, counts).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tb {

std::string Le16(std::uint16_t v);
std::string Le32(std::uint32_t v);

// attDateSent-style date: seven 16-bit numbers.
std::string Date(int year, int month, int day, int hour, int minute, int second, int dow = 0);

// Little-endian UTF-16 of ASCII/UTF-8 text (BMP and beyond), with a terminating NUL.
std::string Utf16(const std::string& utf8);

// The published property sets, as their GUIDs lie in a file.
extern const std::string kPsetidAppointment;
extern const std::string kPsetidMeeting;
extern const std::string kPsetidTask;

// A MAPI property block.
class PropBlock {
public:
  PropBlock& Fixed(std::uint16_t type, std::uint16_t id, const std::string& bytes);
  PropBlock& Long(std::uint16_t id, std::uint32_t v) { return Fixed(0x0003, id, Le32(v)); }
  // Counted value(s): count, then each value's length, bytes and padding.
  PropBlock& Counted(std::uint16_t type, std::uint16_t id, const std::vector<std::string>& values);
  PropBlock& String8(std::uint16_t id, const std::string& text) { return Counted(0x001E, id, {text + '\0'}); }
  PropBlock& Unicode(std::uint16_t id, const std::string& utf8) { return Counted(0x001F, id, {Utf16(utf8)}); }
  PropBlock& Binary(std::uint16_t id, const std::string& bytes) { return Counted(0x0102, id, {bytes}); }
  PropBlock& Raw(const std::string& bytes);
  // A named property: its set's GUID (16 bytes as stored) and number, then the value as the
  // type lays it out (fixed bytes, or CountedValue for strings and binaries).
  PropBlock& Named(std::uint16_t type, const std::string& guid, std::uint32_t lid, const std::string& value);
  PropBlock& NamedLong(const std::string& guid, std::uint32_t lid, std::uint32_t v) {
    return Named(0x0003, guid, lid, Le32(v));
  }
  PropBlock& NamedBool(const std::string& guid, std::uint32_t lid, bool v) {
    return Named(0x000B, guid, lid, Le32(v ? 1 : 0));
  }
  // A PT_SYSTIME of seconds since 1970 UTC.
  PropBlock& NamedTime(const std::string& guid, std::uint32_t lid, std::int64_t unixTime);
  PropBlock& NamedString8(const std::string& guid, std::uint32_t lid, const std::string& text) {
    return Named(0x001E, guid, lid, CountedValue(text + '\0'));
  }
  PropBlock& NamedBinary(const std::string& guid, std::uint32_t lid, const std::string& bytes) {
    return Named(0x0102, guid, lid, CountedValue(bytes));
  }
  // One counted value: a count of 1, the length, the bytes and their padding.
  static std::string CountedValue(const std::string& bytes);
  // Overrides the count written at the start (default: the number of properties added).
  PropBlock& Count(std::int32_t count);
  std::string Bytes() const;

private:
  std::string FBody;
  int FProps = 0;
  std::optional<std::int32_t> FCount;
};

// Compressed-RTF values.
std::string Lzfu(const std::string& rtf);          // really compressed, with the end marker
std::string LzfuLiterals(const std::string& rtf);  // literals only
std::string Mela(const std::string& rtf);          // stored
// A value with the given header fields and token bytes (COMPSIZE computed unless given).
std::string RtfValue(std::uint32_t rawSize, std::uint32_t compType, const std::string& data,
                     std::optional<std::uint32_t> compSize = {}, std::uint32_t crc = 0);

// A TNEF file.
class TnefBuilder {
public:
  TnefBuilder();  // signature and key
  // An attribute record; length and checksum may be forced.
  TnefBuilder& Attr(std::uint8_t level, std::uint32_t id, const std::string& data,
                    std::optional<std::uint32_t> length = {}, bool checksum = true);
  TnefBuilder& Msg(std::uint32_t id, const std::string& data) { return Attr(1, id, data); }
  TnefBuilder& Att(std::uint32_t id, const std::string& data) { return Attr(2, id, data); }
  TnefBuilder& Raw(const std::string& bytes);

  // Common attributes.
  TnefBuilder& Subject(const std::string& text) { return Msg(0x00018004, text + '\0'); }
  TnefBuilder& MsgProps(const PropBlock& block) { return Msg(0x00069003, block.Bytes()); }
  TnefBuilder& CodePage(std::uint32_t cp) { return Msg(0x00069007, Le32(cp) + Le32(0)); }
  TnefBuilder& RendData() { return Att(0x00069002, std::string(14, '\x01')); }
  TnefBuilder& Title(const std::string& name) { return Att(0x00018010, name + '\0'); }
  TnefBuilder& Data(const std::string& bytes) { return Att(0x0006800F, bytes); }
  TnefBuilder& AttProps(const PropBlock& block) { return Att(0x00069005, block.Bytes()); }
  // attAttachRendData, title and data: one ordinary attachment.
  TnefBuilder& Attachment(const std::string& name, const std::string& bytes);

  const std::string& Bytes() const { return FBytes; }
  // Writes the file; returns path.
  std::string WriteTo(const std::string& path) const;

private:
  std::string FBytes;
};

}  // namespace tb
