// The CLI's tests run its commands in their own process, from their own folder rather than
// bin/ beside lib/velquin-reader, so they name the build tree's mail module before the
// commands first load it.
#include "MailModuleLoader.h"

namespace {

const bool kMailModuleNamed = [] {
  SetMailModulePath(VELQUIN_MAIL_MODULE_FILE);
  return true;
}();

}  // namespace
