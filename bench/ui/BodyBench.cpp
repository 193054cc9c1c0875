// The message pane's time for long bodies, on demand:
//
//   velquin_body_bench make DIR     writes rtf-1, rtf-5, rtf-20, rtf-80 (MB of RTF body),
//                                   html-5, html-20 (MB of HTML body) and nested-1000 (HTML
//                                   tables nested 1000 deep) as .tnef files into DIR
//   velquin_body_bench show FILE    opens FILE in the window and prints the ms from the open
//                                   to the first screenful painted, to the whole body in the
//                                   pane and laid out, the longest the window kept its
//                                   event loop waiting meanwhile, and the peak resident memory
//   velquin_body_bench quit FILE    opens FILE, closes the window as soon as the first
//                                   screenful is painted, and prints the ms from the close to
//                                   the end of the program (what the work under way holds up)

#include <sys/resource.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "../BenchBodies.h"
#include "Application.h"
#include "MessageBrowser.h"
#include "TnefBuilder.h"
#include "VelquinReaderOptions.h"
#include "fmTNEFReader.h"

namespace {

constexpr std::size_t kMB = 1000 * 1000;

void Write(const std::string& path, std::uint16_t bodyTag, const std::string& body) {
  tb::TnefBuilder b;
  b.Subject("A long body");
  b.MsgProps(tb::PropBlock().Binary(bodyTag, bodyTag == 0x1009 ? tb::Lzfu(body) : body));
  b.WriteTo(path);
  std::printf("%s: %.1f MB body\n", path.c_str(), double(body.size()) / kMB);
}

int Make(const std::string& dir) {
  for (int mb : {1, 5, 20, 80}) Write(dir + "/rtf-" + std::to_string(mb) + ".tnef", 0x1009, bench::MakeRtf(mb * kMB));
  for (int mb : {5, 20}) Write(dir + "/html-" + std::to_string(mb) + ".tnef", 0x1013, bench::MakeHtml(mb * kMB));
  std::string nested;
  for (int i = 0; i < 1000; ++i) nested += "<table><tr><td>";
  nested += "deepest";
  for (int i = 0; i < 1000; ++i) nested += "</td></tr></table>";
  Write(dir + "/nested-1000.tnef", 0x1013, nested);
  return 0;
}

long PeakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

int Show(char** argv, bool quit, QElapsedTimer& quitClock);

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "make") == 0) return Make(argv[2]);
  const bool quit = argc == 3 && std::strcmp(argv[1], "quit") == 0;
  if (argc != 3 || (!quit && std::strcmp(argv[1], "show") != 0)) {
    std::fprintf(stderr, "usage: %s make DIR | show FILE | quit FILE\n", argv[0]);
    return 2;
  }
  QElapsedTimer quitClock;
  const int status = Show(argv, quit, quitClock);
  // The window and the application are gone: whatever they waited for is over.
  if (quit && status == 0) std::printf("quit %.0f ms\n", double(quitClock.nsecsElapsed()) / 1e6);
  return status;
}

// Opens argv[2] in the window and prints the show figures, or with quit closes the window
// once the first screenful is painted and starts quitClock.
int Show(char** argv, bool quit, QElapsedTimer& quitClock) {
  int qtArgc = 1;
  TVelquinApplication app(qtArgc, argv);
  TVelquinApplication::InstallPlatformServices();
  TVelquinReaderOptions().SetHasShowedOptions(true);
  TfmVelquinDatReader window;
  window.resize(1000, 800);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  auto* pane = window.findChild<TMessageBrowser*>();
  if (pane == nullptr) return 1;

  QElapsedTimer clock;
  clock.start();
  window.OpenFile(QString::fromLocal8Bit(argv[2]));
  pane->viewport()->repaint();
  const double first = double(clock.nsecsElapsed()) / 1e6;
  if (quit) {
    quitClock.start();
    window.close();
    return 0;
  }
  // The window's answer time while the body fills: the longest gap between two turns of
  // its event loop.
  double longest = 0;
  for (double last = double(clock.nsecsElapsed()) / 1e6; !pane->BodyComplete();) {
    QTest::qWait(5);
    const double now = double(clock.nsecsElapsed()) / 1e6;
    longest = std::max(longest, now - last - 5);
    last = now;
  }
  // The whole body laid out and its end painted.
  pane->document()->size();
  pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
  pane->viewport()->repaint();
  const double whole = double(clock.nsecsElapsed()) / 1e6;
  std::printf("first screenful %.0f ms, whole body %.0f ms, longest wait %.0f ms, peak memory %ld MB, %d characters\n",
              first, whole, longest, PeakMb(), pane->document()->characterCount());
  return 0;
}
