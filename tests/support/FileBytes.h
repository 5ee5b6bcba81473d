#pragma once
// A whole file as bytes, read and written; a file that cannot be read or written throws.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

inline std::vector<uint8_t> ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        throw std::runtime_error("cannot read " + Path);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& Path, const std::vector<uint8_t>& Bytes) {
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()),
              static_cast<std::streamsize>(Bytes.size()));
    if (!Out)
        throw std::runtime_error("cannot write " + Path);
}

inline void WriteText(const std::string& Path, const std::string& Text) {
    WriteBytes(Path, std::vector<uint8_t>(Text.begin(), Text.end()));
}
