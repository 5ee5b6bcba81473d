#pragma once
// Collects the audit lines written while it lives, instead of the system log.

#include "runtime/Audit.h"

#include <string>
#include <vector>

class TAuditCapture : public TAuditSink {
public:
    TAuditCapture() { SetAuditSink(this); }
    ~TAuditCapture() override { SetAuditSink(nullptr); }
    TAuditCapture(const TAuditCapture&) = delete;
    TAuditCapture& operator=(const TAuditCapture&) = delete;
    void Write(const std::string& Line) override { Lines.push_back(Line); }

    // True when no line holds Text.
    bool NoLineHolds(const std::string& Text) const {
        for (const std::string& Line : Lines) {
            if (Line.find(Text) != std::string::npos)
                return false;
        }
        return true;
    }

    std::vector<std::string> Lines;
};
