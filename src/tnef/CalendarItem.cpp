#include "CalendarItem.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "ByteReader.h"
#include "CodePage.h"

namespace {

// The published property sets, as their GUIDs lie in a file.
constexpr std::uint8_t kPsetidAppointment[16] = {0x02, 0x20, 0x06, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
constexpr std::uint8_t kPsetidTask[16] = {0x03, 0x20, 0x06, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
constexpr std::uint8_t kPsetidMeeting[16] = {0x90, 0xDA, 0xD8, 0x6E, 0x0B, 0x45, 0x1B, 0x10,
                                             0x98, 0xDA, 0x00, 0xAA, 0x00, 0x3F, 0x13, 0x05};

namespace Lid {
constexpr std::uint32_t AppointmentSequence = 0x8201;  // PidLidAppointmentSequence
constexpr std::uint32_t Location = 0x8208;             // PidLidLocation
constexpr std::uint32_t StartWhole = 0x820D;           // PidLidAppointmentStartWhole
constexpr std::uint32_t EndWhole = 0x820E;             // PidLidAppointmentEndWhole
constexpr std::uint32_t SubType = 0x8215;              // PidLidAppointmentSubType (all day)
constexpr std::uint32_t Recur = 0x8216;                // PidLidAppointmentRecur
constexpr std::uint32_t ResponseStatus = 0x8218;       // PidLidResponseStatus
constexpr std::uint32_t Recurring = 0x8223;            // PidLidRecurring
constexpr std::uint32_t RecurrencePattern = 0x8232;    // PidLidRecurrencePattern
constexpr std::uint32_t ToAttendees = 0x823B;          // PidLidToAttendeesString
constexpr std::uint32_t CcAttendees = 0x823C;          // PidLidCcAttendeesString
constexpr std::uint32_t Where = 0x0002;                // PidLidWhere
constexpr std::uint32_t GlobalObjectId = 0x0003;       // PidLidGlobalObjectId
constexpr std::uint32_t CleanGlobalObjectId = 0x0023;  // PidLidCleanGlobalObjectId
constexpr std::uint32_t TaskStatus = 0x8101;           // PidLidTaskStatus
constexpr std::uint32_t PercentComplete = 0x8102;      // PidLidPercentComplete
constexpr std::uint32_t TaskStartDate = 0x8104;        // PidLidTaskStartDate
constexpr std::uint32_t TaskDueDate = 0x8105;          // PidLidTaskDueDate
constexpr std::uint32_t TaskComplete = 0x811C;         // PidLidTaskComplete
}  // namespace Lid

namespace Tag {
constexpr std::uint16_t StartDate = 0x0060;               // PR_START_DATE
constexpr std::uint16_t EndDate = 0x0061;                 // PR_END_DATE
constexpr std::uint16_t ResponseRequested = 0x0063;       // PR_RESPONSE_REQUESTED
constexpr std::uint16_t SentRepresentingName = 0x0042;    // PR_SENT_REPRESENTING_NAME
constexpr std::uint16_t SentRepresentingType = 0x0064;    // PR_SENT_REPRESENTING_ADDRTYPE
constexpr std::uint16_t SentRepresentingEmail = 0x0065;   // PR_SENT_REPRESENTING_EMAIL_ADDRESS
constexpr std::uint16_t SentRepresentingSmtp = 0x5D02;    // PR_SENT_REPRESENTING_SMTP_ADDRESS
}  // namespace Tag

namespace Att {
constexpr std::uint32_t DateStart = 0x00030006;   // attDateStart
constexpr std::uint32_t DateEnd = 0x00030007;     // attDateEnd
constexpr std::uint32_t Owner = 0x00060000;       // attOwner
constexpr std::uint32_t RequestRes = 0x00040009;  // attRequestRes
}  // namespace Att

constexpr std::uint32_t kRecipientIsOrganizer = 0x0002;  // recipOrganizer
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600LL;
// Writers store "no date" as dates in year 4500 and later.
constexpr std::int64_t kLatestUnixTime = 79870000000LL;  // late in year 4500

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// The seven 16-bit numbers of attDateStart / attDateEnd, read as UTC like attDateSent.
std::optional<std::int64_t> AttributeDate(std::string_view data) {
  if (data.size() < 12) return std::nullopt;
  const unsigned year = LoadLe16(data, 0), month = LoadLe16(data, 2), day = LoadLe16(data, 4);
  const unsigned hour = LoadLe16(data, 6), minute = LoadLe16(data, 8), second = LoadLe16(data, 10);
  if (year < 1601 || year > 4499 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
      minute > 59 || second > 59)
    return std::nullopt;
  return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

bool SameGuid(const TPropName& name, const std::uint8_t (&guid)[16]) {
  return !name.IsString && std::memcmp(name.Guid, guid, 16) == 0;
}

std::optional<std::int64_t> SysTime(std::uint16_t type, std::string_view value) {
  if (type != PropType::SysTime || value.size() != 8) return std::nullopt;
  return FileTimeToUnix(LoadLe32(value, 0) | static_cast<std::uint64_t>(LoadLe32(value, 4)) << 32);
}

std::optional<std::int32_t> Long(std::uint16_t type, std::string_view value) {
  if (type != PropType::Long || value.size() != 4) return std::nullopt;
  return static_cast<std::int32_t>(LoadLe32(value, 0));
}

std::optional<bool> Bool(std::uint16_t type, std::string_view value) {
  if (type != PropType::Boolean || value.size() < 2) return std::nullopt;
  return LoadLe16(value, 0) != 0;
}

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

// Rounds to the nearest 00:00 UTC: an all-day event starts at its writer's local midnight,
// which lies within twelve hours of the UTC midnight of the same date.
std::int64_t NearestMidnight(std::int64_t t) {
  const std::int64_t shifted = t + 43200;
  return (shifted >= 0 ? shifted / 86400 : (shifted - 86399) / 86400) * 86400;
}

// The answer of a reply's message class, and the class's kind and method.
struct TClassMeaning {
  TCalendarKind Kind = TCalendarKind::None;
  TCalendarMethod Method = TCalendarMethod::Publish;
  TCalendarAnswer Answer = TCalendarAnswer::None;
};

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

TClassMeaning MeaningOf(std::string_view messageClass) {
  struct TEntry {
    const char* Prefix;
    TClassMeaning Meaning;
  };
  using K = TCalendarKind;
  using M = TCalendarMethod;
  using A = TCalendarAnswer;
  // Longer prefixes first, so "IPM.TaskRequest.Accept" is not taken for "IPM.TaskRequest".
  static const TEntry kTable[] = {
      {"IPM.Schedule.Meeting.Request", {K::Event, M::Request, A::None}},
      {"IPM.Schedule.Meeting.Resp.Pos", {K::Event, M::Reply, A::Accepted}},
      {"IPM.Schedule.Meeting.Resp.Tent", {K::Event, M::Reply, A::Tentative}},
      {"IPM.Schedule.Meeting.Resp.Neg", {K::Event, M::Reply, A::Declined}},
      {"IPM.Schedule.Meeting.Canceled", {K::Event, M::Cancel, A::None}},
      {"IPM.Microsoft Schedule.MtgReq", {K::Event, M::Request, A::None}},
      {"IPM.Microsoft Schedule.MtgRespP", {K::Event, M::Reply, A::Accepted}},
      {"IPM.Microsoft Schedule.MtgRespA", {K::Event, M::Reply, A::Tentative}},
      {"IPM.Microsoft Schedule.MtgRespN", {K::Event, M::Reply, A::Declined}},
      {"IPM.Microsoft Schedule.MtgCncl", {K::Event, M::Cancel, A::None}},
      {"IPM.Appointment", {K::Event, M::Publish, A::None}},
      {"IPM.TaskRequest.Accept", {K::Task, M::Reply, A::Accepted}},
      {"IPM.TaskRequest.Decline", {K::Task, M::Reply, A::Declined}},
      {"IPM.TaskRequest", {K::Task, M::Request, A::None}},
      {"IPM.Task", {K::Task, M::Publish, A::None}},
  };
  for (const TEntry& entry : kTable) {
    const std::string_view prefix = entry.Prefix;
    // The class itself or a subclass of it ("IPM.Appointment.Custom").
    if (StartsWithNoCase(messageClass, prefix) &&
        (messageClass.size() == prefix.size() || messageClass[prefix.size()] == '.'))
      return entry.Meaning;
  }
  return {};
}

TCalendarAnswer AnswerOfTrackStatus(std::uint32_t status) {
  switch (status) {
    case 2: return TCalendarAnswer::Tentative;
    case 3: return TCalendarAnswer::Accepted;
    case 4: return TCalendarAnswer::Declined;
    default: return TCalendarAnswer::None;
  }
}

bool LooksLikeAddress(const std::string& s) {
  return s.find('@') != std::string::npos && s.find(' ') == std::string::npos;
}

}  // namespace

std::optional<std::int64_t> FileTimeToUnix(std::uint64_t fileTime) {
  if (fileTime == 0) return std::nullopt;
  const std::int64_t t = static_cast<std::int64_t>(fileTime / 10000000) - kSecondsFrom1601To1970;
  if (t > kLatestUnixTime) return std::nullopt;
  return t;
}

void TCalendarCollector::Attribute(std::uint32_t id, std::string_view data) {
  switch (id) {
    case Att::DateStart: FAttStart = AttributeDate(data); break;
    case Att::DateEnd: FAttEnd = AttributeDate(data); break;
    case Att::RequestRes:
      if (data.size() >= 2) FResponseRequested = LoadLe16(data, 0) != 0;
      break;
    case Att::Owner: {
      // A 16-bit length and the display name, then a 16-bit length and the address.
      if (data.size() < 2) break;
      const std::size_t nameLength = std::min<std::size_t>(LoadLe16(data, 0), data.size() - 2);
      FOwnerName = std::string(UpToNul(data.substr(2, nameLength)));
      const std::size_t at = 2 + nameLength;
      if (data.size() < at + 2) break;
      const std::size_t addressLength = std::min<std::size_t>(LoadLe16(data, at), data.size() - at - 2);
      FOwnerAddress = std::string(UpToNul(data.substr(at + 2, addressLength)));
      break;
    }
    default: break;
  }
}

void TCalendarCollector::Property(std::uint32_t tag, const TPropName* name, std::string_view value) {
  const auto type = static_cast<std::uint16_t>(tag & 0xFFFF);
  const bool text = type == PropType::String8 || type == PropType::Unicode;
  const auto keep = [&](TText& field) {
    if (text) field = {std::string(value), type == PropType::Unicode};
  };
  if (!name) {
    switch (tag >> 16) {
      case Tag::StartDate: FStartDate = SysTime(type, value); break;
      case Tag::EndDate: FEndDate = SysTime(type, value); break;
      case Tag::ResponseRequested:
        if (const auto b = Bool(type, value)) FResponseRequested = *b;
        break;
      case Tag::SentRepresentingName: keep(FOrganizerName); break;
      case Tag::SentRepresentingType: keep(FOrganizerAddressType); break;
      case Tag::SentRepresentingEmail: keep(FOrganizerAddress); break;
      case Tag::SentRepresentingSmtp: keep(FOrganizerSmtp); break;
      default: break;
    }
    return;
  }
  if (SameGuid(*name, kPsetidAppointment)) {
    switch (name->Lid) {
      case Lid::StartWhole: FStartWhole = SysTime(type, value); break;
      case Lid::EndWhole: FEndWhole = SysTime(type, value); break;
      case Lid::SubType: FAllDay = Bool(type, value); break;
      case Lid::Recurring: FRecurring = Bool(type, value); break;
      case Lid::Recur:
        if (type == PropType::Binary) FRecurrenceBlob.assign(value);
        break;
      case Lid::Location: keep(FLocation); break;
      case Lid::RecurrencePattern: keep(FRecurrencePattern); break;
      case Lid::ToAttendees: keep(FToAttendees); break;
      case Lid::CcAttendees: keep(FCcAttendees); break;
      case Lid::AppointmentSequence: FSequence = Long(type, value); break;
      case Lid::ResponseStatus: FResponseStatus = Long(type, value); break;
      default: break;
    }
  } else if (SameGuid(*name, kPsetidMeeting)) {
    switch (name->Lid) {
      case Lid::Where: keep(FWhere); break;
      case Lid::GlobalObjectId:
        if (type == PropType::Binary) FGlobalObjectId.assign(value);
        break;
      case Lid::CleanGlobalObjectId:
        if (type == PropType::Binary && FGlobalObjectId.empty()) FGlobalObjectId.assign(value);
        break;
      default: break;
    }
  } else if (SameGuid(*name, kPsetidTask)) {
    switch (name->Lid) {
      case Lid::TaskStatus: FTaskStatus = Long(type, value); break;
      case Lid::PercentComplete:
        if (type == PropType::Double && value.size() == 8) {
          const std::uint64_t bits = LoadLe32(value, 0) | static_cast<std::uint64_t>(LoadLe32(value, 4)) << 32;
          double d;
          std::memcpy(&d, &bits, sizeof d);
          if (d >= 0 && d <= 1) FPercent = d;  // NaN fails both tests
        }
        break;
      case Lid::TaskStartDate: FTaskStart = SysTime(type, value); break;
      case Lid::TaskDueDate: FTaskDue = SysTime(type, value); break;
      case Lid::TaskComplete: FTaskComplete = Bool(type, value); break;
      default: break;
    }
  }
}

TCalendarItem TCalendarCollector::Finish(const std::string& messageClass, const std::string& subject,
                                         const std::vector<TRecipient>& recipients, unsigned codePage) const {
  TCalendarItem item;
  const TClassMeaning meaning = MeaningOf(messageClass);
  if (meaning.Kind == TCalendarKind::None) return item;
  item.Kind = meaning.Kind;
  item.Method = meaning.Method;
  item.Answer = meaning.Answer;
  item.Summary = subject;
  const auto decode = [codePage](const TText& t) {
    return t.Wide ? Utf16LeToUtf8(t.Bytes) : CodePageToUtf8(UpToNul(t.Bytes), codePage);
  };

  item.Start = FStartWhole ? FStartWhole : FStartDate ? FStartDate : FAttStart;
  item.End = FEndWhole ? FEndWhole : FEndDate ? FEndDate : FAttEnd;
  if (item.Start && item.End && *item.End < *item.Start) item.End = item.Start;
  item.AllDay = FAllDay.value_or(false) && item.Start;
  if (item.AllDay) {
    item.Start = NearestMidnight(*item.Start);
    item.End = item.End ? NearestMidnight(*item.End) : *item.Start + 86400;
    if (*item.End <= *item.Start) item.End = *item.Start + 86400;
  }
  item.Location = decode(FLocation);
  if (item.Location.empty()) item.Location = decode(FWhere);
  item.Sequence = FSequence.value_or(0);
  item.ResponseRequested = FResponseRequested;
  item.Uid = Hex(FGlobalObjectId);

  // The organizer: who the item is sent for, by SMTP address where there is one.
  item.OrganizerName = decode(FOrganizerName);
  item.OrganizerAddress = decode(FOrganizerSmtp);
  if (item.OrganizerAddress.empty() && decode(FOrganizerAddressType) == "SMTP")
    item.OrganizerAddress = decode(FOrganizerAddress);
  if (item.OrganizerName.empty()) item.OrganizerName = CodePageToUtf8(FOwnerName, codePage);
  if (item.OrganizerAddress.empty() && LooksLikeAddress(FOwnerAddress))
    item.OrganizerAddress = CodePageToUtf8(FOwnerAddress, codePage);

  if (FRecurring.value_or(false) || !FRecurrenceBlob.empty()) {
    item.Recurrence = DecodeRecurrence(FRecurrenceBlob);
    item.RecurrenceText = decode(FRecurrencePattern);
    if (item.RecurrenceText.empty() && item.Recurrence) {
      const int month = item.Start ? std::stoi(CompactDate(*item.Start).substr(4, 2)) : 0;
      item.RecurrenceText = RecurrenceWords(*item.Recurrence, month);
    }
  }

  if (item.Method == TCalendarMethod::Reply) {
    // A reply is sent by the attendee who answers, to the organizer.
    if (!item.OrganizerName.empty() || !item.OrganizerAddress.empty())
      item.Attendees.push_back({item.OrganizerName, item.OrganizerAddress, TAttendeeRole::Required, item.Answer});
    item.OrganizerName.clear();
    item.OrganizerAddress.clear();
    if (!recipients.empty()) {
      item.OrganizerName = recipients.front().Name;
      if (LooksLikeAddress(recipients.front().Address)) item.OrganizerAddress = recipients.front().Address;
    }
  } else if (item.Kind == TCalendarKind::Event) {
    // The recipient table knows addresses and answers; without one, the attendee lists
    // the writer keeps as text give the names.
    for (const TRecipient& r : recipients) {
      if (r.Flags & kRecipientIsOrganizer) {
        if (item.OrganizerName.empty()) item.OrganizerName = r.Name;
        if (item.OrganizerAddress.empty()) item.OrganizerAddress = r.Address;
        continue;
      }
      TAttendee a{r.Name, LooksLikeAddress(r.Address) ? r.Address : std::string(), TAttendeeRole::Required,
                  AnswerOfTrackStatus(r.TrackStatus)};
      if (r.Type == TRecipientType::Cc) a.Role = TAttendeeRole::Optional;
      if (r.Type == TRecipientType::Bcc) a.Role = TAttendeeRole::Resource;
      item.Attendees.push_back(std::move(a));
    }
    if (item.Attendees.empty()) {
      for (const auto& [list, role] : {std::pair{&FToAttendees, TAttendeeRole::Required},
                                       std::pair{&FCcAttendees, TAttendeeRole::Optional}}) {
        const std::string names = decode(*list);
        std::size_t from = 0;
        while (from <= names.size()) {
          const std::size_t semi = std::min(names.find(';', from), names.size());
          std::string one = Trim(std::string_view(names).substr(from, semi - from));
          if (!one.empty()) item.Attendees.push_back({one, LooksLikeAddress(one) ? one : "", role, TCalendarAnswer::None});
          from = semi + 1;
        }
      }
    }
  }
  if (item.Kind == TCalendarKind::Task) {
    item.TaskStart = FTaskStart ? std::optional(NearestMidnight(*FTaskStart)) : std::nullopt;
    item.TaskDue = FTaskDue ? std::optional(NearestMidnight(*FTaskDue)) : std::nullopt;
    if (FTaskStatus && *FTaskStatus >= 0 && *FTaskStatus <= 4) item.Status = static_cast<TTaskStatus>(*FTaskStatus);
    if (FTaskComplete.value_or(false)) item.Status = TTaskStatus::Completed;
    item.PercentComplete = FPercent;
  }
  return item;
}
