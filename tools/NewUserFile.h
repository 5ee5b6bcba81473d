#pragma once
// A new user file, created exclusively (never over an existing file) with mode 0600 and holding
// one placeholder record that the store can open and replace. Removed again unless kept.

#include <string>

class TNewUserFile {
public:
    // Throws TToolError with exit code 2 when the file exists or cannot be created.
    explicit TNewUserFile(std::string FileName);
    ~TNewUserFile();
    TNewUserFile(const TNewUserFile&) = delete;
    TNewUserFile& operator=(const TNewUserFile&) = delete;

    void Keep() { Kept = true; }

private:
    std::string Name;
    bool Kept = false;
};
