#include "VelquinReaderOptions.h"

#include <strings.h>

#include "DesktopAssociation.h"
#include "ExecutablePath.h"
#include "MapiHelper.h"
#include "TNEFReaderConst.h"

TVelquinReaderOptions::TVelquinReaderOptions() : TQvConfigClass(false, true, "") {
  AfterConstruction();
}

std::string TVelquinReaderOptions::EffectiveMapi32Path() const {
  return TMapiHelper::ResolveMapi32Path(Mapi32Path());
}

TPropList TVelquinReaderOptions::PublishedProperties() const {
  TPropList props = TQvConfigClass::PublishedProperties();
  props.push_back(IndexedProperty("AssociateTNEFOnThunderbird", TTypeKind::Enumeration, "Boolean", 0));
  props.push_back(IndexedProperty("AssociateDatFiles", TTypeKind::Enumeration, "Boolean", 1));
  props.push_back(IndexedProperty("HasShowedOptions", TTypeKind::Enumeration, "Boolean", 2));
  props.push_back(IndexedProperty("Language", TTypeKind::Integer, "Byte", 3));
  props.push_back(IndexedProperty("Mapi32Path", TTypeKind::LString, "string", 4));
  props.push_back(IndexedProperty("LastSaveAllDirectory", TTypeKind::LString, "string", 5));
  props.push_back(IndexedProperty("LastSaveDirectory", TTypeKind::LString, "string", 6));
  props.push_back(IndexedProperty("WindowLeft", TTypeKind::Integer, "Integer", 7));
  props.push_back(IndexedProperty("WindowTop", TTypeKind::Integer, "Integer", 8));
  props.push_back(IndexedProperty("WindowWidth", TTypeKind::Integer, "Integer", 9));
  props.push_back(IndexedProperty("WindowHeight", TTypeKind::Integer, "Integer", 10));
  props.push_back(IndexedProperty("WindowMaximized", TTypeKind::Enumeration, "Boolean", 11));
  props.push_back(IndexedProperty("SplitterSizes", TTypeKind::LString, "string", 12));
  props.push_back(IndexedProperty("MessageZoom", TTypeKind::Integer, "Integer", 13));
  return props;
}

void TVelquinReaderOptions::ApplyDatAssociation() {
  if (AssociateDatFiles()) RegisterDatAssociation();
  else UnregisterDatAssociation();
}

void TVelquinReaderOptions::RegisterDatAssociation() {
  const std::string exe = ExecutablePath();
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  try {
    // Not tested: when the open fails, the write below fails and raises.
    registry.OpenKey(".dat", true);
    registry.WriteString("", kDatClass);
    if (registry.ValueExists("NoOpen")) registry.DeleteValue("NoOpen");
    registry.CloseKey();

    if (!registry.OpenKey(kDatClass, true)) return;
    registry.WriteString("", LoadResString(TStringId::TnefFileAttachment));
    if (registry.OpenKey("DefaultIcon", true)) {
      registry.WriteString("", exe + ",0");
      registry.CloseKey();
    }

    registry.CloseKey();
    // Neither the path nor %1 is quoted: the program joins its arguments with blanks.
    if (registry.OpenKey(kDatClass, false) && registry.OpenKey("shell", true) &&
        registry.OpenKey("open", true) && registry.OpenKey("command", true))
      registry.WriteString("", exe + " %1");

    // The desktop's own association, which is what file managers on Linux consult.
    RegisterDesktopAssociation(exe);
  } catch (...) {
    throw Exception(LoadResString(TStringId::DatAssociationFailed));
  }
}

void TVelquinReaderOptions::UnregisterDatAssociation() {
  try {
    TRegistry registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    // Looked up first: a delete is a write transaction even when there is nothing to delete.
    if (registry.StoredKeyExists(kDatClass)) registry.DeleteKey(kDatClass);
    // ".dat" is ours only while its default value names our class; another program's
    // association stays as it is. Only a stored key can name it, so the system's file
    // types are not consulted on every start.
    if (registry.StoredKeyExists(".dat") && registry.OpenKey(".dat", false)) {
      if (::strcasecmp(registry.ReadString("").c_str(), kDatClass) == 0) {
        registry.DeleteValue("");
        const bool empty = registry.GetValueNames().empty() && registry.GetKeyNames().empty();
        registry.CloseKey();
        if (empty) registry.DeleteKey(".dat");
      }
    }
  } catch (...) {
    // Runs at every start while the option is off: nothing to report, nothing to retry.
  }
  try {
    UnregisterDesktopAssociation();
  } catch (...) {
  }
}
