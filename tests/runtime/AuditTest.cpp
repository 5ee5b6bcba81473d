#include "runtime/Audit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

TEST(Audit, QuotedTextCannotBreakTheLogLine) {
    EXPECT_EQ(AuditQuoted("Łukasz \"x\\y\"\n\x1b[2J"), "\"Łukasz \\\"x\\\\y\\\"\\x0a\\x1b[2J\"");
}

TEST(Audit, ActorIsTheRealUserAndSudoCallerOnlyForRoot) {
    const passwd* Me = ::getpwuid(::getuid());
    ASSERT_NE(Me, nullptr);
    const std::string Plain = std::string(Me->pw_name) + " (uid " + std::to_string(::getuid());
    ::setenv("SUDO_USER", "alice\nforged", 1);
    const std::string Actor = AuditActor();
    ::unsetenv("SUDO_USER");
    EXPECT_EQ(Actor, ::getuid() == 0 ? Plain + ", sudo from \"alice\\x0aforged\")" : Plain + ")");
    EXPECT_EQ(AuditActor(), Plain + ")");
}

} // namespace
