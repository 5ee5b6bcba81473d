#pragma once
// The whole of standard input, for the commands that read a document or many lines from it.

#include <string>

// Empty when there is no input; throws TToolError (65) when it cannot be read.
std::string ReadStandardInput();
