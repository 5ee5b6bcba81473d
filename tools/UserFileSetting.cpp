#include "tools/UserFileSetting.h"

#include "runtime/Settings.h"
#include "tools/ToolError.h"

bool TakeUserFileFromSettings(TArguments& Args) {
    switch (Args.Kind) {
    case TCommandKind::Help:
    case TCommandKind::Version:
    case TCommandKind::Diff:
        return false;
    default:
        break;
    }
    if (!Args.FileName.empty())
        return false;
    const std::string Path = SettingsPath();
    try {
        Args.FileName = ReadSettings(Path).UserFile;
    } catch (const TSettingsError& E) {
        throw TToolError(ExitSettings, E.what());
    }
    if (Args.FileName.empty())
        throw TUsageError("Nie podano pliku z użytkownikami (PLIK), a " + Path +
                          " nie ustawia UserFile");
    return true;
}

std::string SettingsFileNote() {
    return " (UserFile w " + SettingsPath() + ")";
}
