#pragma once
// The desktop's side of the .dat association: a desktop entry velquin-reader.desktop in
// $XDG_DATA_HOME/applications and the default handler for application/vnd.ms-tnef in
// $XDG_CONFIG_HOME/mimeapps.list.
//
// How we recognise our own: the desktop entry carries the line
// "X-Velquin-Reader-Association=true", and in mimeapps.list we own exactly the token
// "velquin-reader.desktop;" that registering put at the front of the type's list. Removing
// takes away only those, so another program's default and every other line survive byte for
// byte.

#include <string>

inline constexpr const char* kDesktopFileName = "velquin-reader.desktop";
inline constexpr const char* kTnefMimeType = "application/vnd.ms-tnef";
inline constexpr const char* kOwnEntryMarker = "X-Velquin-Reader-Association=true";

// The Exec argument for a path, quoted and escaped by the desktop-entry rules.
std::string DesktopExecArgument(const std::string& path);
// The desktop entry that opens files with executablePath.
std::string DesktopEntryText(const std::string& executablePath);

// mimeapps.list text with desktopId first among the defaults for mimeType.
std::string WithDefaultHandler(const std::string& text, const std::string& mimeType,
                               const std::string& desktopId);
// mimeapps.list text without desktopId among the defaults for mimeType; unchanged when it
// is not there.
std::string WithoutDefaultHandler(const std::string& text, const std::string& mimeType,
                                  const std::string& desktopId);

// Writes the desktop entry and makes it the default; raises EFileError when it cannot.
void RegisterDesktopAssociation(const std::string& executablePath);
// Removes what RegisterDesktopAssociation made, if it is still ours; raises EFileError when
// a file cannot be rewritten.
void UnregisterDesktopAssociation();
