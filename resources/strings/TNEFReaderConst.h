#pragma once
// The table of user-visible strings. Code below the UI raises and prints these texts through
// LoadResString, which returns the English text unless the UI installed a translation hook
// that answers from the current language module.

#include <functional>
#include <string>
#include <string_view>

#include "Format.h"

enum class TStringId {
#define VELQUIN_STRING(id, text) id,
#include "Strings.def"
#undef VELQUIN_STRING
  Count_  // number of entries; keep last
};

using TTranslationHook = std::function<std::string(TStringId id, std::string_view english)>;

// The English text of an entry, exactly as the program shows it without a language module.
std::string_view EnglishText(TStringId id);

// The text of an entry in the current language.
std::string LoadResString(TStringId id);

// Formats an entry's text (see FormatText) with the given arguments.
std::string FormatRes(TStringId id, std::initializer_list<TFormatArg> args);

// Installs (or, with an empty hook, removes) the translation of every later lookup.
void SetTranslationHook(TTranslationHook hook);
