#include "SaveAllNames.h"

#include "SafeFileName.h"
#include "TNEFReaderConst.h"

std::string MessageTextFileName(TBodyKind kind) {
  switch (kind) {
    case TBodyKind::Html: return LoadResString(TStringId::MessageTextHtm);
    case TBodyKind::Text: return LoadResString(TStringId::MessageTextTxt);
    default: return LoadResString(TStringId::MessageTextRtf);
  }
}

std::string TSaveAllNames::Key(const std::string& name) {
  std::string key = name;
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

std::string TSaveAllNames::Claim(const std::string& name) {
  if (FTaken.insert(Key(name)).second) return name;
  for (int n = 2;; ++n) {
    const std::string variant = NumberedFileName(name, n);
    if (FTaken.count(Key(variant)) != 0) continue;
    FTaken.insert(Key(variant));
    return variant;
  }
}
