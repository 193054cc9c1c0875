// The calendar decoding: a message property block walked with its named properties into
// the collector (as the reader does), the item made from it with a recipient table cut
// from the same bytes, its recurrence pattern, and the iCalendar text written from it.

#include <cstdint>
#include <string_view>

#include "CalendarItem.h"
#include "Exception.h"
#include "ICalendarWriter.h"
#include "Recurrence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  // The first byte picks the message class, so events, replies and tasks are all made.
  static const char* const kClasses[] = {"IPM.Appointment", "IPM.Schedule.Meeting.Request",
                                         "IPM.Schedule.Meeting.Resp.Tent", "IPM.Task",
                                         "IPM.Microsoft Schedule.MtgCncl", "IPM.Note"};
  const char* messageClass = kClasses[data[0] % 6];

  // The recurrence decoder alone, over every input.
  if (const auto rec = DecodeRecurrence(bytes)) {
    const std::size_t n = RecurrenceRule(*rec, data[0] % 13, data[0] & 1).size() + RecurrenceWords(*rec, data[0] % 13).size();
    if (n > 4096) __builtin_trap();  // both are short, whatever the input
  }

  TCalendarCollector collector;
  try {
    ScanNamedProps(bytes, [&](std::uint32_t tag, const TPropName* name, std::string_view value) {
      collector.Property(tag, name, value);
    });
  } catch (const Exception&) {
  }
  // Attribute payloads come from the same bytes: dates, attOwner, attRequestRes.
  for (std::uint32_t id : {0x00030006u, 0x00030007u, 0x00060000u, 0x00040009u})
    collector.Attribute(id, bytes.substr(0, std::min<std::size_t>(bytes.size(), 64)));
  const auto recipients = DecodeRecipientTable(bytes, 1252);
  const TCalendarItem item = collector.Finish(messageClass, "subject", recipients, data[0] & 2 ? 932 : 1252);
  // No more attendees than the rows and the two attendee texts can name.
  if (item.Attendees.size() > recipients.size() + bytes.size() / 2 + 2) __builtin_trap();
  if (item.IsCalendarItem()) {
    const std::string text = CalendarItemToICalendar(item, "body", 1);
    if (text.find("BEGIN:VCALENDAR") != 0) __builtin_trap();
  }
  return 0;
}
