#pragma once
// A mail (.eml) or a mailbox (mbox) parsed with GMime, reduced to what the viewer needs:
// one entry per TNEF part found, at any depth of multiparts and attached mails, with the
// headers of the mail around it; and per mail the attachments outside its TNEF parts.
// Part bytes stay in the file (GMime keeps only their places) until they are decoded.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CarrierHeaders.h"

// An attachment of a mail that lies outside its TNEF parts.
struct TMailAttachment {
  std::string Name;      // UTF-8, as the mail names it; empty when it names none
  std::string MimeType;  // e.g. "image/png"
};

// One TNEF part of the file.
struct TMailEntry {
  int Mail = 0;         // which mail of the file it is in, from 0 (always 0 for an .eml)
  int PartInMail = 0;   // which of that mail's TNEF parts, from 0
  int PartsInMail = 1;  // how many TNEF parts that mail holds
  std::string PartName;  // the part's file name (UTF-8), empty when it has none
  // The headers of the mail around the part: an attached mail's own for a part inside it.
  TCarrierHeaders Headers;
};

// The parsed file. The parser lives behind this interface so that the viewer can load it
// as a module on first use; Open and FromBytes are the parser's own (velquin_mime).
class TMailFile {
public:
  // Parses the file at path: an mbox when it starts with "From ", else one mail. Raises
  // EFileError when it cannot be read and Exception when it holds no mail at all.
  static std::unique_ptr<TMailFile> Open(const std::string& path);
  // The same over bytes in memory, which it copies.
  static std::unique_ptr<TMailFile> FromBytes(std::string_view bytes);
  virtual ~TMailFile() = default;
  TMailFile(const TMailFile&) = delete;
  TMailFile& operator=(const TMailFile&) = delete;

  virtual bool IsMailbox() const = 0;
  // Mails read from the file, with or without TNEF parts.
  virtual int MailCount() const = 0;
  virtual int Count() const = 0;
  // Raises EListError for an index outside 0..Count()-1.
  virtual const TMailEntry& Entry(int index) const = 0;
  // The other attachments of the entry's mail, in the mail's order.
  virtual const std::vector<TMailAttachment>& Attachments(int entry) const = 0;

  // Decode the entry's TNEF part, or attachment index of its mail, into the open file fd at
  // its position (base64 and quoted-printable undone). False when writing or reading fails.
  virtual bool WriteTnefPart(int entry, int fd) const = 0;
  virtual bool WriteAttachment(int entry, int index, int fd) const = 0;

protected:
  TMailFile() = default;
};
