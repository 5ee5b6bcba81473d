#pragma once
// The whole of standard input, for the commands that read a document or many lines from it.

#include <cstddef>
#include <string>

// The largest input taken: a listing of the most users a file can hold is a few tens of MB.
inline constexpr std::size_t MaxInputBytes = std::size_t{256} << 20;

// Empty when there is no input; throws TToolError (65) when it cannot be read or is longer than
// MaxInputBytes, before it can take the memory of the machine.
std::string ReadStandardInput();
