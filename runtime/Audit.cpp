#include "runtime/Audit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <syslog.h>
#include <unistd.h>
#include <vector>

namespace {

TAuditSink* CurrentSink = nullptr;

std::string LoginNameOf(uid_t Uid) {
    std::vector<char> Buffer(16384);
    passwd Entry{};
    passwd* Found = nullptr;
    if (::getpwuid_r(Uid, &Entry, Buffer.data(), Buffer.size(), &Found) != 0 || Found == nullptr)
        return {};
    return Found->pw_name;
}

// A login name as it is when it is an ordinary one, in quotes when it holds anything else.
std::string PlainOrQuoted(std::string_view Name) {
    const bool Plain =
        !Name.empty() && Name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "0123456789._-$") == std::string_view::npos;
    return Plain ? std::string(Name) : AuditQuoted(Name);
}

} // namespace

void SetAuditSink(TAuditSink* Sink) {
    CurrentSink = Sink;
}

bool AuditEnabled() {
    return CurrentSink != nullptr;
}

void Audit(const std::string& Text) {
    if (CurrentSink == nullptr)
        return;
    // A save writes a line per user it changed, 65,535 at most: the user database is asked once.
    static const std::string Actor = AuditActor();
    CurrentSink->Write(Text + "; by " + Actor);
}

std::string AuditActor() {
    const uid_t Uid = ::getuid();
    const std::string Login = LoginNameOf(Uid);
    std::string Actor = (Login.empty() ? std::string("unknown") : PlainOrQuoted(Login)) + " (uid " +
                        std::to_string(Uid);
    if (const char* SudoUser = std::getenv("SUDO_USER"); Uid == 0 && SudoUser != nullptr)
        Actor += ", sudo from " + PlainOrQuoted(SudoUser);
    return Actor + ")";
}

std::string AuditQuoted(std::string_view Utf8) {
    std::string Out = "\"";
    for (char C : Utf8) {
        const auto B = static_cast<unsigned char>(C);
        if (C == '"' || C == '\\') {
            Out += '\\';
            Out += C;
        } else if (B < 0x20 || B == 0x7F) {
            char Escaped[8];
            std::snprintf(Escaped, sizeof Escaped, "\\x%02x", B);
            Out += Escaped;
        } else {
            Out += C;
        }
    }
    return Out + "\"";
}

TSyslogAudit::TSyslogAudit(const char* Ident) {
    ::openlog(Ident, LOG_PID, LOG_AUTHPRIV);
}

TSyslogAudit::~TSyslogAudit() {
    if (CurrentSink == this)
        CurrentSink = nullptr;
    ::closelog();
}

namespace {

// Whether a system logger listens where syslog(3) sends (_PATH_LOG, on a datagram or a stream
// socket, as syslog tries them).
bool LoggerListens() {
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::strncpy(Address.sun_path, _PATH_LOG, sizeof Address.sun_path - 1);
    for (const int Type : {SOCK_DGRAM, SOCK_STREAM}) {
        const int Fd = ::socket(AF_UNIX, Type | SOCK_CLOEXEC, 0);
        if (Fd < 0)
            continue;
        const bool Connected =
            ::connect(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0;
        ::close(Fd);
        if (Connected)
            return true;
    }
    return false;
}

} // namespace

void TSyslogAudit::Write(const std::string& Line) {
    // Without a logger syslog(3) tries to connect anew for every line, which a save of 65,535
    // changed users would pay 65,535 times; the lines are lost either way.
    if (FLoggerListens < 0)
        FLoggerListens = LoggerListens() ? 1 : 0;
    if (FLoggerListens == 1)
        ::syslog(LOG_AUTHPRIV | LOG_NOTICE, "%s", Line.c_str());
}
