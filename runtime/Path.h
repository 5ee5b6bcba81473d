#pragma once
// Path helpers with the platform's separator "/".

#include <string>

// The directory part of FileName: everything before the last "/", without that "/", except
// that a "/" which is the first character (the root) or follows another "/" is kept.
// A name without any "/" yields the empty string.
std::string ExtractFileDir(const std::string& FileName);
