// Slave numbers as people write them: two digits on the wire and in file
// names ("05"), lists like "0,3,5-9" on command lines.
#pragma once

#include <set>
#include <string>

namespace kvt {

// "%02d": "05", "31"; a number of three digits keeps them all.
std::string TwoDigits(int n);

// "0,3,5-9": numbers and ranges of numbers 0..last, each of one or two
// digits. False when the list is not of that form (*slaves may then hold
// part of it).
bool ParseSlaveList(const std::string& text, int last, std::set<int>* slaves);
// What such a list must be, for messages: "slave numbers 0..31 like 0,3,5-9".
std::string SlaveListNeed(int last);

}  // namespace kvt
