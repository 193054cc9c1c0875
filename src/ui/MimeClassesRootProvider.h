#pragma once
// HKEY_CLASSES_ROOT's file-type keys answered from the shared MIME database: the key ".pdf"
// has the default value "application/pdf", and the key "application/pdf" has the type's
// comment in the user's language ("PDF document"). No other key exists here.

#include "ClassesRootProvider.h"

class TMimeClassesRootProvider : public IClassesRootProvider {
public:
  bool KeyExists(const std::string& keyPath) override;
  std::optional<std::string> ReadString(const std::string& keyPath,
                                        const std::string& valueName) override;
};
