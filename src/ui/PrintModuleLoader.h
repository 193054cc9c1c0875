#pragma once
// The viewer's way to its print module (see PrintModule.h), loaded with the first print or
// PDF export from beside the program (see ViewerModules.h).

#include <string>

#include "PrintModule.h"

// The module, loaded now if it is not yet. Raises Exception naming the module and the
// reason when it is missing, refused or unusable; a later call tries again.
const TPrintModule& PrintModule();
// Where to load from instead, for the tests, which run from their own folders; "" goes
// back to the installed place. Takes effect at the next load (a loaded module stays).
void SetPrintModulePath(const std::string& path);
