#pragma once
// What the settings stores had to do behind the user's back and the user should hear of: a
// damaged store set aside, a store that cannot be written. The store layer only records
// these sentences; the window takes them and shows them. Each key (what happened to which
// file) is kept once per run, so a store opened many times, in whatever language, tells its
// story once.

#include <string>
#include <vector>

void RecordStoreNotice(const std::string& key, const std::string& text);
// The sentences recorded since the last call, oldest first.
std::vector<std::string> TakeStoreNotices();
