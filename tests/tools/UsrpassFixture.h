#pragma once
// Shared by the usrpass tests: a temporary directory and a sample file made by the independent
// encoder.

#include "FileBytes.h"
#include "RefFile.h"
#include "TempDir.h"
#include "tests/tools/Subprocess.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// Rights bits as the format defines them, spelled out here rather than taken from the store.
inline constexpr uint32_t Logon = 0x1, Extracts = 0x2, Signature = 0x80, ParcelModify = 0x100,
                          LayerImport = 0x20000, ObjectExport = 0x04000000;

// Three users, the third's record area ending 3 bytes outside the word sum, and one stale record
// after them. Strings are CP1250: "\xB3" is "ł", "\xAF\xF3\xB3" is "Żół", "\xA3" is "Ł".
inline ref::TFileContents SampleImage() {
    ref::TFileContents Image;
    Image.LastId = 4000;
    Image.Seed = 987654321;

    ref::TUser Admin;
    Admin.Id = 101;
    Admin.PassSeed = 12345;
    Admin.NetPassSeed = 0x7FFFFFFE;
    Admin.Rights = Logon | Extracts | ParcelModify | LayerImport;
    Admin.Objects = 0x80000001;
    Admin.Name = "Administrator";
    Admin.UserName = "admin";
    Admin.NetUserName = "adm";
    for (std::size_t I = 0; I < Admin.Reserved.size(); ++I)
        Admin.Reserved[I] = static_cast<uint8_t>(0xC0 + I);
    Admin.Pass = "tajne";
    Admin.Filler = 0xAA;

    ref::TUser Lukasz;
    Lukasz.Id = 102;
    Lukasz.PassSeed = 7;
    Lukasz.NetPassSeed = 8;
    Lukasz.Name = "\xA3ukasz \xAF\xF3\xB3w";
    Lukasz.UserName = "\xB3ukasz";
    Lukasz.NetUserName = "lzolw";
    Lukasz.Pass = "x";
    Lukasz.Filler = 0x55;

    ref::TUser Kasia;
    Kasia.Id = 4000;
    Kasia.PassSeed = 1000;
    Kasia.NetPassSeed = 2000;
    Kasia.Rights = Logon | 0x80000000; // a bit without meaning, carried as it is
    Kasia.Name = "Say \"hi\"\\\t!";
    Kasia.UserName = "kasia";
    Kasia.NetPass = "siec";

    Image.Users = {Admin, Lukasz, Kasia};
    Image.Trailer.assign(ref::RecordSize, 0x5A);
    return Image;
}

class UsrpassTest : public ::testing::Test {
protected:
    TTempDir Temp;
    std::string UsersFile = Temp / "UsrPass.dat";

    void WriteSample() { WriteBytes(UsersFile, ref::EncodeFile(SampleImage())); }
    std::vector<uint8_t> Bytes() const { return ReadBytes(UsersFile); }
    ref::TDecoded Decoded() const { return ref::DecodeFile(Bytes()); }
    // The file's bytes and inode: a refused change must leave both as they were.
    std::pair<std::vector<uint8_t>, ino_t> Identity() const {
        struct stat St {};
        stat(UsersFile.c_str(), &St);
        return {Bytes(), St.st_ino};
    }
    // How usrpass begins a message about a file: "usrpass: FILE: ".
    static std::string About(const std::string& File) { return "usrpass: " + File + ": "; }
    // How the lock message names this test process when it holds the lock.
    static std::string ThisProcessAsHolder() {
        const passwd* Me = getpwuid(geteuid());
        return "(blokadę trzyma proces " + std::to_string(getpid()) + ", usrpass_tests, " +
               "użytkownik " + (Me ? Me->pw_name : "uid " + std::to_string(geteuid())) + ")";
    }
    bool Exists(const std::string& Path) const {
        struct stat St {};
        return lstat(Path.c_str(), &St) == 0;
    }
};
