#include "tools/JsonText.h"

#include <cstdio>

std::string JsonQuoted(std::string_view Utf8) {
    std::string Out = "\"";
    for (char C : Utf8) {
        const auto B = static_cast<unsigned char>(C);
        switch (C) {
        case '"':
            Out += "\\\"";
            break;
        case '\\':
            Out += "\\\\";
            break;
        case '\n':
            Out += "\\n";
            break;
        case '\r':
            Out += "\\r";
            break;
        case '\t':
            Out += "\\t";
            break;
        default:
            if (B < 0x20 || B == 0x7F) {
                char Escaped[8];
                std::snprintf(Escaped, sizeof Escaped, "\\u%04x", B);
                Out += Escaped;
            } else {
                Out += C;
            }
        }
    }
    return Out + "\"";
}
