#pragma once
// A fresh directory under the system's temporary directory, removed with its contents.

#include <filesystem>
#include <stdexcept>
#include <string>

#include <cstdlib>

class TTempDir {
public:
    TTempDir() {
        std::string Template = (std::filesystem::temp_directory_path() / "pelorin-XXXXXX").string();
        if (::mkdtemp(Template.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        FPath = Template;
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
