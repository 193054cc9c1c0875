#pragma once
// Opening what the user chose by its content: a TNEF stream is read as it is; a mail or a
// mailbox is read through one of its TNEF parts, which is decoded once, together with the
// mail's other attachments, into a private temporary file that the reader then walks.

#include <functional>
#include <memory>
#include <string>

#include "MailFile.h"
#include "TNEFReaderClass.h"

// Picks the entry to open from a file with several TNEF parts; -1 opens none.
using TMailChooser = std::function<int(const TMailFile& mail)>;
// Parses the mail or mailbox at path (TMailFile::Open, or the same through a loaded module).
using TMailOpener = std::function<std::unique_ptr<TMailFile>(const std::string& path)>;

// A reader over entry of mail: the TNEF part first, then the mail's other attachments as
// carried files, and the mail's headers as the fallback for subject, sender, recipients
// and date. Raises EFileError when the temporary file cannot be written, and what
// TTNEFReader raises for a part that is not TNEF.
std::unique_ptr<TTNEFReader> OpenMailEntry(const TMailFile& mail, int entry,
                                           const std::string& mapi32Path);

// Opens path by its content. A file with one TNEF part opens it; one with several asks
// chooser, and returns nullptr when it declines. Raises Exception for a mail without TNEF
// part, and what TTNEFReader raises for anything that is neither mail nor TNEF. A bare
// TNEF stream never calls openMail, so it opens even where the parser is missing.
std::unique_ptr<TTNEFReader> OpenDocument(const std::string& path, const std::string& mapi32Path,
                                          const TMailChooser& chooser, const TMailOpener& openMail);
// The same with the parser linked in (velquin_mime).
std::unique_ptr<TTNEFReader> OpenDocument(const std::string& path, const std::string& mapi32Path,
                                          const TMailChooser& chooser);
