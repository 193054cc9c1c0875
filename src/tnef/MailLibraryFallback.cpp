// The message body through the system mail library, for a compressed-RTF value that the
// program's own decoder refused.

#include "DynamicLibrary.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"

std::string TTNEFReader::DecompressRTFWithMapi(const std::string& data) const {
  (void)data;
  try {
    TDynamicLibrary library;
    if (!library.Load(FMapi32Path))
      return LoadResString(TStringId::MapiLoadFailed) + library.LastError();
    if (!library.Symbol("MAPIInitialize") || !library.Symbol("MAPIUninitialize")) return "";
    if (!library.Symbol("WrapCompressedRTFStream")) return "";
    return "";
  } catch (const std::exception& e) {
    return LoadResString(TStringId::MapiMessageTextFailed) + e.what();
  }
}
