// The slave numbers of --slaves.
#pragma once

#include <set>
#include <string>

namespace kvt::cli {

// "0,3,5-9": slave numbers 0..31. False when the list is not of that form.
bool ParseSlaveList(const std::string& text, std::set<int>* slaves);

}  // namespace kvt::cli
