#pragma once
// One file in a private directory (on tmpfs when there is one, so that every save's flushes
// stay cheap), rewritten for each fuzz input and removed with its directory at exit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TScratchFile {
public:
    TScratchFile();
    ~TScratchFile();
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    const std::string& Path() const { return FPath; }
    void Write(const uint8_t* Data, std::size_t Size) const; // aborts on failure
    std::vector<uint8_t> Read() const;                       // aborts on failure
    std::size_t EntriesInDirectory() const;

private:
    std::string FDir;
    std::string FPath;
};
