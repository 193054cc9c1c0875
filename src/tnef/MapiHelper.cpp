#include "MapiHelper.h"

std::string TMapiHelper::GetMapi32Path() {
  // No registry store yet: the system reports no MAPI.
  return "";
}
