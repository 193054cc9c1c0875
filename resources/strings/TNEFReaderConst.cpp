#include "TNEFReaderConst.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(TStringId::Count_)> kEnglish = {
#define VELQUIN_STRING(id, text) text,
#include "Strings.def"
#undef VELQUIN_STRING
};

TTranslationHook& Hook() {
  static TTranslationHook hook;
  return hook;
}

}  // namespace

std::string_view EnglishText(TStringId id) {
  const auto index = static_cast<std::size_t>(id);
  return index < kEnglish.size() ? kEnglish[index] : std::string_view();
}

std::string LoadResString(TStringId id) {
  const std::string_view english = EnglishText(id);
  if (const auto& hook = Hook()) return hook(id, english);
  return std::string(english);
}

std::string FormatRes(TStringId id, std::initializer_list<TFormatArg> args) {
  return FormatText(LoadResString(id), args);
}

void SetTranslationHook(TTranslationHook hook) { Hook() = std::move(hook); }
