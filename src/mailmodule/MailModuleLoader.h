#pragma once
// The way to the mail and calendar module, loaded on first use from the one place the
// installation puts it: <prefix>/lib/velquin-reader beside the running program's bin/.
// The path never comes from a file or the environment.

#include <string>

#include "MailModule.h"

// The module, loaded now if it is not yet. Raises Exception naming the module and the
// reason when it is missing, refused or unusable; a later call tries again.
const TMailModule& MailModule();
// Where MailModule loads from: "" when the running program's own path is unknown.
std::string MailModulePath();
// Where to load from instead, for the tests, which run from their own folders; "" goes
// back to the installed place. Takes effect at the next load (a loaded module stays).
void SetMailModulePath(const std::string& path);
