#pragma once
// A new user file that appears complete or not at all: it is made under a temporary name in the
// directory of the final one, pinned once (mode 0600, one placeholder record that the store can
// open and replace), and Publish links it under the final name, which never replaces anything.
// A maker killed before Publish leaves only a hidden temporary file, which the next writer of
// the user file clears away.

#include "runtime/PinnedDirectory.h"

#include <string>

class TNewUserFile {
public:
    // Throws TToolError with exit code 2 when FileName exists or the file cannot be made.
    explicit TNewUserFile(const std::string& FileName);
    ~TNewUserFile(); // removes the temporary name
    TNewUserFile(const TNewUserFile&) = delete;
    TNewUserFile& operator=(const TNewUserFile&) = delete;

    // The directory of the final name (its FileName()); the temporary name, under which the
    // store finishes the file.
    const TPinnedDirectory& Directory() const { return FDir; }
    const std::string& TempName() const { return FTempName; }
    // Gives the finished file its final name; throws TToolError (2) when that name exists by now.
    void Publish();

private:
    TPinnedDirectory FDir;
    std::string FTempName;
};
