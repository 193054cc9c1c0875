#include "Recipients.h"

#include "ByteReader.h"
#include "CodePage.h"
#include "MapiAttrs.h"

namespace {

constexpr std::uint16_t kPropIdRecipientType = 0x0C15;  // PR_RECIPIENT_TYPE
constexpr std::uint16_t kPropIdDisplayName = 0x3001;    // PR_DISPLAY_NAME
constexpr std::uint16_t kPropIdEmailAddress = 0x3003;   // PR_EMAIL_ADDRESS
constexpr std::uint16_t kPropIdSmtpAddress = 0x39FE;    // PR_SMTP_ADDRESS
constexpr std::uint16_t kPropIdTrackStatus = 0x5FFF;    // PR_RECIPIENT_TRACKSTATUS
constexpr std::uint16_t kPropIdRecipientFlags = 0x5FFD; // PR_RECIPIENT_FLAGS

std::string TextValue(std::uint16_t type, std::string_view value, unsigned codePage) {
  if (type == PropType::Unicode) return Utf16LeToUtf8(value);
  if (type == PropType::String8) return CodePageToUtf8(UpToNul(value), codePage);
  return {};
}

}  // namespace

std::vector<TRecipient> DecodeRecipientTable(std::string_view data, unsigned codePage) {
  std::vector<TRecipient> rows;
  if (data.size() < 4) return rows;
  const std::uint32_t count = LoadLe32(data, 0);
  std::size_t at = 4;
  for (std::uint32_t i = 0; i < count && at < data.size(); ++i) {
    TRecipient row;
    std::string smtp;
    try {
      at += ScanPropertyRow(data.substr(at), [&](std::uint32_t tag, std::string_view value) {
        const auto type = static_cast<std::uint16_t>(tag & 0xFFFF);
        switch (tag >> 16) {
          case kPropIdDisplayName: row.Name = TextValue(type, value, codePage); break;
          case kPropIdEmailAddress: row.Address = TextValue(type, value, codePage); break;
          case kPropIdSmtpAddress: smtp = TextValue(type, value, codePage); break;
          case kPropIdRecipientType:
            if (type == PropType::Long && value.size() == 4) {
              const std::uint32_t kind = LoadLe32(value, 0);
              row.Type = kind == 1   ? TRecipientType::To
                         : kind == 2 ? TRecipientType::Cc
                         : kind == 3 ? TRecipientType::Bcc
                                     : TRecipientType::Other;
            }
            break;
          case kPropIdTrackStatus:
            if (type == PropType::Long && value.size() == 4) row.TrackStatus = LoadLe32(value, 0);
            break;
          case kPropIdRecipientFlags:
            if (type == PropType::Long && value.size() == 4) row.Flags = LoadLe32(value, 0);
            break;
          default: break;
        }
      });
    } catch (const EReadError&) {
      break;
    } catch (const ERangeError&) {
      break;
    }
    if (!smtp.empty()) row.Address = std::move(smtp);
    if (!row.Name.empty() || !row.Address.empty()) rows.push_back(std::move(row));
  }
  return rows;
}

std::string FormatRecipient(const TRecipient& recipient) {
  if (recipient.Address.empty() || recipient.Address == recipient.Name) return recipient.Name;
  if (recipient.Name.empty()) return recipient.Address;
  return recipient.Name + " <" + recipient.Address + ">";
}
