// Opening a document with the parser linked into the program (the CLI and the tests).
#include "MailDocument.h"

std::unique_ptr<TTNEFReader> OpenDocument(const std::string& path, const std::string& mapi32Path,
                                          const TMailChooser& chooser) {
  return OpenDocument(path, mapi32Path, chooser, &TMailFile::Open);
}
