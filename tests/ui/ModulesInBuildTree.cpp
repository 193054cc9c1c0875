// The tests run from their own folders, not from bin/ beside lib/velquin-reader, so each
// names the build tree's modules before its first use of them.
#include "MailModuleLoader.h"
#include "PictureModuleLoader.h"
#include "PrintModuleLoader.h"

namespace {

const bool kModulesNamed = [] {
  SetMailModulePath(VELQUIN_MAIL_MODULE_FILE);
  SetPictureModulePath(VELQUIN_PICTURE_MODULE_FILE);
  SetPrintModulePath(VELQUIN_PRINT_MODULE_FILE);
  return true;
}();

}  // namespace
