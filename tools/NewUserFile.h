#pragma once
// A new user file that appears complete or not at all: it is made under a temporary name beside
// the final one (mode 0600, one placeholder record that the store can open and replace), and
// Publish links it under the final name, which never replaces anything. A file killed before
// Publish leaves only a hidden temporary file, which the next save of the user file clears away.

#include <string>

class TNewUserFile {
public:
    // Throws TToolError with exit code 2 when FileName exists or the file cannot be made.
    explicit TNewUserFile(std::string FileName);
    ~TNewUserFile(); // removes the temporary name
    TNewUserFile(const TNewUserFile&) = delete;
    TNewUserFile& operator=(const TNewUserFile&) = delete;

    // The temporary name, under which the store finishes the file.
    const std::string& Path() const { return TempName; }
    // Gives the finished file its final name; throws TToolError (2) when that name exists by now.
    void Publish();

private:
    std::string Name;
    std::string Dir;
    std::string TempName;
};
