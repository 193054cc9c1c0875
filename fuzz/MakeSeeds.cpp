// Writes seed inputs for the fuzz targets: velquin_fuzz_seeds OUTDIR makes OUTDIR/<target>/.

#include <filesystem>
#include <fstream>
#include <string>

#include "CompressedRtf.h"
#include "MailBuilder.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

void Write(const std::filesystem::path& dir, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::filesystem::path out(argv[1]);
  const std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\fromhtml1 {\\*\\htmltag <p>}Hello\\par}";

  const PropBlock message = PropBlock()
                                .String8(0x0C1A, "Sender")
                                .String8(0x0037, "Subject")
                                .Unicode(0x0070, "Topic")
                                .Binary(0x1009, Lzfu(rtf))
                                .Binary(0x1013, "<p>html</p>")
                                .Fixed(0x0002, 0x0017, Le32(1))
                                .Fixed(0x0040, 0x0039, std::string(8, '\x01'))
                                .Raw(Le16(0x101E) + Le16(0x8001) + std::string(16, 'g') + Le32(1) +
                                     Le32(4) + Utf16("n") + Le32(1) + Le32(2) + "v" + '\0' + "\0\0")
                                .Count(8);
  const PropBlock attachment =
      PropBlock().String8(0x3707, "long name.txt").Unicode(0x3001, "display").Binary(0x3701, "DATA");

  TnefBuilder full;
  full.CodePage(1252).Subject("Seed").Msg(0x00038005, Date(2024, 1, 2, 3, 4, 5)).MsgProps(message);
  full.Attachment("a.txt", "AAAA").AttProps(attachment);
  full.RendData().AttProps(PropBlock().String8(0x3707, "b.bin").Counted(0x000D, 0x3701, {std::string(16, 'I') + "OBJ"}));
  Write(out / "fuzz_tnef_reader", "full.tnef", full.Bytes());
  TnefBuilder odd;
  odd.Data("1").Data("22").Title("t").Raw("\x01").Raw(Le32(0x00018004) + Le32(3) + "abc");
  Write(out / "fuzz_tnef_reader", "odd.tnef", odd.Bytes());

  // Bodies the strict decoder refuses, which go to the mail library: a stored body whose
  // COMPSIZE holds RAWSIZE, and a compressed one with a wrong check sum.
  const std::string stored = "{\\rtf1\\ansi stored body}";
  const auto storedSize = static_cast<std::uint32_t>(stored.size());
  std::string badCrc = Lzfu(rtf);
  badCrc[12] = static_cast<char>(badCrc[12] ^ 0x5A);
  Write(out / "fuzz_tnef_reader", "stored-body.tnef",
        TnefBuilder().MsgProps(PropBlock().Binary(0x1009, RtfValue(storedSize, kCompTypeStored, stored, storedSize))).Bytes());
  Write(out / "fuzz_tnef_reader", "bad-crc-body.tnef",
        TnefBuilder().MsgProps(PropBlock().Binary(0x1009, badCrc)).Bytes());

  Write(out / "fuzz_mapi_decode", "message", message.Bytes());
  Write(out / "fuzz_mapi_decode", "attachment", attachment.Bytes());
  Write(out / "fuzz_mapi_scan", "message", message.Bytes());
  Write(out / "fuzz_mapi_scan", "attachment", attachment.Bytes());

  // Mails around a TNEF part: encodings, nesting, a mailbox, and the common damage.
  const std::string date = "Mon, 13 Nov 2017 08:01:13 -0500";
  const std::string tnefPart = TnefPart(full.Bytes(), "base64", "winmail.dat");
  const std::string mixed = Multipart("mixed", "b1", {Entity("Content-Type: text/plain\n", "body\n"), tnefPart,
                                                      FilePart("photo.png", "image/png", "PNG")});
  const std::string mail = Mail("=?utf-8?q?Ren=C3=A9?= <rene@example.org>", "a@example.org, b@example.org",
                                "=?iso-8859-1?q?caf=E9?=", date, mixed);
  Write(out / "fuzz_mime", "mixed.eml", mail);
  Write(out / "fuzz_mime", "qp-unnamed.eml",
        Mail("x@example.org", "y@example.org", "qp", date, TnefPart(odd.Bytes(), "quoted-printable", "")));
  Write(out / "fuzz_mime", "nested.eml",
        Mail("x@example.org", "y@example.org", "outer", date,
             Multipart("mixed", "o", {Entity("Content-Type: message/rfc822\n", mail),
                                      Entity("Content-Type: message/rfc822\n", Mail("p@q", "r@s", "plain", date,
                                             Entity("Content-Type: text/plain\n", "hi\n")))})));
  Write(out / "fuzz_mime", "three.mbox", Mbox({mail, mail, mail}));
  std::string cut = mail;
  cut.resize(cut.size() / 2);
  Write(out / "fuzz_mime", "cut.eml", cut);
  Write(out / "fuzz_mime", "no-boundary.eml",
        Mail("x@y", "z@w", "nb", date, "Content-Type: multipart/mixed\n\n--\n" + tnefPart));
  // A meeting request: its named properties (times, place, a weekly pattern), the
  // organizer, and a recipient table with answers; the calendar target's first byte picks
  // the message class.
  const std::string pattern = Le16(0x3004) + Le16(0x3004) + Le16(0x200B) + Le16(1) + Le16(0) + Le32(0) +
                              Le32(1) + Le32(0) + Le32(0x0A) + Le32(0x2022) + Le32(10) + Le32(0) + Le32(0) +
                              Le32(0) + Le32(0x0CB3A8E0) + Le32(0x0CB3A8E0);
  const PropBlock meeting = PropBlock()
                                .NamedTime(kPsetidAppointment, 0x820D, 1358762400)
                                .NamedTime(kPsetidAppointment, 0x820E, 1358766000)
                                .NamedString8(kPsetidAppointment, 0x8208, "Room")
                                .NamedBool(kPsetidAppointment, 0x8223, true)
                                .NamedBinary(kPsetidAppointment, 0x8216, pattern)
                                .NamedBinary(kPsetidMeeting, 0x0003, std::string(16, 'G'))
                                .NamedLong(kPsetidTask, 0x8101, 1)
                                .String8(0x0042, "Organizer")
                                .String8(0x5D02, "org@x.org");
  const std::string recipients =
      Le32(2) +
      PropBlock().String8(0x3001, "Ann").String8(0x39FE, "ann@x.org").Long(0x0C15, 1).Long(0x5FFF, 3).Bytes() +
      PropBlock().String8(0x3001, "Bob").Long(0x0C15, 2).Long(0x5FFF, 4).Bytes();
  Write(out / "fuzz_calendar", "meeting", std::string(1, '\x01') + meeting.Bytes());
  Write(out / "fuzz_calendar", "task", std::string(1, '\x03') + meeting.Bytes());
  Write(out / "fuzz_calendar", "pattern", std::string(1, '\x00') + pattern);
  Write(out / "fuzz_recipients", "answers", recipients);
  TnefBuilder request;
  request.Msg(0x00078008, std::string("IPM.Schedule.Meeting.Request") + '\0').Subject("Meeting").MsgProps(meeting);
  request.Msg(0x00069004, recipients).Msg(0x00030006, Date(2013, 1, 21, 10, 0, 0));
  Write(out / "fuzz_tnef_reader", "meeting.tnef", request.Bytes());

  Write(out / "fuzz_compressed_rtf", "lzfu", Lzfu(rtf));
  Write(out / "fuzz_compressed_rtf", "literals", LzfuLiterals(rtf));
  Write(out / "fuzz_compressed_rtf", "mela", Mela(rtf));
  return 0;
}
