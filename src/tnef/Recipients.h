#pragma once
// The recipient table of a message (attRecipTable): a row count, then one property row per
// recipient with its display name, address and type.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TRecipientType { Other, To, Cc, Bcc };

struct TRecipient {
  std::string Name;     // UTF-8
  std::string Address;  // UTF-8: the SMTP address when the row has one, else its address
  TRecipientType Type = TRecipientType::Other;
  // For meetings: PR_RECIPIENT_TRACKSTATUS (the attendee's answer: 2 tentative, 3 accepted,
  // 4 declined) and PR_RECIPIENT_FLAGS (0x2: the organizer).
  std::uint32_t TrackStatus = 0;
  std::uint32_t Flags = 0;
};

// Decodes the table; eight-bit texts are decoded with codePage. A row cut short ends the
// table, keeping the rows before it. Rows with neither a name nor an address are dropped,
// so every kept row stands for bytes of its own: the list grows no faster than the input.
std::vector<TRecipient> DecodeRecipientTable(std::string_view data, unsigned codePage);

// "Name <address>", the name alone, or the address alone.
std::string FormatRecipient(const TRecipient& recipient);
