#pragma once
// TNEF attribute identifiers and MAPI property tags the reader acts on (names from the
// published TNEF format and MAPI headers). Ids are always compared as whole 32-bit values.

#include <cstdint>

constexpr std::uint32_t kTnefSignature = 0x223E9F78;

constexpr std::uint8_t kLevelMessage = 1;     // LVL_MESSAGE
constexpr std::uint8_t kLevelAttachment = 2;  // LVL_ATTACHMENT

namespace AttId {
constexpr std::uint32_t MsgProps = 0x00069003;        // attMsgProps
constexpr std::uint32_t Subject = 0x00018004;         // attSubject
constexpr std::uint32_t MessageClass = 0x00078008;    // attMessageClass
constexpr std::uint32_t DateSent = 0x00038005;        // attDateSent
constexpr std::uint32_t DateModified = 0x00038020;    // attDateModified
constexpr std::uint32_t DateReceived = 0x00038006;    // attDateRecd
constexpr std::uint32_t RecipTable = 0x00069004;      // attRecipTable
constexpr std::uint32_t Body = 0x0001800C;            // attBody
constexpr std::uint32_t OemCodepage = 0x00069007;     // attOemCodepage
constexpr std::uint32_t From = 0x00008000;            // attFrom
constexpr std::uint32_t AttachRendData = 0x00069002;  // attAttachRendData
constexpr std::uint32_t AttachData = 0x0006800F;      // attAttachData
constexpr std::uint32_t AttachTitle = 0x00018010;     // attAttachTitle
constexpr std::uint32_t Attachment = 0x00069005;      // attAttachment
}  // namespace AttId

namespace PropTag {
constexpr std::uint32_t RtfCompressed = 0x10090102;         // PR_RTF_COMPRESSED
constexpr std::uint32_t MessageClass = 0x001A001E;          // PR_MESSAGE_CLASS
constexpr std::uint32_t MessageClassW = 0x001A001F;         // PR_MESSAGE_CLASS_W
constexpr std::uint32_t SenderName = 0x0C1A001E;            // PR_SENDER_NAME
constexpr std::uint32_t SenderNameW = 0x0C1A001F;           // PR_SENDER_NAME_W
constexpr std::uint32_t Subject = 0x0037001E;               // PR_SUBJECT
constexpr std::uint32_t SubjectW = 0x0037001F;              // PR_SUBJECT_W
constexpr std::uint32_t ConversationTopic = 0x0070001E;     // PR_CONVERSATION_TOPIC
constexpr std::uint32_t ConversationTopicW = 0x0070001F;    // PR_CONVERSATION_TOPIC_W
constexpr std::uint32_t Body = 0x1000001E;                  // PR_BODY
constexpr std::uint32_t BodyW = 0x1000001F;                 // PR_BODY_W
constexpr std::uint32_t BodyHtml = 0x10130102;              // PR_HTML (binary)
constexpr std::uint32_t BodyHtmlA = 0x1013001E;             // PR_BODY_HTML_A
constexpr std::uint32_t BodyHtmlW = 0x1013001F;             // PR_BODY_HTML_W
constexpr std::uint32_t AttachDataBin = 0x37010102;         // PR_ATTACH_DATA_BIN
constexpr std::uint32_t AttachDataObj = 0x3701000D;         // PR_ATTACH_DATA_OBJ
constexpr std::uint32_t ClientSubmitTime = 0x00390040;      // PR_CLIENT_SUBMIT_TIME
}  // namespace PropTag

constexpr std::uint16_t kPropIdAttachLongFilename = 0x3707;  // PR_ATTACH_LONG_FILENAME
constexpr std::uint16_t kPropIdAttachFilename = 0x3704;      // PR_ATTACH_FILENAME
constexpr std::uint16_t kPropIdDisplayName = 0x3001;         // PR_DISPLAY_NAME
constexpr std::uint16_t kPropIdAttachMethod = 0x3705;        // PR_ATTACH_METHOD
constexpr std::uint16_t kPropIdAttachContentId = 0x3712;     // PR_ATTACH_CONTENT_ID
constexpr std::uint16_t kPropIdAttachMimeTag = 0x370E;       // PR_ATTACH_MIME_TAG
