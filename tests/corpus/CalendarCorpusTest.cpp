// The iCalendar export of the real meeting request and of the task and the appointment
// attached to christmas.tnef, read back with libical and with Python's icalendar package
// (a second, independent parser) and compared with the peer's own export where there is one.

#include <gtest/gtest.h>
#include <libical/ical.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "TempDir.h"
#include "TnefTool.h"

namespace {

std::string Ics(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunTnefTool(args, out, err);
  EXPECT_EQ(status, 0) << err.str();
  return out.str();
}

struct TComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using TComponent = std::unique_ptr<icalcomponent, TComponentFree>;

std::string Trimmed(const char* text) {
  std::string s = text ? text : "";
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string UtcText(icaltimetype t) { return icaltime_as_ical_string(t); }

std::set<std::string> AttendeeNames(icalcomponent* event) {
  std::set<std::string> names;
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY); p;
       p = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY)) {
    icalparameter* cn = icalproperty_get_first_parameter(p, ICAL_CN_PARAMETER);
    const std::string name = cn ? icalparameter_get_cn(cn) : "";
    if (!name.empty()) names.insert(name);
  }
  return names;
}

// Python's parser reads the text and finds the component; skipped where it is not installed.
void CheckWithPython(const std::string& text, const std::string& component, const TTempDir& dir) {
  if (std::system("/usr/bin/python3 -c 'import icalendar' 2>/dev/null") != 0) {
    std::cout << "python3-icalendar not installed: second parser skipped\n";
    return;
  }
  const std::string path = dir / "item.ics";
  std::ofstream(path, std::ios::binary) << text;
  const std::string script =
      "import sys, icalendar\n"
      "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
      "items = [c for c in cal.walk() if c.name == sys.argv[2]]\n"
      "sys.exit(0 if len(items) == 1 and cal.get('METHOD') and items[0].get('UID') else 1)\n";
  const std::string scriptPath = dir / "check.py";
  std::ofstream(scriptPath) << script;
  EXPECT_EQ(std::system(("/usr/bin/python3 " + scriptPath + " " + path + " " + component).c_str()), 0);
}

}  // namespace

TEST(CalendarCorpus, MeetingRequestAgreesWithThePeersExport) {
  const std::string corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "corpus folder not present";
  const std::string folder = corpus + "/meetupcall-ytnef-2.6.1";
  const std::string text = Ics({"ics", folder + "/winmail.dat"});
  TComponent ours(icalparser_parse_string(text.c_str()));
  std::ifstream peerFile(folder + "/calendar.vcf");
  std::stringstream peerText;
  peerText << peerFile.rdbuf();
  // The peer wrote the summary with the NUL padding of its buffer; a C string would end there.
  std::string peerBytes = peerText.str();
  peerBytes.erase(std::remove(peerBytes.begin(), peerBytes.end(), '\0'), peerBytes.end());
  TComponent peer(icalparser_parse_string(peerBytes.c_str()));
  ASSERT_TRUE(ours && peer);
  EXPECT_EQ(icalcomponent_get_method(ours.get()), ICAL_METHOD_REQUEST);
  icalcomponent* a = icalcomponent_get_first_component(ours.get(), ICAL_VEVENT_COMPONENT);
  icalcomponent* b = icalcomponent_get_first_component(peer.get(), ICAL_VEVENT_COMPONENT);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(UtcText(icalcomponent_get_dtstart(a)), "20130121T100000Z");
  EXPECT_EQ(UtcText(icalcomponent_get_dtstart(a)), UtcText(icalcomponent_get_dtstart(b)));
  EXPECT_EQ(UtcText(icalcomponent_get_dtend(a)), UtcText(icalcomponent_get_dtend(b)));
  EXPECT_EQ(Trimmed(icalcomponent_get_summary(a)), Trimmed(icalcomponent_get_summary(b)));
  EXPECT_EQ(Trimmed(icalcomponent_get_location(a)), Trimmed(icalcomponent_get_location(b)));
  EXPECT_EQ(Trimmed(icalcomponent_get_uid(a)), Trimmed(icalcomponent_get_uid(b)));
  // The peer lists a seventh attendee with no name and no address, made from an empty Cc
  // list; every attendee who has a name is in both.
  EXPECT_EQ(AttendeeNames(a), AttendeeNames(b));
  EXPECT_EQ(AttendeeNames(a).size(), 6u);
  TTempDir dir;
  CheckWithPython(text, "VEVENT", dir);
}

TEST(CalendarCorpus, TheTaskAndTheAppointmentInsideChristmasTnef) {
  const std::string corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "corpus folder not present";
  const std::string file = corpus + "/jstedfast-mimekit/christmas.tnef";
  TTempDir dir;

  const std::string task = Ics({"ics", file, "--attachment", "2"});
  TComponent todo(icalparser_parse_string(task.c_str()));
  ASSERT_TRUE(todo);
  icalcomponent* t = icalcomponent_get_first_component(todo.get(), ICAL_VTODO_COMPONENT);
  ASSERT_TRUE(t);
  EXPECT_STREQ(icalcomponent_get_summary(t), "Build a train table");
  EXPECT_EQ(UtcText(icalcomponent_get_due(t)), "20181225");
  EXPECT_EQ(icalproperty_get_percentcomplete(icalcomponent_get_first_property(t, ICAL_PERCENTCOMPLETE_PROPERTY)), 5);
  CheckWithPython(task, "VTODO", dir);

  const std::string appointment = Ics({"ics", file, "--attachment", "3"});
  TComponent event(icalparser_parse_string(appointment.c_str()));
  ASSERT_TRUE(event);
  EXPECT_EQ(icalcomponent_get_method(event.get()), ICAL_METHOD_PUBLISH);
  icalcomponent* e = icalcomponent_get_first_component(event.get(), ICAL_VEVENT_COMPONENT);
  ASSERT_TRUE(e);
  EXPECT_STREQ(icalcomponent_get_summary(e), "Christmas Celebration!");
  EXPECT_STREQ(icalcomponent_get_location(e), "Home");
  // 7:00 to 9:00 in New York, as its recurrence text says.
  EXPECT_EQ(UtcText(icalcomponent_get_dtstart(e)), "20181225T120000Z");
  EXPECT_EQ(UtcText(icalcomponent_get_dtend(e)), "20181225T140000Z");
  icalproperty* rrule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY);
  ASSERT_TRUE(rrule);
  const icalrecurrencetype rule = icalproperty_get_rrule(rrule);
  EXPECT_EQ(rule.freq, ICAL_YEARLY_RECURRENCE);
  EXPECT_EQ(rule.by_month[0], 12);
  EXPECT_EQ(rule.by_month_day[0], 25);
  CheckWithPython(appointment, "VEVENT", dir);

  // The outer message is a note: no calendar item, exit status 1 and a message.
  std::ostringstream out, err;
  EXPECT_EQ(RunTnefTool({"ics", file}, out, err), 1);
  EXPECT_NE(err.str().find("no calendar item"), std::string::npos);
  EXPECT_TRUE(out.str().empty());
}
