#pragma once
// What the mail that carried a TNEF stream says about the message in its own headers, in
// UTF-8. Many senders' streams leave out the sender or the recipients; the mail always
// names them, so the reader falls back to these.

#include <string>

#include "DateTime.h"

struct TCarrierHeaders {
  std::string Subject;
  std::string From;
  std::string To;  // addresses joined by "; ", as the reader joins its recipients
  std::string Cc;
  TDateTime Date = 0;    // the sender's clock as written in the Date header; 0: none
  std::string DateText;  // "YYYY-MM-DD HH:MM:SS +hhmm", or empty
};
