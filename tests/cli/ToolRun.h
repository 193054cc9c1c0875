#pragma once
// Runs velquin-tnef in process and keeps what it printed, for the CLI tests.

#include <sstream>
#include <string>
#include <vector>

#include "TnefTool.h"

struct TRun {
  int Status;
  std::string Out;
  std::string Err;
};

inline TRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunTnefTool(args, out, err);
  return {status, out.str(), err.str()};
}
