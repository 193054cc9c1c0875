#pragma once
// The desktop shell behind IShell: QDesktopServices hands the file or address to the
// program the desktop associates with it (xdg-open on Linux).

#include "Shell.h"

class TQtShell : public IShell {
public:
  void Open(const std::string& pathOrUrl) override;
};
