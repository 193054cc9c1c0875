// Writes the sample message the README's run command opens: a formatted body, a picture
// and a text file, the way a mail client packs them.

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "TnefBuilder.h"

using namespace tb;

namespace {

std::string Be32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>((v >> 16) & 0xFF),
          static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const auto crc = static_cast<std::uint32_t>(
      ::crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
  return Be32(static_cast<std::uint32_t>(data.size())) + body + Be32(crc);
}

// A small RGB picture: a sky-to-sea gradient with a sun.
std::string MakePng(int width, int height) {
  std::string raw;
  for (int y = 0; y < height; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < width; ++x) {
      const double dx = x - width * 0.7, dy = y - height * 0.35;
      const bool sun = dx * dx + dy * dy < (height * 0.12) * (height * 0.12);
      const bool sea = y > height * 0.6;
      const double t = static_cast<double>(y) / height;
      int r = sea ? 20 : static_cast<int>(90 + 120 * t);
      int g = sea ? static_cast<int>(90 + 40 * std::sin(x * 0.2 + y * 0.5)) : static_cast<int>(150 + 60 * t);
      int b = sea ? 160 : 235;
      if (sun) r = 255, g = 210, b = 60;
      raw += static_cast<char>(r);
      raw += static_cast<char>(g);
      raw += static_cast<char>(b);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  ::compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
             reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  const std::string header = Be32(static_cast<std::uint32_t>(width)) +
                             Be32(static_cast<std::uint32_t>(height)) + std::string("\x08\x02\0\0\0", 5);
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", packed) +
         Chunk("IEND", "");
}

const char* const kBody =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red31\\green78\\blue121;\\red192\\green0\\blue0;}\r\n"
    "\\pard\\f0\\fs22 Hello,\\par\\par\r\n"
    "this is the sample message of {\\b Velquin Reader}. The file it came in is a "
    "{\\i winmail.dat}: the way Outlook-family mail programs pack a formatted message and its "
    "attachments into one file.\\par\\par\r\n"
    "{\\cf2\\b What you can do with it:}\\par\r\n"
    "\\pard\\fi-360\\li720\\tx720{\\pntext\\f0 \\'95\\tab}read the message with its formatting,\\par\r\n"
    "{\\pntext\\f0 \\'95\\tab}look at the picture {\\f1 harbour.png} in the window,\\par\r\n"
    "{\\pntext\\f0 \\'95\\tab}open, save, or save all attachments at once.\\par\r\n"
    "\\pard\\par\r\n"
    "{\\cf3 Accented text survives too: caf\\'e9, na\\'efve, \\'c5ngstr\\'f6m.}\\par\\par\r\n"
    "Regards,\\par The Velquin team\\par}";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velquin_make_sample OUTPUT\n");
    return 2;
  }
  TnefBuilder b;
  b.Msg(0x00089006, Le32(0x00010000))
      .CodePage(1252)
      .Msg(0x00078008, std::string("IPM.Microsoft Mail.Note\0", 24))
      .Subject("Welcome to Velquin Reader")
      .Msg(0x00038005, Date(2026, 12, 1, 9, 30, 0, 2))
      .MsgProps(PropBlock()
                    .String8(0x0C1A, "Velquin Team")
                    .String8(0x0070, "Welcome to Velquin Reader")
                    .Binary(0x1009, Lzfu(kBody)));
  b.Attachment("HARBOUR.PNG", MakePng(320, 200)).AttProps(PropBlock().String8(0x3707, "harbour.png"));
  b.Attachment("README.TXT",
               "This text file travelled inside the sample winmail.dat.\r\n"
               "Select it and use Open to see it in your text editor.\r\n")
      .AttProps(PropBlock().String8(0x3707, "read me.txt"));
  b.WriteTo(argv[1]);
  return 0;
}
