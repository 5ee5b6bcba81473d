#pragma once
// A fresh directory under the system's temporary directory, removed with its contents. Mode
// 0755, so that a child process that has given up root can still reach the files in it.

#include <filesystem>
#include <stdexcept>
#include <string>

#include <cstdlib>
#include <sys/stat.h>

class TTempDir {
public:
    TTempDir() {
        std::string Template = (std::filesystem::temp_directory_path() / "pelorin-XXXXXX").string();
        if (::mkdtemp(Template.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        FPath = Template;
        ::chmod(Template.c_str(), 0755);
    }
    ~TTempDir() {
        std::error_code Ec;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, Ec);
        std::filesystem::remove_all(FPath, Ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return (FPath / Name).string(); }

private:
    std::filesystem::path FPath;
};
