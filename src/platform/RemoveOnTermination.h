#pragma once
// While an object of this kind lives, a request to end the program from outside (Linux:
// SIGTERM, SIGINT, SIGHUP; Windows: the console's Ctrl+C, Ctrl+Break or close) first removes
// one file and the folder holding it, then ends the program as the request would have. For
// a program that has no event loop to end through, such as the command-line tool copying
// standard input: the copy may be as large as the input, and is not left behind.
// One at a time: the program holds at most one such copy.

#include <string>

class TRemoveOnTermination {
public:
  TRemoveOnTermination(const std::string& file, const std::string& folder);
  ~TRemoveOnTermination();
  TRemoveOnTermination(const TRemoveOnTermination&) = delete;
  TRemoveOnTermination& operator=(const TRemoveOnTermination&) = delete;
};
