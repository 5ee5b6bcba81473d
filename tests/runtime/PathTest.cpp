#include "runtime/Path.h"
#include "app/Common.h"

#include <gtest/gtest.h>

namespace {

TEST(Path, ExtractFileDirDropsTheLastComponent) {
    EXPECT_EQ(ExtractFileDir("/opt/pelorin/bin/pelorin"), "/opt/pelorin/bin");
    EXPECT_EQ(ExtractFileDir("/opt/pelorin/bin/"), "/opt/pelorin/bin");
    EXPECT_EQ(ExtractFileDir("bin/pelorin"), "bin");
    EXPECT_EQ(ExtractFileDir("pelorin"), "");
    EXPECT_EQ(ExtractFileDir(""), "");
}

TEST(Path, ExtractFileDirKeepsTheRoot) {
    EXPECT_EQ(ExtractFileDir("/pelorin"), "/");
    EXPECT_EQ(ExtractFileDir("/"), "/");
    EXPECT_EQ(ExtractFileDir("/opt//pelorin"), "/opt//");
}

TEST(Path, AddBackslashAppendsOneSeparator) {
    EXPECT_EQ(AddBackslash("/opt/pelorin"), "/opt/pelorin/");
    EXPECT_EQ(AddBackslash("/opt/pelorin/"), "/opt/pelorin/");
    EXPECT_EQ(AddBackslash("/"), "/");
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash("a"), "a/");
}

TEST(Path, UserFileBesideTheExecutable) {
    EXPECT_EQ(AddBackslash(ExtractFileDir("/opt/pelorin/pelorin")) + "UsrPass.dat",
              "/opt/pelorin/UsrPass.dat");
    EXPECT_EQ(AddBackslash(ExtractFileDir("/pelorin")) + "UsrPass.dat", "/UsrPass.dat");
}

} // namespace
