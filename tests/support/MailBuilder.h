#pragma once
// Writes MIME mails and mailboxes around TNEF bytes in code: encodings, multiparts and
// attached mails, written wrong on purpose where a test needs it (a missing boundary, cut
// base64).

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// base64 in lines of 76 characters.
std::string Base64(std::string_view bytes);
// Quoted-printable: every byte outside printable ASCII as =XX, soft breaks at 76.
std::string QuotedPrintable(std::string_view bytes);

// A MIME entity: header lines (each ending in "\n"), a blank line, the body.
std::string Entity(const std::string& headers, const std::string& body);
// A multipart entity of the given subtype holding parts, with boundary between them.
std::string Multipart(const std::string& subtype, const std::string& boundary,
                      const std::vector<std::string>& parts);
// A TNEF part encoded with encoding ("base64" or "quoted-printable"); an empty name
// leaves the part unnamed.
std::string TnefPart(std::string_view tnef, const std::string& encoding, const std::string& name,
                     const std::string& type = "application/ms-tnef");
// A named attachment in base64.
std::string FilePart(const std::string& name, const std::string& type, std::string_view bytes);
// A mail: From, To, Subject and Date headers, then the entity (its own headers included).
std::string Mail(const std::string& from, const std::string& to, const std::string& subject,
                 const std::string& date, const std::string& entity);
// An mbox of the mails, each after a "From " line; lines of theirs that start with "From "
// are quoted as mbox writers do.
std::string Mbox(const std::vector<std::string>& mails);

}  // namespace tb
