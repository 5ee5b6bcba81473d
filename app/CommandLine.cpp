#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

#include <vector>

namespace {

// CLI11 explains itself in English; the administrator reads ours.
std::string PolishMessage(const CLI::App& App, const CLI::Option& File, const CLI::ParseError& E,
                          std::span<const std::string_view> Args) {
    if (dynamic_cast<const CLI::ExtrasError*>(&E) != nullptr) {
        const std::vector<std::string> Extras = App.remaining(true);
        const std::string First = Extras.empty() ? std::string() : Extras.front();
        if (First.size() > 1 && First[0] == '-')
            return "Nieznana opcja: " + First;
        return "Nadmiarowy argument: " + First +
               " (plik z użytkownikami wskazuje się opcją --file)";
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&E) != nullptr) {
        if (File.count() > 1)
            return "Opcja --file podana więcej niż raz";
        const std::string_view Last = Args.empty() ? std::string_view() : Args.back();
        return "Opcja " + std::string(Last.substr(0, Last.find('='))) + " wymaga wartości";
    }
    return "Błędne wywołanie";
}

} // namespace

TProgramArguments ParseProgramArguments(std::span<const std::string_view> Args) {
    TProgramArguments Result;
    CLI::App App{"pelorin"};
    App.set_help_flag("-h,--help");
    App.set_version_flag("--version", std::string());
    CLI::Option* File = App.add_option("-f,--file", Result.UserFile);
    // CLI11 takes the arguments last first.
    std::vector<std::string> Reversed(Args.rbegin(), Args.rend());
    try {
        App.parse(Reversed);
    } catch (const CLI::CallForHelp&) {
        Result.Action = TProgramArguments::TAction::Help;
        return Result;
    } catch (const CLI::CallForVersion&) {
        Result.Action = TProgramArguments::TAction::Version;
        return Result;
    } catch (const CLI::ParseError& E) {
        throw TProgramUsageError(PolishMessage(App, *File, E, Args));
    }
    if (File->count() > 0 && Result.UserFile.empty())
        throw TProgramUsageError("Pusta nazwa pliku");
    return Result;
}

std::string ProgramSynopsis() {
    return "Użycie:\n"
           "  pelorin [--file PLIK]\n"
           "  pelorin --help\n"
           "  pelorin --version\n";
}

std::string ProgramUsage(const std::string& SettingsFile) {
    return ProgramSynopsis() +
           "\n"
           "Menedżer użytkowników programu Zortan. Plik z użytkownikami wskazuje opcja --file,\n"
           "a bez niej ustawienie UserFile w pliku " +
           SettingsFile +
           "; bez tego ustawienia\n"
           "program używa pliku UsrPass.dat w katalogu, w którym leży.\n"
           "\n"
           "Opcje:\n"
           "  -f, --file PLIK  plik z użytkownikami na cały czas działania programu\n"
           "  -h, --help       ten opis\n"
           "  --version        wersja programu\n"
           "\n"
           "Kody wyjścia:\n"
           "  0   program zakończony (także po komunikacie o pliku z użytkownikami)\n"
           "  1   brak dostępu do ekranu albo utrata połączenia z nim\n"
           "  64  błędne wywołanie\n"
           "  70  błąd wewnętrzny: brak pamięci na użytkowników pliku, brak standardowych\n"
           "      deskryptorów 0-2\n"
           "  78  błąd w pliku ustawień\n";
}
