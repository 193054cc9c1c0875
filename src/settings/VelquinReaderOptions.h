#pragma once
// TVelquinReaderOptions: the program's options, the published properties below kept under
// HKEY_CURRENT_USER "Software\<executable name>", and the .dat file association.
//
// Short-lived by design: each place that needs the options constructs one (which reads the
// registry's current contents), reads or sets what it needs (each set is written at once)
// and frees it.

#include <cstdint>
#include <string>

#include "QvConfigClass.h"

class TVelquinReaderOptions final : public TQvConfigClass {
public:
  // The class the .dat association names.
  static constexpr const char* kDatClass = "VelquinReader.DatFile";

  // Loads the options. Raises whatever loading raises.
  TVelquinReaderOptions();

  TPropList PublishedProperties() const override;

  bool AssociateTNEFOnThunderbird() const { return GetBoolean(0); }
  void SetAssociateTNEFOnThunderbird(bool value) { SetBoolean(0, value); }
  bool AssociateDatFiles() const { return GetBoolean(1); }
  void SetAssociateDatFiles(bool value) { SetBoolean(1, value); }
  bool HasShowedOptions() const { return GetBoolean(2); }
  void SetHasShowedOptions(bool value) { SetBoolean(2, value); }
  // Row of the language table; the table's users treat values outside it as row 0.
  std::uint8_t Language() const { return GetByte(3); }
  void SetLanguage(std::uint8_t value) { SetByte(3, value); }
  // The mail library the user chose in the options dialog ("" when none was chosen). Only
  // that choice is ever stored: a path worked out from the system would otherwise stay
  // pinned after the file it named is gone, and whoever recreates it is loaded.
  std::string Mapi32Path() const { return GetString(4); }
  void SetMapi32Path(const std::string& value) { SetString(4, value); }
  // The library this start uses: the user's choice, else worked out afresh.
  std::string EffectiveMapi32Path() const;
  std::string LastSaveAllDirectory() const { return GetString(5); }
  void SetLastSaveAllDirectory(const std::string& value) { SetString(5, value); }
  // The folder the previous Save as saved into.
  std::string LastSaveDirectory() const { return GetString(6); }
  void SetLastSaveDirectory(const std::string& value) { SetString(6, value); }

  // The main window as the user last left it: its normal (not maximised) frame, whether it
  // was maximised, and the splitter's sizes as "list,preview". A width of 0 means never saved.
  std::int32_t WindowLeft() const { return GetInteger(7); }
  void SetWindowLeft(std::int32_t value) { SetInteger(7, value); }
  std::int32_t WindowTop() const { return GetInteger(8); }
  void SetWindowTop(std::int32_t value) { SetInteger(8, value); }
  std::int32_t WindowWidth() const { return GetInteger(9); }
  void SetWindowWidth(std::int32_t value) { SetInteger(9, value); }
  std::int32_t WindowHeight() const { return GetInteger(10); }
  void SetWindowHeight(std::int32_t value) { SetInteger(10, value); }
  bool WindowMaximized() const { return GetBoolean(11); }
  void SetWindowMaximized(bool value) { SetBoolean(11, value); }
  std::string SplitterSizes() const { return GetString(12); }
  void SetSplitterSizes(const std::string& value) { SetString(12, value); }
  // The message pane's zoom in percent; 0 (never set) reads as 100 where it is used.
  std::int32_t MessageZoom() const { return GetInteger(13); }
  void SetMessageZoom(std::int32_t value) { SetInteger(13, value); }

  // Makes the registry (and the desktop) agree with AssociateDatFiles.
  void ApplyDatAssociation();
  // Writes the association; any failure raises Exception with the association message.
  // What was written before the failing step stays written.
  void RegisterDatAssociation();
  // Takes away what names us and nothing else; never raises.
  void UnregisterDatAssociation();
};
