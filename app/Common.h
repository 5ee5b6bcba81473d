#pragma once
// The unit Common: path helpers of the program's start-up.

#include <string>

// Dir with one "/" appended when Dir is not empty and does not already end with one.
std::string AddBackslash(const std::string& Dir);
