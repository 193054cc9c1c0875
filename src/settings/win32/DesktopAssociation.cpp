// On Windows the registry keys under HKEY_CLASSES_ROOT are the whole association: Explorer
// reads them itself, and there are no desktop entries or mimeapps.list to keep in step.
#include "DesktopAssociation.h"

void RegisterDesktopAssociation(const std::string&) {}
void UnregisterDesktopAssociation() {}
