#include "MapiAttrs.h"

#include <algorithm>

#include "ByteReader.h"
#include "Exception.h"
#include "TNEFReaderConst.h"

namespace {

// Bytes of a fixed-size value as the decoder keeps it (0: not a fixed-size type). PT_CURRENCY,
// PT_APPTIME and PT_ERROR are stepped over like the scan does, so the rest of the block stays
// in step; their values are kept like any other.
std::size_t DecodedFixedSize(std::uint16_t type) {
  switch (type) {
    case PropType::I2: return 2;  // followed by 2 padding bytes
    case PropType::Long:
    case PropType::R4:
    case PropType::Boolean:
    case PropType::Error: return 4;
    case PropType::Double:
    case PropType::Currency:
    case PropType::AppTime:
    case PropType::I8:
    case PropType::SysTime: return 8;
    case PropType::ClsId: return 16;
    default: return 0;
  }
}

// Bytes the scan steps over for a fixed-size type (0: not a fixed-size type).
std::size_t ScannedFixedSize(std::uint16_t type) {
  return type == PropType::I2 ? 4 : DecodedFixedSize(type);
}

bool IsCounted(std::uint16_t type) {
  return type == PropType::Object || type == PropType::String8 || type == PropType::Unicode ||
         type == PropType::Binary || type == PropType::SvrEid;
}

constexpr std::uint16_t kMultiValued = 0x1000;  // MV_FLAG
constexpr std::uint16_t kFirstNamedId = 0x8000;

// Bytes one value of a multi-valued fixed-size type takes: each is padded to 4 bytes.
std::size_t MultiValueFixedSize(std::uint16_t baseType) {
  const std::size_t size = DecodedFixedSize(baseType);
  return size < 4 && size > 0 ? 4 : size;
}

// Named properties (id 0x8000 and up) carry their name between the tag and the value: a
// 16-byte GUID, a 32-bit kind, then a 32-bit number (kind 0) or a byte length and that many
// bytes of UTF-16 name, padded to 4 (kind 1). Real files use them in almost every block, so
// stepping over them is what keeps the rest of the block in step. Returns false when the
// header runs past the end.
bool ReadPropertyName(TByteReader& r, TPropName* name) {
  if (r.Remaining() < 20) return false;
  const std::string_view guid = r.Bytes(16);
  const std::uint32_t kind = r.U32();
  if (r.Remaining() < 4) return false;
  const std::uint32_t value = r.U32();
  if (name) {
    std::copy(guid.begin(), guid.end(), name->Guid);
    name->IsString = kind != 0;
    name->Lid = kind == 0 ? value : 0;
  }
  if (kind == 0) return true;
  // A string name's length is checked against the block before it moves the walk, so a
  // name that claims 4 GB costs nothing.
  if (value > r.Remaining()) return false;
  r.Skip(value + (4 - value % 4) % 4);
  return true;
}

bool SkipPropertyName(TByteReader& r) { return ReadPropertyName(r, nullptr); }

std::size_t Padding(std::size_t length) { return (4 - length % 4) % 4; }

// Zeroed entries past the last decodable property cost memory but carry nothing; a count far
// beyond what the block's bytes can hold (every property takes at least its 4-byte tag) is
// cut down to that plus this slack, so a 10-byte block cannot ask for 2^31 entries.
constexpr std::size_t kEntrySlack = 16;

// Multi-valued properties: a 32-bit count, then that many values laid out as the base type's
// (fixed-size ones padded to 4 bytes). Returns false when they run past the block.
bool DecodeMultiValue(TByteReader& r, TMAPI_Attr& attr) {
  const auto base = static_cast<std::uint16_t>(attr.PropType & ~kMultiValued);
  const std::size_t fixed = MultiValueFixedSize(base);
  if (fixed == 0 && !IsCounted(base)) return true;  // unknown base type: no value
  if (r.Remaining() < 4) return false;
  const std::int32_t count = r.I32();
  if (count < 0) throw ERangeError(LoadResString(TStringId::RangeCheckError));
  attr.Values.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), r.Remaining() / 4));
  for (std::int32_t k = 0; k < count; ++k) {
    std::size_t length = fixed;
    if (fixed == 0) {
      if (r.Remaining() < 4) return false;
      const std::int32_t stored = r.I32();
      if (stored < 0) throw ERangeError(LoadResString(TStringId::RangeCheckError));
      length = static_cast<std::size_t>(stored);
    }
    if (r.Remaining() < length) return false;
    const auto bytes = r.Bytes(length);
    attr.Values.emplace_back(bytes.begin(), bytes.end());
    if (fixed == 0) r.Skip(Padding(length));
  }
  attr.Count = count;
  return true;
}

// Reads one property's value into attr. Returns false when the value runs past the block.
bool DecodeValue(TByteReader& r, TMAPI_Attr& attr) {
  if (attr.PropType & kMultiValued) return DecodeMultiValue(r, attr);
  if (const std::size_t size = DecodedFixedSize(attr.PropType)) {
    if (r.Remaining() < size) return false;
    const auto bytes = r.Bytes(size);
    attr.Count = 1;
    attr.Values.emplace_back(bytes.begin(), bytes.end());
    if (attr.PropType == PropType::I2) r.Skip(2);
    return true;
  }
  if (!IsCounted(attr.PropType)) return true;  // no value, no bytes consumed

  if (r.Remaining() < 4) return false;
  const std::int32_t count = r.I32();
  if (count < 0) throw ERangeError(LoadResString(TStringId::RangeCheckError));
  // Each value needs at least its 4-byte length.
  attr.Values.reserve(std::min<std::size_t>(static_cast<std::size_t>(count), r.Remaining() / 4));
  for (std::int32_t k = 0; k < count; ++k) {
    if (r.Remaining() < 4) return false;
    const std::int32_t length = r.I32();
    if (length < 0) throw ERangeError(LoadResString(TStringId::RangeCheckError));
    if (r.Remaining() < static_cast<std::size_t>(length)) return false;
    const auto bytes = r.Bytes(static_cast<std::size_t>(length));
    attr.Values.emplace_back(bytes.begin(), bytes.end());
    r.Skip(Padding(static_cast<std::size_t>(length)));
  }
  attr.Count = count;
  return true;
}

}  // namespace

TMAPI_Attrs DecodeMAPIAttrs(std::string_view block) {
  TMAPI_Attrs attrs;
  TByteReader r(block);
  if (r.Remaining() < 4) return attrs;  // no count: nothing to decode
  const std::int32_t count = r.I32();
  if (count < 0) throw ERangeError(LoadResString(TStringId::RangeCheckError));
  attrs.resize(std::min<std::size_t>(static_cast<std::size_t>(count),
                                     r.Remaining() / 4 + kEntrySlack));
  for (auto& attr : attrs) {
    if (r.AtEnd()) break;
    bool complete = r.Remaining() >= 4;
    if (complete) {
      attr.PropType = r.U16();
      attr.PropId = r.U16();
      complete = (attr.PropId < kFirstNamedId || SkipPropertyName(r)) && DecodeValue(r, attr);
    }
    if (!complete) {
      attr = TMAPI_Attr{};
      break;
    }
  }
  return attrs;
}

namespace {

// The walk of ScanMessageProps, ScanPropertyRow and ScanNamedProps; fixed: also hand
// fixed-size values.
void ScanProps(TByteReader& r, const TNamedPropHandler& handler, bool fixedToo) {
  const std::int32_t count = r.I32();
  TPropName name;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint32_t tag = r.U32();
    const auto type = static_cast<std::uint16_t>(tag & 0xFFFF);
    const bool named = (tag >> 16) >= kFirstNamedId;
    if (named && !ReadPropertyName(r, &name))
      throw EReadError(LoadResString(TStringId::StreamReadError));
    const TPropName* nameOf = named ? &name : nullptr;
    if (type & kMultiValued) {
      // Stepped over whole; only single values are handed.
      const auto base = static_cast<std::uint16_t>(type & ~kMultiValued);
      const std::size_t fixed = MultiValueFixedSize(base);
      if (fixed == 0 && !IsCounted(base)) continue;
      const std::int32_t count = r.I32();
      if (count < 0) throw EReadError(LoadResString(TStringId::StreamReadError));
      for (std::int32_t k = 0; k < count; ++k) {
        if (fixed) {
          if (r.Remaining() < fixed) throw EReadError(LoadResString(TStringId::StreamReadError));
          r.Skip(fixed);
          continue;
        }
        const std::int32_t length = r.I32();
        if (length < 0) throw EReadError(LoadResString(TStringId::StreamReadError));
        r.Skip(static_cast<std::size_t>(length) + Padding(static_cast<std::size_t>(length)));
      }
    } else if (const std::size_t size = ScannedFixedSize(type)) {
      if (fixedToo) {
        handler(tag, nameOf, r.Bytes(DecodedFixedSize(type)));
        r.Skip(size - DecodedFixedSize(type));
      } else {
        r.Skip(size);
      }
    } else if (IsCounted(type)) {
      r.I32();  // value count: only the first value is read, whatever it says
      const std::int32_t length = r.I32();
      if (length < 0) throw EReadError(LoadResString(TStringId::StreamReadError));
      const std::string_view value = r.BytesUpTo(static_cast<std::size_t>(length));
      handler(tag, nameOf, value);
      r.Skip(Padding(static_cast<std::size_t>(length)));
    }
    // Any other type consumes nothing: the next tag is read from the following bytes.
  }
}

}  // namespace

void ScanMessageProps(std::string_view block, const TMessagePropHandler& handler) {
  TByteReader r(block);
  ScanProps(r, [&](std::uint32_t tag, const TPropName*, std::string_view value) { handler(tag, value); },
            false);
}

void ScanNamedProps(std::string_view block, const TNamedPropHandler& handler) {
  TByteReader r(block);
  ScanProps(r, handler, true);
}

std::size_t ScanPropertyRow(std::string_view bytes, const TMessagePropHandler& handler) {
  TByteReader r(bytes);
  ScanProps(r, [&](std::uint32_t tag, const TPropName*, std::string_view value) { handler(tag, value); },
            true);
  return r.Position();
}
