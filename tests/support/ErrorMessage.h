#pragma once
// The message of the general exception a call raises, or "(no exception)", for tests that
// compare the program's exact texts.

#include <string>

#include "Exception.h"

template <typename Fn>
std::string MessageOf(Fn fn) {
  try {
    fn();
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no exception)";
}
