#pragma once
// MAPI property blocks (the data of attMsgProps and attAttachment): a signed 32-bit count,
// then properties of a 32-bit tag (type in the low word, id in the high word), the name of
// a named property (id 0x8000 and up), and a value laid out by type. Two walks: DecodeMAPIAttrs keeps every value, ScanMessageProps hands the
// first value of each counted property to a handler and keeps nothing.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// One value exactly as stored, without padding; strings keep their terminating NUL.
using TMAPI_Value = std::vector<std::uint8_t>;

struct TMAPI_Attr {
  std::uint16_t PropType = 0;
  std::uint16_t PropId = 0;
  std::int32_t Count = 0;
  std::vector<TMAPI_Value> Values;
};

using TMAPI_Attrs = std::vector<TMAPI_Attr>;

// Property types (names from the published MAPI headers).
namespace PropType {
constexpr std::uint16_t I2 = 0x0002;        // PT_I2
constexpr std::uint16_t Long = 0x0003;      // PT_LONG
constexpr std::uint16_t R4 = 0x0004;        // PT_R4
constexpr std::uint16_t Double = 0x0005;    // PT_DOUBLE
constexpr std::uint16_t Currency = 0x0006;  // PT_CURRENCY
constexpr std::uint16_t AppTime = 0x0007;   // PT_APPTIME
constexpr std::uint16_t Error = 0x000A;     // PT_ERROR
constexpr std::uint16_t Boolean = 0x000B;   // PT_BOOLEAN
constexpr std::uint16_t Object = 0x000D;    // PT_OBJECT
constexpr std::uint16_t I8 = 0x0014;        // PT_I8
constexpr std::uint16_t String8 = 0x001E;   // PT_STRING8
constexpr std::uint16_t Unicode = 0x001F;   // PT_UNICODE
constexpr std::uint16_t SysTime = 0x0040;   // PT_SYSTIME
constexpr std::uint16_t ClsId = 0x0048;     // PT_CLSID
constexpr std::uint16_t SvrEid = 0x00FB;    // PT_SVREID
constexpr std::uint16_t Binary = 0x0102;    // PT_BINARY
}  // namespace PropType

// Decodes a block into one entry per property, in block order. The list is sized to the
// block's count (bounded by what the block's bytes can hold; see the .cpp); entries not
// reached stay zeroed. A value that runs past the block ends the decoding quietly and
// zeroes the cut entry. Raises ERangeError for a negative count or length.
TMAPI_Attrs DecodeMAPIAttrs(std::string_view block);

// Called with a property's tag and the bytes of its first value (a view into the block).
using TMessagePropHandler = std::function<void(std::uint32_t tag, std::string_view value)>;

// Walks a block and calls handler for each property of a counted type. A header read
// (count, tag, value count, length) that would pass the end of the block raises
// EReadError; so does a negative value length. Failures of the handler pass through.
void ScanMessageProps(std::string_view block, const TMessagePropHandler& handler);

// The name of a named property (id 0x8000 and up): its property set and a number (Lid), or,
// for a name given as a string, IsString with Lid 0 (the string itself is stepped over).
struct TPropName {
  std::uint8_t Guid[16] = {};
  bool IsString = false;
  std::uint32_t Lid = 0;
};

// Called for every single value of a block, fixed sizes included; name is nullptr for a
// property that is not named.
using TNamedPropHandler =
    std::function<void(std::uint32_t tag, const TPropName* name, std::string_view value)>;

// Walks a block like ScanMessageProps, handing fixed-size values and the names of named
// properties too.
void ScanNamedProps(std::string_view block, const TNamedPropHandler& handler);

// One row of a property table (as in attRecipTable): a count and that many properties, like
// a block, but the row ends where its last property ends. Hands every single value, fixed
// sizes included, and returns the bytes the row took. Raises EReadError like the scan.
std::size_t ScanPropertyRow(std::string_view bytes, const TMessagePropHandler& handler);
