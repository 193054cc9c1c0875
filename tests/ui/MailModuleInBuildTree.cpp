// The tests run from their own folders, not from bin/ beside lib/velquin-reader, so each
// names the build tree's mail module before its first mail.
#include "MailModuleLoader.h"

namespace {

const bool kModuleNamed = [] {
  SetMailModulePath(VELQUIN_MAIL_MODULE_FILE);
  return true;
}();

}  // namespace
