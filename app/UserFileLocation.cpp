#include "app/UserFileLocation.h"

#include "app/Common.h"
#include "runtime/Settings.h"

#include <climits>
#include <unistd.h>

namespace {

// Relative to the working directory, which the messages and the audit trail do not show.
std::string Absolute(std::string Path) {
    if (Path.front() == '/')
        return Path;
    while (Path.size() > 2 && Path.starts_with("./"))
        Path.erase(0, 2);
    char Cwd[PATH_MAX];
    if (::getcwd(Cwd, sizeof Cwd) == nullptr)
        return Path;
    return AddBackslash(Cwd) + Path;
}

} // namespace

TUserFileLocation LocateUserFile(const std::string& FromCommandLine, const std::string& ExeDir) {
    TUserFileLocation Location;
    Location.SettingsFile = SettingsPath();
    if (!FromCommandLine.empty()) {
        Location.Path = Absolute(FromCommandLine);
        Location.Source = TUserFileSource::CommandLine;
        return Location;
    }
    const TSettings Settings = ReadSettings(Location.SettingsFile);
    if (!Settings.UserFile.empty()) {
        Location.Path = Settings.UserFile;
        Location.Source = TUserFileSource::Settings;
        return Location;
    }
    Location.Path = AddBackslash(ExeDir) + "UsrPass.dat";
    return Location;
}

std::string UserFileDetail(const TUserFileLocation& Location) {
    switch (Location.Source) {
    case TUserFileSource::CommandLine:
        return Location.Path + "\n(opcja --file)";
    case TUserFileSource::Settings:
        return Location.Path + "\n(UserFile w " + Location.SettingsFile + ")";
    case TUserFileSource::BesideProgram:
        break;
    }
    return Location.Path + "\n(plik w katalogu programu; inny plik wskazuje UserFile w " +
           Location.SettingsFile + " albo opcja --file)";
}
