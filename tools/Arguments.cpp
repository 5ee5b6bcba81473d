#include "tools/Arguments.h"

#include "tools/ToolError.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

const char* const UsageText = R"(Użycie:
  usrpass init PLIK --admin NAZWA [--password-stdin]
  usrpass list PLIK [--json]
  usrpass check PLIK
  usrpass passwd PLIK UŻYTKOWNIK [--net] [--password-stdin]
  usrpass --help
  usrpass --version

Polecenia:
  init    tworzy nowy plik z użytkownikami z jednym administratorem (prawa dostępu 0600);
          istniejącego pliku nigdy nie nadpisuje
  list    wypisuje użytkowników, jeden w wierszu, pola oddzielone tabulatorem: Id, flagi
          (L - prawo logowania, H - ustawione hasło Zortan), nazwa w Zortan, nazwa sieciowa,
          pełna nazwa, kody praw
  check   sprawdza plik i wypisuje liczbę użytkowników
  passwd  ustawia hasło Zortan (z --net hasło sieciowe) pierwszego użytkownika o tej nazwie
          w Zortan

Opcje:
  --admin NAZWA      nazwa administratora w Zortan (init)
  --password-stdin   hasło z pierwszego wiersza standardowego wejścia; bez tej opcji hasło
                     jest pobierane dwukrotnie z terminala, bez wyświetlania
  --json             wynik w formacie JSON (list)
  --net              hasło sieciowe zamiast hasła Zortan (passwd)
  --                 koniec opcji: dalsze argumenty to nazwy
  -h, --help         ten opis
  --version          wersja programu

Nazwy i hasła mają najwyżej 15 znaków strony kodowej 1250.

Kody wyjścia:
  0   powodzenie
  1   brak pliku z użytkownikami
  2   nie można utworzyć pliku z użytkownikami (init)
  3   nie można otworzyć pliku z użytkownikami
  4   niewłaściwy plik z użytkownikami
  5   plik z użytkownikami jest aktualnie modyfikowany przez inną osobę
  6   plik z użytkownikami uległ zniszczeniu
  7   nie można zapisać pliku z użytkownikami
  64  błędne wywołanie
  65  błędne dane: nazwa lub hasło nie do przyjęcia, brak takiego użytkownika
  74  nie można wypisać wyniku
)";

namespace {

struct TCommandDef {
    std::string_view Name;
    TCommandKind Kind;
    std::size_t Positionals;
    bool TakesAdmin;
    bool TakesPasswordStdin;
    bool TakesJson;
    bool TakesNet;
};

constexpr TCommandDef CommandDefs[] = {
    {"init", TCommandKind::Init, 1, true, true, false, false},
    {"list", TCommandKind::List, 1, false, false, true, false},
    {"check", TCommandKind::Check, 1, false, false, false, false},
    {"passwd", TCommandKind::Passwd, 2, false, true, false, true},
};

const TCommandDef& FindCommand(std::string_view Name) {
    const auto* It = std::find_if(std::begin(CommandDefs), std::end(CommandDefs),
                                  [&](const TCommandDef& S) { return S.Name == Name; });
    if (It == std::end(CommandDefs))
        throw TUsageError("Nieznane polecenie: " + std::string(Name));
    return *It;
}

// True when one of Names stands among the options, before a "--".
bool HasFlag(std::span<const std::string_view> Args,
             std::initializer_list<std::string_view> Names) {
    for (std::string_view A : Args) {
        if (A == "--")
            return false;
        if (std::find(Names.begin(), Names.end(), A) != Names.end())
            return true;
    }
    return false;
}

bool IsOption(std::string_view A) {
    return A.size() > 1 && A[0] == '-';
}

} // namespace

TArguments ParseArguments(std::span<const std::string_view> Args) {
    if (HasFlag(Args, {"--help", "-h"}))
        return TArguments{};
    if (HasFlag(Args, {"--version"})) {
        TArguments Version;
        Version.Kind = TCommandKind::Version;
        return Version;
    }
    if (Args.empty())
        throw TUsageError("Nie podano polecenia");

    const TCommandDef& Def = FindCommand(Args[0]);
    const std::string Command(Def.Name);
    TArguments Result;
    Result.Kind = Def.Kind;
    std::vector<std::string_view> Positionals;
    bool AdminGiven = false;
    bool OptionsEnded = false;

    for (std::size_t I = 1; I < Args.size(); ++I) {
        const std::string_view A = Args[I];
        if (!OptionsEnded && A == "--") {
            OptionsEnded = true;
        } else if (OptionsEnded || !IsOption(A)) {
            Positionals.push_back(A);
        } else if (Def.TakesPasswordStdin && A == "--password-stdin") {
            Result.PasswordStdin = true;
        } else if (Def.TakesJson && A == "--json") {
            Result.Json = true;
        } else if (Def.TakesNet && A == "--net") {
            Result.Net = true;
        } else if (Def.TakesAdmin && (A == "--admin" || A.starts_with("--admin="))) {
            if (AdminGiven)
                throw TUsageError("Opcja --admin podana więcej niż raz");
            if (A == "--admin") {
                if (I + 1 >= Args.size())
                    throw TUsageError("Opcja --admin wymaga nazwy");
                Result.UserName = Args[++I];
            } else {
                Result.UserName = A.substr(std::string_view("--admin=").size());
            }
            AdminGiven = true;
        } else {
            throw TUsageError("Nieznana opcja polecenia " + Command + ": " + std::string(A));
        }
    }

    if (Def.TakesAdmin && !AdminGiven)
        throw TUsageError("Polecenie " + Command + " wymaga opcji --admin NAZWA");
    if (Positionals.size() != Def.Positionals)
        throw TUsageError("Nieprawidłowa liczba argumentów polecenia " + Command);
    Result.FileName = Positionals[0];
    if (Result.FileName.empty())
        throw TUsageError("Pusta nazwa pliku");
    if (Def.Kind == TCommandKind::Passwd)
        Result.UserName = Positionals[1];
    return Result;
}
