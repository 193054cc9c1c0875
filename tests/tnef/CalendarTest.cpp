#include <gtest/gtest.h>

#include <string>

#include "CalendarItem.h"
#include "Recurrence.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"

using namespace tb;

namespace {

constexpr std::uint32_t kMessageClass = 0x00078008;  // attMessageClass
constexpr std::uint32_t kRecipTable = 0x00069004;    // attRecipTable
constexpr std::int64_t kStart = 1358762400;          // 2013-01-21 10:00 UTC

std::string Class(const std::string& name) { return name + '\0'; }

std::string RecipientRow(std::uint32_t type, const std::string& name, const std::string& address,
                         std::uint32_t track, std::uint32_t flags = 1) {
  return PropBlock()
      .String8(0x3001, name)
      .String8(0x39FE, address)
      .Long(0x0C15, type)
      .Long(0x5FFF, track)
      .Long(0x5FFD, flags)
      .Bytes();
}

// A recurrence pattern as writers store it: frequency, pattern type, period, the pattern's
// own fields, then the end, the exception lists and the range.
std::string Pattern(std::uint16_t frequency, std::uint16_t type, std::uint32_t period, const std::string& specific,
                    std::uint32_t endType, std::uint32_t count, std::uint32_t deleted = 0) {
  std::string b = Le16(0x3004) + Le16(0x3004) + Le16(frequency) + Le16(type) + Le16(0) + Le32(0) + Le32(period) +
                  Le32(0) + specific + Le32(endType) + Le32(count) + Le32(0) + Le32(deleted);
  b += std::string(static_cast<std::size_t>(deleted) * 4, '\0') + Le32(0) + Le32(0x0CB3A8E0) + Le32(0x0CB3A8E0);
  return b;
}

class CalendarTest : public ::testing::Test {
protected:
  std::unique_ptr<TTNEFReader> Open(const TnefBuilder& b) {
    const std::string path = b.WriteTo(Dir / ("t" + std::to_string(++FCount) + ".tnef"));
    return std::make_unique<TTNEFReader>(path, "/nonexistent/mail-library.so");
  }
  TTempDir Dir;

private:
  int FCount = 0;
};

}  // namespace

TEST_F(CalendarTest, MeetingRequestHasTimesPlaceOrganizerAndAttendeesWithRolesAndAnswers) {
  TnefBuilder b;
  b.Msg(kMessageClass, Class("IPM.Schedule.Meeting.Request")).Subject("Planning");
  b.MsgProps(PropBlock()
                 .NamedTime(kPsetidAppointment, 0x820D, kStart)
                 .NamedTime(kPsetidAppointment, 0x820E, kStart + 5400)
                 .NamedString8(kPsetidAppointment, 0x8208, "Room 4")
                 .NamedBinary(kPsetidMeeting, 0x0003, std::string("\x04\x00\xAB", 3))
                 .NamedString8(kPsetidAppointment, 0x823B, "Not; Used")
                 .String8(0x0042, "Olga")
                 .String8(0x5D02, "olga@x.org"));
  b.Msg(kRecipTable, Le32(4) + RecipientRow(1, "Olga", "olga@x.org", 1, 0x3) +
                         RecipientRow(1, "Ann", "ann@x.org", 3) + RecipientRow(2, "Bob", "bob@x.org", 2) +
                         RecipientRow(3, "Room", "room@x.org", 4));
  const auto r = Open(b);
  const TCalendarItem& c = r->Calendar();
  ASSERT_EQ(c.Kind, TCalendarKind::Event);
  EXPECT_EQ(c.Method, TCalendarMethod::Request);
  EXPECT_EQ(c.Summary, "Planning");
  EXPECT_EQ(c.Start, kStart);
  EXPECT_EQ(c.End, kStart + 5400);
  EXPECT_FALSE(c.AllDay);
  EXPECT_EQ(c.Location, "Room 4");
  EXPECT_EQ(c.Uid, "0400AB");
  EXPECT_EQ(c.OrganizerName, "Olga");
  EXPECT_EQ(c.OrganizerAddress, "olga@x.org");
  // The organizer's own row is not an attendee; the table's types are the roles.
  ASSERT_EQ(c.Attendees.size(), 3u);
  EXPECT_EQ(c.Attendees[0].Name, "Ann");
  EXPECT_EQ(c.Attendees[0].Role, TAttendeeRole::Required);
  EXPECT_EQ(c.Attendees[0].Answer, TCalendarAnswer::Accepted);
  EXPECT_EQ(c.Attendees[1].Role, TAttendeeRole::Optional);
  EXPECT_EQ(c.Attendees[1].Answer, TCalendarAnswer::Tentative);
  EXPECT_EQ(c.Attendees[2].Role, TAttendeeRole::Resource);
  EXPECT_EQ(c.Attendees[2].Answer, TCalendarAnswer::Declined);
  EXPECT_EQ(r->SubmitTime(), 0);
}

TEST_F(CalendarTest, ClassesRepliesAllDayEventsAndTasks) {
  {  // Without a recipient table the attendee texts name them; attDateStart stands in.
    TnefBuilder b;
    b.Msg(kMessageClass, Class("IPM.Microsoft Schedule.MtgReq"))
        .Msg(0x00030006, Date(2013, 1, 21, 10, 0, 0))
        .MsgProps(PropBlock()
                      .NamedString8(kPsetidAppointment, 0x823B, "Ann;  b@x.org ;")
                      .NamedString8(kPsetidAppointment, 0x823C, "Cy"));
    const TCalendarItem c = Open(b)->Calendar();
    EXPECT_EQ(c.Start, kStart);
    ASSERT_EQ(c.Attendees.size(), 3u);
    EXPECT_EQ(c.Attendees[1].Name, "b@x.org");
    EXPECT_EQ(c.Attendees[1].Address, "b@x.org");
    EXPECT_EQ(c.Attendees[0].Address, "");
    EXPECT_EQ(c.Attendees[2].Role, TAttendeeRole::Optional);
  }
  {  // A reply: the sender is the attendee who answers, the recipient the organizer.
    TnefBuilder b;
    b.Msg(kMessageClass, Class("IPM.Schedule.Meeting.Resp.Tent"))
        .MsgProps(PropBlock().String8(0x0042, "Ann").String8(0x0064, "SMTP").String8(0x0065, "ann@x.org"))
        .Msg(kRecipTable, Le32(1) + RecipientRow(1, "Olga", "olga@x.org", 0));
    const TCalendarItem c = Open(b)->Calendar();
    EXPECT_EQ(c.Method, TCalendarMethod::Reply);
    EXPECT_EQ(c.Answer, TCalendarAnswer::Tentative);
    EXPECT_EQ(c.OrganizerAddress, "olga@x.org");
    ASSERT_EQ(c.Attendees.size(), 1u);
    EXPECT_EQ(c.Attendees[0].Address, "ann@x.org");
    EXPECT_EQ(c.Attendees[0].Answer, TCalendarAnswer::Tentative);
  }
  {  // All day: the writer's local midnight (22:00 UTC the day before) is the date.
    TnefBuilder b;
    b.Msg(kMessageClass, Class("IPM.Appointment.Holiday"))
        .MsgProps(PropBlock()
                      .NamedTime(kPsetidAppointment, 0x820D, 1055109600)   // 2003-06-08 22:00 UTC
                      .NamedTime(kPsetidAppointment, 0x820E, 1055196000)
                      .NamedBool(kPsetidAppointment, 0x8215, true));
    const TCalendarItem c = Open(b)->Calendar();
    EXPECT_EQ(c.Method, TCalendarMethod::Publish);
    EXPECT_TRUE(c.AllDay);
    EXPECT_EQ(CompactDate(*c.Start), "20030609");
    EXPECT_EQ(*c.End - *c.Start, 86400);
  }
  {  // A task: status, share done, due date.
    TnefBuilder b;
    b.Msg(kMessageClass, Class("IPM.Task"))
        .MsgProps(PropBlock()
                      .NamedLong(kPsetidTask, 0x8101, 1)
                      .Named(0x0005, kPsetidTask, 0x8102, Le32(0) + Le32(0x3FD00000))  // 0.25
                      .NamedTime(kPsetidTask, 0x8105, 1545696000));                    // 2018-12-25
    const TCalendarItem c = Open(b)->Calendar();
    EXPECT_EQ(c.Kind, TCalendarKind::Task);
    EXPECT_EQ(c.Status, TTaskStatus::InProgress);
    EXPECT_DOUBLE_EQ(*c.PercentComplete, 0.25);
    EXPECT_EQ(CompactDate(*c.TaskDue), "20181225");
  }
  {  // The same properties on a plain note make no calendar item.
    TnefBuilder b;
    b.Msg(kMessageClass, Class("IPM.Note")).MsgProps(PropBlock().NamedTime(kPsetidAppointment, 0x820D, kStart));
    EXPECT_FALSE(Open(b)->Calendar().IsCalendarItem());
  }
}

TEST_F(CalendarTest, RecurrenceInRulesAndWords) {
  const auto weekly = DecodeRecurrence(Pattern(0x200B, 0x0001, 2, Le32(0x0A), 0x2022, 10));
  ASSERT_TRUE(weekly);
  EXPECT_EQ(RecurrenceRule(*weekly, 1, false), "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;COUNT=10");
  EXPECT_EQ(RecurrenceWords(*weekly, 1), "every 2 weeks on Monday, Wednesday, 10 times");

  const auto yearly = DecodeRecurrence(Pattern(0x200D, 0x0002, 12, Le32(25), 0x2023, 10, 3));
  ASSERT_TRUE(yearly);
  EXPECT_EQ(RecurrenceRule(*yearly, 12, false), "FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=25");
  EXPECT_EQ(RecurrenceWords(*yearly, 12), "every year on December 25");

  const auto nth = DecodeRecurrence(Pattern(0x200C, 0x0004, 1, Le32(0x04) + Le32(5), 0x2021, 0));
  ASSERT_TRUE(nth);
  EXPECT_EQ(RecurrenceWords(*nth, 3), "every month on the last Tuesday");
  EXPECT_NE(RecurrenceRule(*nth, 3, true).find("BYSETPOS=-1;UNTIL="), std::string::npos);

  // Cut short anywhere, or with exception counts beyond the bytes: no pattern, no overread.
  const std::string whole = Pattern(0x200B, 0x0001, 1, Le32(0x02), 0x2022, 3);
  for (std::size_t n = 0; n < whole.size(); ++n) EXPECT_FALSE(DecodeRecurrence(whole.substr(0, n))) << n;
  std::string huge = Pattern(0x200A, 0x0000, 1440, "", 0x2023, 0);
  huge.replace(huge.size() - 16, 4, Le32(0x40000000));
  EXPECT_FALSE(DecodeRecurrence(huge));
}

TEST_F(CalendarTest, ANamedPropertyWithAHugeNameEndsTheBlockAndKeepsWhatCameBefore) {
  // A string name that claims nearly 4 GB: the scan stops there, having cost nothing.
  const std::string hugeName = Le16(0x001E) + Le16(0x8001) + kPsetidAppointment + Le32(1) + Le32(0xFFFFFFF0);
  TnefBuilder b;
  b.Msg(kMessageClass, Class("IPM.Appointment"))
      .MsgProps(PropBlock().NamedString8(kPsetidAppointment, 0x8208, "Kept").Raw(hugeName).Count(2));
  const auto r = Open(b);
  EXPECT_EQ(r->Calendar().Location, "Kept");
}
