#include "tools/Arguments.h"

#include "tools/ToolError.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <utility>
#include <vector>

namespace {

// The options of every command that changes a user's description.
void AddDescriptionOptions(CLI::App& Command, TArguments& A) {
    Command.add_option("--name", A.Name);
    Command.add_option("--net-name", A.NetName);
    Command.add_option("--rights", A.Rights);
    Command.add_option("--objects", A.Objects);
}

// Every writing command can show its change instead of saving it, as diff would show it.
void AddDryRunOptions(CLI::App& Command, TArguments& A) {
    CLI::Option* DryRun = Command.add_flag("--dry-run", A.DryRun);
    Command.add_flag("--json", A.Json)->needs(DryRun);
}

// UŻYTKOWNIK or --id ID, not both; whether one was given is checked after the parse.
void AddUserSelection(CLI::App& Command, TArguments& A) {
    CLI::Option* User = Command.add_option("UŻYTKOWNIK", A.UserName);
    Command.add_option("--id", A.Id)->excludes(User);
}

struct TCommandLine {
    CLI::App App{"usrpass"};
    TArguments Result;

    TCommandLine() {
        App.set_help_flag("-h,--help");
        App.set_version_flag("--version", std::string());
        // Options of usrpass itself (--help, --version) are taken after a command too.
        App.fallthrough();
        App.require_subcommand(1);
        TArguments& A = Result;

        CLI::App* Init = AddCommand("init", TCommandKind::Init);
        Init->add_option("--admin", A.UserName)->required();
        Init->add_flag("--password-stdin", A.PasswordStdin);

        AddCommand("list", TCommandKind::List)->add_flag("--json", A.Json);
        AddCommand("check", TCommandKind::Check)->add_flag("--strict", A.Strict);

        // UŻYTKOWNIK of passwd and add is checked after the parse, as PLIK may be left out.
        CLI::App* Passwd = AddCommand("passwd", TCommandKind::Passwd);
        Passwd->add_option("UŻYTKOWNIK", A.UserName);
        Passwd->add_flag("--net", A.Net);
        Passwd->add_flag("--password-stdin", A.PasswordStdin);

        CLI::App* Add = AddCommand("add", TCommandKind::Add);
        Add->add_option("UŻYTKOWNIK", A.UserName);
        AddDescriptionOptions(*Add, A);
        Add->add_flag("--password-stdin", A.PasswordStdin);
        Add->add_flag("--empty-password", A.EmptyPassword);
        AddDryRunOptions(*Add, A);

        CLI::App* Set = AddCommand("set", TCommandKind::Set);
        AddUserSelection(*Set, A);
        Set->add_option("--user-name", A.NewUserName);
        AddDescriptionOptions(*Set, A);
        Set->add_flag("--empty-password", A.EmptyPassword);
        AddDryRunOptions(*Set, A);

        CLI::App* Del = AddCommand("del", TCommandKind::Del);
        AddUserSelection(*Del, A);
        AddDryRunOptions(*Del, A);

        CLI::App* Chpasswd = AddCommand("chpasswd", TCommandKind::Chpasswd);
        Chpasswd->add_flag("--net", A.Net);
        Chpasswd->add_option("--encoding", A.Encoding);
        AddDryRunOptions(*Chpasswd, A);

        CLI::App* Import = AddCommand("import", TCommandKind::Import);
        Import->add_flag("--delete-missing", A.DeleteMissing);
        Import->add_flag("--empty-password", A.EmptyPassword);
        Import->add_option("--encoding", A.Encoding);
        AddDryRunOptions(*Import, A);

        // diff names its files STARY and NOWY.
        CLI::App* Diff = App.add_subcommand("diff");
        Diff->add_option("STARY", A.FileName)->required();
        Diff->add_option("NOWY", A.NewFileName)->required();
        Diff->add_flag("--json", A.Json);
        Diff->callback([this] { Result.Kind = TCommandKind::Diff; });
        CLI::App* Restore = AddCommand("restore", TCommandKind::Restore);
        Restore->add_option("--from", A.From);
        AddDryRunOptions(*Restore, A);
    }

    // A command whose first positional is the user file, which the system-wide setting UserFile
    // may stand for (tools/UserFileSetting.h).
    CLI::App* AddCommand(const std::string& Name, TCommandKind Kind) {
        CLI::App* Command = App.add_subcommand(Name);
        Command->add_option("PLIK", Result.FileName);
        Command->callback([this, Kind] { Result.Kind = Kind; });
        return Command;
    }

    const CLI::App* Command() const {
        const std::vector<CLI::App*> Parsed = App.get_subcommands();
        return Parsed.empty() ? nullptr : Parsed.front();
    }
    std::string CommandName() const { return Command() ? Command()->get_name() : std::string(); }

    // The first option of the command (or of usrpass itself) for which Test holds.
    const CLI::Option* FindOption(const std::function<bool(const CLI::Option&)>& Test) const {
        for (const CLI::App* Scope : {Command(), static_cast<const CLI::App*>(&App)}) {
            if (Scope == nullptr)
                continue;
            for (const CLI::Option* O : Scope->get_options()) {
                if (Test(*O))
                    return O;
            }
        }
        return nullptr;
    }
};

std::string NameOf(const CLI::Option& O) {
    return O.get_name(false, true);
}

// CLI11 explains itself in English; the user reads ours.
std::string PolishMessage(const TCommandLine& Line, const CLI::ParseError& E,
                          std::span<const std::string_view> Args) {
    const std::string Command = Line.CommandName();
    if (dynamic_cast<const CLI::ExtrasError*>(&E) != nullptr) {
        const std::vector<std::string> Extras = Line.App.remaining(true);
        const std::string First = Extras.empty() ? std::string() : Extras.front();
        const bool IsOption = First.size() > 1 && First[0] == '-';
        if (Command.empty())
            return (IsOption ? "Nieznana opcja: " : "Nieznane polecenie: ") + First;
        return (IsOption ? "Nieznana opcja polecenia " + Command + ": "
                         : "Nadmiarowy argument polecenia " + Command + ": ") +
               First;
    }
    if (dynamic_cast<const CLI::RequiredError*>(&E) != nullptr) {
        if (Command.empty()) {
            const std::vector<std::string> Given = Line.App.remaining(true);
            if (Given.empty())
                return "Nie podano polecenia";
            return (Given.front()[0] == '-' ? "Nieznana opcja: " : "Nieznane polecenie: ") +
                   Given.front();
        }
        const CLI::Option* Missing = Line.FindOption(
            [](const CLI::Option& O) { return O.get_required() && O.count() == 0; });
        if (Missing == nullptr)
            return "Niepełne wywołanie polecenia " + Command;
        return "Polecenie " + Command + " wymaga " +
               (Missing->get_positional() ? "argumentu " + NameOf(*Missing)
                                          : "opcji " + NameOf(*Missing));
    }
    if (dynamic_cast<const CLI::RequiresError*>(&E) != nullptr)
        return "Opcja --json polecenia " + Command + " wymaga opcji --dry-run";
    if (dynamic_cast<const CLI::ExcludesError*>(&E) != nullptr)
        return "Polecenie " + Command + " przyjmuje UŻYTKOWNIK albo --id, nie oba";
    if (dynamic_cast<const CLI::ConversionError*>(&E) != nullptr ||
        dynamic_cast<const CLI::ValidationError*>(&E) != nullptr)
        return "Id musi być liczbą od 0 do 65535";
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&E) != nullptr) {
        const CLI::Option* Twice = Line.FindOption(
            [](const CLI::Option& O) { return O.get_items_expected_max() == 1 && O.count() > 1; });
        if (Twice != nullptr)
            return "Opcja " + NameOf(*Twice) + " podana więcej niż raz";
        // A value is missing only when the option ended the command line.
        const std::string_view Last = Args.empty() ? std::string_view() : Args.back();
        return "Opcja " + std::string(Last.substr(0, Last.find('='))) + " wymaga wartości";
    }
    return "Błędne wywołanie";
}

} // namespace

TArguments ParseArguments(std::span<const std::string_view> Args) {
    TCommandLine Line;
    // CLI11 takes the arguments last first.
    std::vector<std::string> Reversed(Args.rbegin(), Args.rend());
    try {
        Line.App.parse(Reversed);
    } catch (const CLI::CallForHelp&) {
        return TArguments{};
    } catch (const CLI::CallForAllHelp&) {
        return TArguments{};
    } catch (const CLI::CallForVersion&) {
        TArguments Version;
        Version.Kind = TCommandKind::Version;
        return Version;
    } catch (const CLI::ParseError& E) {
        throw TUsageError(PolishMessage(Line, E, Args));
    }

    TArguments Result = std::move(Line.Result);
    const std::string Command = Line.CommandName();
    const CLI::App& Parsed = *Line.Command();
    // Without PLIK the positionals given fill the command's other places: "passwd jan". diff
    // always names both its files.
    const CLI::Option* File = Parsed.get_option_no_throw("PLIK");
    const CLI::Option* User = Parsed.get_option_no_throw("UŻYTKOWNIK");
    const bool FileGiven = File == nullptr || File->count() > 0;
    if (User != nullptr && User->count() == 0 && !Result.Id) {
        if (!FileGiven) {
            const bool SelectsUser =
                Result.Kind == TCommandKind::Set || Result.Kind == TCommandKind::Del;
            throw TUsageError("Polecenie " + Command + " wymaga argumentu UŻYTKOWNIK" +
                              (SelectsUser ? " albo opcji --id" : ""));
        }
        Result.UserName = std::exchange(Result.FileName, std::string());
    } else if ((FileGiven && Result.FileName.empty()) ||
               (Result.Kind == TCommandKind::Diff && Result.NewFileName.empty())) {
        throw TUsageError("Pusta nazwa pliku");
    }
    return Result;
}
