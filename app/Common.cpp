#include "app/Common.h"

std::string AddBackslash(const std::string& Dir) {
    if (Dir.empty() || Dir.back() == '/')
        return Dir;
    return Dir + '/';
}
