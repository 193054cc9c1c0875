#pragma once
// velquin-tnef: the viewer's engine from a terminal. Kept apart from main() so that tests
// run it in-process with their own streams.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// Exit statuses: 0 success, 1 a file that cannot be read or written, 2 wrong usage.
// The operand "-" reads standard input (std::cin, or in).
int RunTnefTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunTnefTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err);
