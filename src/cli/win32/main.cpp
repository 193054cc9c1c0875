// velquin-tnef on Windows: the arguments arrive as UTF-16 and are handed on as UTF-8, the
// program's own form for names, so any file name can be given. Standard input and output
// carry bytes, as on Linux: no CR inserted before LF, no stop at Ctrl-Z.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

#include "TnefTool.h"
#include "WideText.h"

int wmain(int argc, wchar_t** argv) {
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Narrow(argv[i]));
  return RunTnefTool(args, std::cout, std::cerr);
}
