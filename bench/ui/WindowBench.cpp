// On-demand measurements of the viewer's window, and its screenshots for the README.
//
//   velquin_window_bench startup [FILE]       ms from process start to the window painted
//   velquin_window_bench first-run-done       marks the first run done in the settings, so
//                                             that start-up runs show no options dialog
//   velquin_window_bench memory FILE          peak resident memory (KB) after opening FILE
//   velquin_window_bench make-large PATH MB   writes a TNEF file with MB megabytes of
//                                             attachments (sparse, so it is quick to make)
//   velquin_window_bench screenshot FILE ROW OUT.png
//                                             the window with list row ROW selected

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "Application.h"
#include "StartTime.h"
#include "VelquinReaderOptions.h"
#include "fmTNEFReader.h"

namespace {

std::string Le16(unsigned v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// One attribute record whose data is `length` zero bytes (checksum 0), left as a hole.
bool WriteZeroAttr(int fd, std::uint8_t level, std::uint32_t id, std::uint32_t length) {
  const std::string head = std::string(1, char(level)) + Le32(id) + Le32(length);
  if (write(fd, head.data(), head.size()) != ssize_t(head.size())) return false;
  if (lseek(fd, length, SEEK_CUR) < 0) return false;
  return write(fd, "\0\0", 2) == 2;
}

bool WriteAttr(int fd, std::uint8_t level, std::uint32_t id, const std::string& data) {
  unsigned sum = 0;
  for (unsigned char c : data) sum += c;
  const std::string rec = std::string(1, char(level)) + Le32(id) + Le32(std::uint32_t(data.size())) + data + Le16(sum & 0xFFFF);
  return write(fd, rec.data(), rec.size()) == ssize_t(rec.size());
}

int MakeLarge(const char* path, long megabytes) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return 1;
  const std::string sig = Le32(0x223E9F78) + Le16(1);
  bool ok = write(fd, sig.data(), sig.size()) == ssize_t(sig.size());
  ok = ok && WriteAttr(fd, 1, 0x00018004, std::string("Large attachments") + '\0');  // attSubject
  // Nine attachments of a ninth each.
  const std::uint32_t each = std::uint32_t(megabytes * 1024 * 1024 / 9);
  for (int i = 0; i < 9 && ok; ++i) {
    ok = WriteAttr(fd, 2, 0x00069002, std::string(14, '\x01'));                      // attAttachRendData
    ok = ok && WriteAttr(fd, 2, 0x00018010, "part" + std::to_string(i) + ".bin" + '\0');  // attAttachTitle
    ok = ok && WriteZeroAttr(fd, 2, 0x0006800F, each);                                  // attAttachData
  }
  return close(fd) == 0 && ok ? 0 : 1;
}

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "make-large") == 0) return MakeLarge(argv[2], std::atol(argv[3]));
  if (argc == 2 && std::strcmp(argv[1], "first-run-done") == 0) {
    TVelquinReaderOptions().SetHasShowedOptions(true);
    return 0;
  }
  const bool startupWithoutFile = argc == 2 && std::strcmp(argv[1], "startup") == 0;
  if (argc < 3 && !startupWithoutFile) {
    std::fprintf(stderr, "usage: %s startup [FILE] | memory FILE | make-large PATH MB | first-run-done | "
                         "screenshot FILE ROW OUT\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  int qtArgc = 1;
  TVelquinApplication app(qtArgc, argv);
  TVelquinApplication::InstallPlatformServices();
  TfmVelquinDatReader window;
  const QString file = startupWithoutFile ? QString() : QString::fromLocal8Bit(argv[2]);

  if (mode == "memory") {
    const long before = PeakKb();
    window.OpenFile(file);
    std::printf("peak resident memory: %ld KB (%ld KB before the open)\n", PeakKb(), before);
    return 0;
  }
  if (!file.isEmpty()) window.OpenFile(file);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  if (mode == "startup") {
    QCoreApplication::processEvents();  // the first paint, as the hello-world does it
    std::printf("window painted %.1f ms after process start, %.1f ms processor time\n", MsSinceProcessStart(),
              CpuMsSinceProcessStart());
    return 0;
  }
  if (mode == "screenshot" && argc >= 5) {
    window.SelectRow(std::atoi(argv[3]));
    QTest::qWait(300);
    return window.grab().save(QString::fromLocal8Bit(argv[4])) ? 0 : 1;
  }
  return 2;
}
