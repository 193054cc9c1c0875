#pragma once
// The user-interface languages and the switching between them.
//
// A language module is a Qt .qm file named after the executable with the language's
// abbreviation as its extension ("velquin-reader.FRA"), looked up beside the executable and
// then in the installed translations folder. While one is loaded, every form text and every
// entry of the string table (through the table's translation hook) comes from it.

#include <QLocale>
#include <QString>
#include <array>
#include <cstdint>

#include "TNEFReaderConst.h"

struct TLanguage {
  TStringId Name;                 // the language's name in the program's current language
  const char* OwnName;            // the name the language gives itself (UTF-8), as listed
  std::uint8_t PrimaryLanguage;   // matched against the system locale at first run
  std::uint16_t LocaleId;         // the locale whose abbreviation names the module
  const char* Abbreviation;       // the system's three-letter abbreviation of LocaleId
  const char* QtLocale;           // names Qt's own translations (standard dialogs), "" none;
                                  // also the user guide's suffix (user-guide.fr.html)
};

// Index order is what the option Language stores and the options dialog lists. Row 2 is
// Chinese (Simplified), the language its module is written in.
inline constexpr std::array<TLanguage, 3> kLanguages = {{
    {TStringId::LanguageEnglish, "English", 0x09, 0x0409, "ENU", ""},
    {TStringId::LanguageFrench, "Français", 0x0C, 0x040C, "FRA", "fr"},
    {TStringId::LanguageChinese, "简体中文", 0x04, 0x0804, "CHS", "zh_CN"},
}};

// A stored Language outside the table counts as row 0.
int LanguageRow(int value);

// The first row whose primary language is that of localeId (its low 8 bits), or -1.
int LanguageRowForLocale(std::uint16_t localeId);

// The locale id of the user's default locale, as Qt reads it from the environment
// (LC_ALL, LC_MESSAGES, LANG). Only the primary language is exact; 0 when it is none the
// program knows.
std::uint16_t SystemDefaultLocaleId();

// The files tried, in order, for the module of row index: beside the executable, then in
// the installed translations folder; with the three-letter abbreviation, then its first two
// letters.
QStringList LanguageModuleCandidates(int index);

// Switches the user interface to row index: loads its module (or falls back to the built-in
// English when there is none) and retranslates every open window at once. Returns the path
// of the module loaded, empty when the built-in texts are in force.
QString ApplyLanguage(int index);

// The module in force ("" for the built-in texts).
QString CurrentLanguageModule();
// The row of the language whose texts are in force: 0 when no module is loaded.
int CurrentLanguageRow();

// The locale that dates, numbers and file type descriptions follow for a row of the table:
// the system's when it speaks that language, else the language's own. ApplyLanguage makes
// it the default.
QLocale InterfaceLocale(int row);
// A caption followed by its colon as the interface language writes it ("Date\u00A0:").
QString LabelText(const QString& caption);
// "Caption: value", spaced as the interface language spaces it.
QString LabelledText(const QString& caption, const QString& value);

// Makes LoadResString answer from the language module in force. Installed once at start;
// ApplyLanguage installs it too.
void InstallTranslationHook();

// The context under which the string table's entries are translated; each entry's source
// text is its English text and its disambiguation the entry's name.
inline constexpr const char* kStringTableContext = "TNEFReaderConst";
// The entry's name as written in Strings.def ("OneFileSaved").
const char* StringIdName(TStringId id);
