#pragma once
// The desktop's side of the .dat association: the default handler for
// application/vnd.ms-tnef in $XDG_CONFIG_HOME/mimeapps.list.
//
// When the program is installed system-wide (its desktop entry io.github.velquin.Reader.desktop
// lies in one of $XDG_DATA_DIRS), that entry becomes the default, so the default goes away
// with the package's own files. Otherwise a user-level entry velquin-reader.desktop in
// $XDG_DATA_HOME/applications is written for it first. The default is set through the
// desktop's own tool (xdg-mime); only where that tool is missing do we edit mimeapps.list.
//
// How we recognise our own: the user-level entry carries the line
// "X-Velquin-Reader-Association=true", and in mimeapps.list we own exactly the entries that
// name one of our two desktop ids. Removing takes away only those, so another program's
// default and every other line survive byte for byte.

#include <string>

inline constexpr const char* kDesktopFileName = "velquin-reader.desktop";
inline constexpr const char* kInstalledDesktopId = "io.github.velquin.Reader.desktop";
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

// The default handler in force for mimeType in mimeapps.list text: the first entry of the
// type's last line in [Default Applications] ("" when there is none).
std::string FirstDefaultHandler(const std::string& text, const std::string& mimeType);

// The installed desktop entry in $XDG_DATA_DIRS (default /usr/local/share:/usr/share), or "".
std::string InstalledDesktopEntryPath();

// Makes our desktop entry the default (writing the user-level one first when the program is
// not installed system-wide); raises EFileError when it cannot.
void RegisterDesktopAssociation(const std::string& executablePath);
// Removes every default that names one of our desktop ids and the user-level entry if it is
// ours; raises EFileError when a file cannot be rewritten.
void UnregisterDesktopAssociation();
