#pragma once
// The desktop shell's "open" verb: hand a file or an address to the program the user's
// desktop associates with it. The reader layers ask through this interface so that they
// stay free of any GUI toolkit; the viewer installs the real shell at start, and tests
// install one that records the requests instead of starting programs.

#include <memory>
#include <string>
#include <utility>

class IShell {
public:
  virtual ~IShell() = default;
  // Opens a local file path, or an address with a scheme ("https://..."), with the
  // associated program. The outcome is not reported: nothing happens when no program is
  // registered for it.
  virtual void Open(const std::string& pathOrUrl) = 0;
};

namespace shell_detail {
inline std::shared_ptr<IShell>& Slot() {
  static std::shared_ptr<IShell> shell;
  return shell;
}
}  // namespace shell_detail

// Installs the shell every later request goes to (nullptr: requests are dropped, as in the
// command-line tool, which has no desktop).
inline void SetShell(std::shared_ptr<IShell> shell) { shell_detail::Slot() = std::move(shell); }
inline std::shared_ptr<IShell> CurrentShell() { return shell_detail::Slot(); }

// Asks the installed shell to open pathOrUrl; does nothing without one.
inline void ShellOpenDocument(const std::string& pathOrUrl) {
  if (auto shell = CurrentShell()) shell->Open(pathOrUrl);
}
