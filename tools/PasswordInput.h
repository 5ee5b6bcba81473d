#pragma once
// Where a new password comes from: the first line of standard input, or the terminal, typed twice
// without echo. Both return UTF-8 text; failures throw TToolError.

#include <string>

// The first line without its line end ("\n" or "\r\n"); no line at all is an error (65).
std::string ReadPasswordFromStdin();
// Asks twice on the controlling terminal; differing entries are refused (65), no terminal is a
// usage error (64).
std::string AskPasswordTwice();
