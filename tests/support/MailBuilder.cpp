#include "MailBuilder.h"

#include <cstdint>
#include <sstream>

namespace tb {

std::string Base64(std::string_view bytes) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t line = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 3; ++k)
      v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kAlphabet[(v >> (18 - 6 * k)) & 63] : '=';
    if ((line += 4) >= 76) {
      out += '\n';
      line = 0;
    }
  }
  if (line) out += '\n';
  return out;
}

std::string QuotedPrintable(std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t line = 0;
  for (unsigned char c : bytes) {
    std::string piece;
    if (c >= 33 && c <= 126 && c != '=') piece = static_cast<char>(c);
    else piece = {'=', kHex[c >> 4], kHex[c & 15]};
    if (line + piece.size() > 75) {
      out += "=\n";
      line = 0;
    }
    out += piece;
    line += piece.size();
  }
  // A soft break last: the line break before a boundary belongs to the boundary.
  return out + "=\n";
}

std::string Entity(const std::string& headers, const std::string& body) {
  return headers + "\n" + body;
}

std::string Multipart(const std::string& subtype, const std::string& boundary,
                      const std::vector<std::string>& parts) {
  std::string body = "This is a multipart message in MIME format.\n";
  for (const std::string& part : parts) body += "\n--" + boundary + "\n" + part;
  body += "\n--" + boundary + "--\n";
  return Entity("Content-Type: multipart/" + subtype + "; boundary=\"" + boundary + "\"\n", body);
}

std::string TnefPart(std::string_view tnef, const std::string& encoding, const std::string& name,
                     const std::string& type) {
  std::string headers = "Content-Type: " + type + (name.empty() ? "" : "; name=\"" + name + "\"") + "\n";
  headers += "Content-Transfer-Encoding: " + encoding + "\n";
  if (!name.empty()) headers += "Content-Disposition: attachment; filename=\"" + name + "\"\n";
  return Entity(headers, encoding == "base64" ? Base64(tnef) : QuotedPrintable(tnef));
}

std::string FilePart(const std::string& name, const std::string& type, std::string_view bytes) {
  return Entity("Content-Type: " + type + "; name=\"" + name + "\"\nContent-Transfer-Encoding: base64\n"
                "Content-Disposition: attachment; filename=\"" + name + "\"\n",
                Base64(bytes));
}

std::string Mail(const std::string& from, const std::string& to, const std::string& subject,
                 const std::string& date, const std::string& entity) {
  return "From: " + from + "\nTo: " + to + "\nSubject: " + subject + "\nDate: " + date +
         "\nMIME-Version: 1.0\n" + entity;
}

std::string Mbox(const std::vector<std::string>& mails) {
  std::string out;
  for (const std::string& mail : mails) {
    out += "From sender@example.org Mon Jan  1 00:00:00 2024\n";
    std::istringstream lines(mail);
    for (std::string line; std::getline(lines, line);)
      out += (line.rfind("From ", 0) == 0 ? ">" : "") + line + "\n";
    out += "\n";
  }
  return out;
}

}  // namespace tb
