// Editing mimeapps.list and writing the desktop entry's Exec line.

#include <gtest/gtest.h>

#include "DesktopAssociation.h"

namespace {

const char* const kMime = "application/vnd.ms-tnef";
const char* const kUs = "velquin-reader.desktop";

TEST(DesktopAssociation, ExecArgumentsAreQuotedByTheDesktopEntryRules) {
  EXPECT_EQ(DesktopExecArgument("/usr/bin/velquin-reader"), "/usr/bin/velquin-reader");
  EXPECT_EQ(DesktopExecArgument("/opt/My Apps/viewer"), "\"/opt/My Apps/viewer\"");
  // Inside quotes " ` $ \ get a backslash, and every backslash is then doubled again as
  // the desktop entry's string escape.
  EXPECT_EQ(DesktopExecArgument("/a$b/\"c\""), "\"/a\\\\$b/\\\\\"c\\\\\"\"");
  EXPECT_EQ(DesktopExecArgument("/100%/x"), "/100%%/x");
}

TEST(DesktopAssociation, RegisteringPutsUsFirstAndRemovingRestoresTheLineExactly) {
  struct {
    const char* Before;
    const char* Registered;
  } const cases[] = {
      {"", "[Default Applications]\napplication/vnd.ms-tnef=velquin-reader.desktop;\n"},
      {"[Default Applications]\ntext/plain=a.desktop",
       "[Default Applications]\napplication/vnd.ms-tnef=velquin-reader.desktop;\ntext/plain=a.desktop"},
      {"[Other]\nx=y\n", "[Other]\nx=y\n\n[Default Applications]\napplication/vnd.ms-tnef=velquin-reader.desktop;\n"},
      {"[Default Applications]\napplication/vnd.ms-tnef=other.desktop\n",
       "[Default Applications]\napplication/vnd.ms-tnef=velquin-reader.desktop;other.desktop\n"},
      {"[Default Applications]\r\napplication/vnd.ms-tnef=other.desktop;\r\n",
       "[Default Applications]\r\napplication/vnd.ms-tnef=velquin-reader.desktop;other.desktop;\r\n"},
      // Only the [Default Applications] section counts.
      {"[Added Associations]\napplication/vnd.ms-tnef=other.desktop;\n",
       "[Added Associations]\napplication/vnd.ms-tnef=other.desktop;\n\n[Default Applications]\n"
       "application/vnd.ms-tnef=velquin-reader.desktop;\n"},
  };
  for (const auto& c : cases) {
    const std::string registered = WithDefaultHandler(c.Before, kMime, kUs);
    EXPECT_EQ(registered, c.Registered) << c.Before;
    EXPECT_EQ(WithDefaultHandler(registered, kMime, kUs), registered) << c.Before;
    const std::string removed = WithoutDefaultHandler(registered, kMime, kUs);
    // What registering added as a whole line or section header may stay as an empty
    // section; every line that was there before is back as it was.
    if (std::string(c.Before).find(kMime) != std::string::npos &&
        std::string(c.Before).find("[Default Applications]") != std::string::npos) {
      EXPECT_EQ(removed, c.Before);
    }
    EXPECT_EQ(removed.find(kUs), std::string::npos) << removed;
  }
}

TEST(DesktopAssociation, RemovingLeavesOtherProgramsDefaultsAlone) {
  const std::string theirs = "[Default Applications]\napplication/vnd.ms-tnef=other.desktop;\n";
  EXPECT_EQ(WithoutDefaultHandler(theirs, kMime, kUs), theirs);
  // Promoted behind another program by the user: only our entry goes.
  EXPECT_EQ(WithoutDefaultHandler(
                "[Default Applications]\napplication/vnd.ms-tnef=other.desktop;velquin-reader.desktop;x.desktop\n",
                kMime, kUs),
            "[Default Applications]\napplication/vnd.ms-tnef=other.desktop;x.desktop\n");
  EXPECT_EQ(WithoutDefaultHandler("[Default Applications]\napplication/vnd.ms-tnef=velquin-reader.desktop;\n"
                                  "image/png=v.desktop\n",
                                  kMime, kUs),
            "[Default Applications]\nimage/png=v.desktop\n");
  EXPECT_EQ(WithoutDefaultHandler("", kMime, kUs), "");
}

// xdg-mime adds its own line when a hand-written one differs in spacing; desktops read the
// last one, and removing must reach every line that names us.
TEST(DesktopAssociation, TheLastLineForTheTypeIsTheOneInForce) {
  const std::string twice =
      "[Default Applications]\napplication/vnd.ms-tnef = other.desktop\n"
      "application/vnd.ms-tnef=velquin-reader.desktop\n";
  EXPECT_EQ(FirstDefaultHandler(twice, kMime), kUs);
  const std::string removed = WithoutDefaultHandler(twice, kMime, kUs);
  EXPECT_EQ(removed, "[Default Applications]\napplication/vnd.ms-tnef = other.desktop\n");
  EXPECT_EQ(FirstDefaultHandler(removed, kMime), "other.desktop");
  EXPECT_EQ(FirstDefaultHandler("[Added Associations]\napplication/vnd.ms-tnef=x.desktop\n", kMime), "");
}

}  // namespace
