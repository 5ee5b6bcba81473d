#pragma once
// The audit trail of the user file: one line per user a save adds, deletes or changes and one
// for the save itself, each naming the system user who did it, as the shadow tools log useradd
// and passwd. The programs send the lines to the system log; tests point them elsewhere.

#include <string>
#include <string_view>

class TAuditSink {
public:
    virtual ~TAuditSink() = default;
    virtual void Write(const std::string& Line) = 0;
};

// Where audit lines go (not owned); nullptr, the default, writes none.
void SetAuditSink(TAuditSink* Sink);
bool AuditEnabled();
// Writes Text followed by "; by " and AuditActor().
void Audit(const std::string& Text);
// The system user behind the process, by the real user id: "alice (uid 1000)". Under sudo, root
// names who called it: "root (uid 0, sudo from alice)" (SUDO_USER, which only root's word backs).
std::string AuditActor();
// Utf8 in double quotes, fit for one log line: quotes, backslashes and control characters escaped.
std::string AuditQuoted(std::string_view Utf8);

// syslog(3) with facility authpriv, the given identity and the process id. Where no system
// logger runs when the first line is written, the lines are lost and nothing fails.
class TSyslogAudit : public TAuditSink {
public:
    explicit TSyslogAudit(const char* Ident); // Ident must outlive the sink (a literal)
    ~TSyslogAudit() override;                 // also stops being the audit sink
    TSyslogAudit(const TSyslogAudit&) = delete;
    TSyslogAudit& operator=(const TSyslogAudit&) = delete;
    void Write(const std::string& Line) override;

private:
    int FLoggerListens = -1; // found out at the first line: 1 yes, 0 no
};
