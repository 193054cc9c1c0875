#pragma once
// The program's general exception: a failure that carries only a message text. Every layer
// raises it (or a descendant) with a text from the string table; the UI shows the text.

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// An index outside a list's bounds.
class EListError : public Exception {
public:
  using Exception::Exception;
};

// A count or length outside the range its type allows (negative counts, for example).
class ERangeError : public Exception {
public:
  using Exception::Exception;
};

// A read that would pass the end of the bytes available.
class EReadError : public Exception {
public:
  using Exception::Exception;
};

// A file that could not be opened, created or written.
class EFileError : public Exception {
public:
  using Exception::Exception;
};
