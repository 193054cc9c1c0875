#pragma once
// Compressed RTF (the value of PR_RTF_COMPRESSED), as published in [MS-OXRTFCP]: a 16-byte
// header (COMPSIZE, RAWSIZE, COMPTYPE, CRC) followed by LZ77 tokens ("LZFu") or the RTF
// itself ("MELA").

#include <cstdint>
#include <string>
#include <string_view>

// The 207-byte initial dictionary of the format.
std::string_view RtfPresetDictionary();

constexpr std::uint32_t kCompTypeCompressed = 0x75465A4C;  // "LZFu"
constexpr std::uint32_t kCompTypeStored = 0x414C454D;      // "MELA"

// The largest body accepted. Real bodies are a few megabytes; this bound keeps a forged
// header from making us allocate gigabytes for a stream that cannot fill them anyway.
constexpr std::uint32_t kMaxRtfRawSize = 512u * 1024 * 1024;

// Decodes a complete property value (header included) into exactly RAWSIZE bytes of RTF.
// Raises Exception with the size-mismatch or unknown-type message, and with a corruption
// message for streams that cannot produce RAWSIZE bytes validly (cut short, references to
// bytes not yet written, the end marker too early); it never reads or writes out of bounds.
std::string DecompressRTF(std::string_view input);

// The first min(limit, RAWSIZE) bytes of what DecompressRTF returns, decoding no further than
// they need: for a quick look at a long body's start. Raises what DecompressRTF raises for the
// header, and the corruption message only for faults met before limit bytes are out; a fault
// after them, or a wrong CRC, goes unnoticed, so only the whole decode can tell a sound body.
std::string DecompressRTFPrefix(std::string_view input, std::size_t limit);

// RAWSIZE, the size DecompressRTF's result has, read from the header alone. Raises what
// DecompressRTF raises for a header it refuses (sizes, type, a stored body cut short).
std::uint32_t CompressedRtfRawSize(std::string_view input);
