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
  const std::string key = Key(name);
  if (FTaken.insert(key).second) return name;
  int& next = FNextNumber.try_emplace(key, 2).first->second;
  for (;; ++next) {
    std::string variant = NumberedFileName(name, next);
    if (FTaken.insert(Key(variant)).second) {
      ++next;
      return variant;
    }
  }
}
