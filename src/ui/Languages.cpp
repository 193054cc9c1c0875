#include "Languages.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "ExecutablePath.h"

#ifndef VELQUIN_TRANSLATIONS_DIR
#define VELQUIN_TRANSLATIONS_DIR ""
#endif

namespace {

constexpr std::array<const char*, static_cast<std::size_t>(TStringId::Count_)> kIdNames = {
#define VELQUIN_STRING(id, text) #id,
#include "Strings.def"
#undef VELQUIN_STRING
};

// The module in force. Its bytes are kept with it: QTranslator reads them in place.
struct TLoadedModule {
  int Row = 0;  // the table row whose texts are in force (0 also when no module loaded)
  QString Path;
  QByteArray Data;
  std::unique_ptr<QTranslator> Translator;
  std::unique_ptr<QTranslator> QtTranslator;  // Qt's own texts for the standard dialogs
};

TLoadedModule& Current() {
  static TLoadedModule module;
  return module;
}

QString ExecutableFile() {
  const std::string exe = ExecutablePath();
  if (!exe.empty()) return QFile::decodeName(QByteArray::fromStdString(exe));
  return QCoreApplication::applicationFilePath();
}

// The executable's name without its extension, if it has one (a Windows build's ".exe").
QString ModuleBaseName(const QFileInfo& exe) {
  const QString name = exe.fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot > 0 ? name.left(dot) : name;
}

// Loads one module file into a translator; the file must hold a valid .qm.
bool LoadModule(const QString& path, TLoadedModule& into) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QByteArray data = file.readAll();
  auto translator = std::make_unique<QTranslator>();
  if (data.isEmpty() ||
      !translator->load(reinterpret_cast<const uchar*>(data.constData()), static_cast<int>(data.size())))
    return false;
  into.Path = path;
  into.Data = std::move(data);
  into.Translator = std::move(translator);
  return true;
}

}  // namespace

int LanguageRow(int value) { return value >= 0 && value < static_cast<int>(kLanguages.size()) ? value : 0; }

int LanguageRowForLocale(std::uint16_t localeId) {
  const unsigned primary = localeId & 0xFFu;
  for (std::size_t i = 0; i < kLanguages.size(); ++i)
    if (kLanguages[i].PrimaryLanguage == primary) return static_cast<int>(i);
  return -1;
}

std::uint16_t SystemDefaultLocaleId() {
  // The Windows locale ids of the languages users are likely to run; only the primary
  // language (the low byte) takes part in the first-run match.
  const QLocale locale = QLocale::system();
  switch (locale.language()) {
    case QLocale::English: return 0x0409;
    case QLocale::French: return 0x040C;
    case QLocale::Chinese:
      return locale.script() == QLocale::TraditionalChineseScript ? 0x0404 : 0x0804;
    case QLocale::German: return 0x0407;
    case QLocale::Spanish: return 0x0C0A;
    case QLocale::Italian: return 0x0410;
    case QLocale::Portuguese: return locale.territory() == QLocale::Brazil ? 0x0416 : 0x0816;
    case QLocale::Dutch: return 0x0413;
    case QLocale::Japanese: return 0x0411;
    case QLocale::Russian: return 0x0419;
    default: return 0;
  }
}

QStringList LanguageModuleCandidates(int index) {
  const TLanguage& language = kLanguages[static_cast<std::size_t>(LanguageRow(index))];
  const QFileInfo exe(ExecutableFile());
  const QString base = ModuleBaseName(exe);
  QStringList folders{exe.absolutePath()};
  if (const QString installed = QStringLiteral(VELQUIN_TRANSLATIONS_DIR); !installed.isEmpty())
    folders << installed;
  // A relocated install finds its own folder the same way the installed one does.
  folders << QDir::cleanPath(exe.absolutePath() + QStringLiteral("/../share/velquin-reader/translations"));
  folders.removeDuplicates();

  const QString abbreviation = QString::fromLatin1(language.Abbreviation);
  QStringList candidates;
  for (const QString& folder : folders) {
    candidates << folder + QLatin1Char('/') + base + QLatin1Char('.') + abbreviation;
    candidates << folder + QLatin1Char('/') + base + QLatin1Char('.') + abbreviation.left(2);
  }
  return candidates;
}

QString ApplyLanguage(int index) {
  const TLanguage& language = kLanguages[static_cast<std::size_t>(LanguageRow(index))];
  TLoadedModule next;
  for (const QString& candidate : LanguageModuleCandidates(index))
    if (LoadModule(candidate, next)) break;
  if (next.Translator) next.Row = LanguageRow(index);
  if (next.Translator && *language.QtLocale != '\0') {
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + QString::fromLatin1(language.QtLocale),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      next.QtTranslator = std::move(qt);
  }

  TLoadedModule& current = Current();
  if (current.Translator) QCoreApplication::removeTranslator(current.Translator.get());
  if (current.QtTranslator) QCoreApplication::removeTranslator(current.QtTranslator.get());
  current = std::move(next);
  QLocale::setDefault(InterfaceLocale(current.Row));
  if (current.QtTranslator) QCoreApplication::installTranslator(current.QtTranslator.get());
  if (current.Translator) QCoreApplication::installTranslator(current.Translator.get());
  InstallTranslationHook();

  // Installing a translator posts a language-change event to every top-level window; they
  // are delivered now so that the switch shows at once, also without a translator (the
  // built-in texts) where none was posted.
  if (!current.Translator) {
    QEvent event(QEvent::LanguageChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &event);
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
  return current.Path;
}

QLocale InterfaceLocale(int row) {
  static constexpr std::array<QLocale::Language, 3> kLocaleLanguages = {QLocale::English, QLocale::French,
                                                                        QLocale::Chinese};
  static_assert(kLocaleLanguages.size() == kLanguages.size());
  const QLocale::Language wanted = kLocaleLanguages[static_cast<std::size_t>(LanguageRow(row))];
  const QLocale system = QLocale::system();
  // The system's own conventions when it speaks the same language: they carry its country.
  if (system.language() == wanted && (wanted != QLocale::Chinese || system.script() != QLocale::TraditionalChineseScript))
    return system;
  const char* name = kLanguages[static_cast<std::size_t>(LanguageRow(row))].QtLocale;
  return QLocale(QString::fromLatin1(*name != '\0' ? name : "en_US"));
}

QString LabelText(const QString& caption) {
  switch (CurrentLanguageRow()) {
    case 1: return caption + QStringLiteral("\u00A0:");  // French sets a space before the colon
    case 2: return caption + QChar(0xFF1A);              // Chinese uses the full-width colon
    default: return caption + QLatin1Char(':');
  }
}

QString LabelledText(const QString& caption, const QString& value) {
  const QString label = LabelText(caption);
  // A full-width colon carries its own space.
  return label.endsWith(QChar(0xFF1A)) ? label + value : label + QLatin1Char(' ') + value;
}

QString CurrentLanguageModule() { return Current().Path; }

int CurrentLanguageRow() { return Current().Row; }

const char* StringIdName(TStringId id) {
  const auto index = static_cast<std::size_t>(id);
  return index < kIdNames.size() ? kIdNames[index] : "";
}

void InstallTranslationHook() {
  SetTranslationHook([](TStringId id, std::string_view english) {
    const std::string source(english);
    if (QCoreApplication::instance() == nullptr) return source;
    return QCoreApplication::translate(kStringTableContext, source.c_str(), StringIdName(id)).toStdString();
  });
}
