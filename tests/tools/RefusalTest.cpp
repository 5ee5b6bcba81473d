// Every writing command is one transaction: any refusal leaves the file byte for byte as it was
// (the same inode too), names what was refused, and exits 65; the lock and a failed save keep
// their own codes.
#include "tests/tools/UsrpassFixture.h"

#include "store/UserManager.h"

namespace {

struct TRefusal {
    std::vector<std::string> Args; // after the command and the file
    std::string Stdin;
    std::string Message;
};

} // namespace

TEST_F(UsrpassTest, RefusedChangesLeaveTheFileAsItWas) {
    const std::string Codes = " (kody: L Id If Is Dm Di De Dp Ds Wm Wi We Om Oi Oe)\n";
    const std::string ObjectHelp = "\" (numery od 1 do 32 i zakresy, np. 1-5)\n";
    const std::string Taken = "Użytkownik o tej nazwie z prawem logowania już istnieje\n";
    const std::vector<std::pair<std::string, TRefusal>> Cases = {
        // The user editor's three refusals, with its texts.
        {"set", {{"kasia", "--user-name", ""}, "", "Nie podano nazwy użytkownika w Zortan\n"}},
        {"set",
         {{"admin", "--rights", "-L"}, "", "Ten użytkownik musi posiadać prawo logowania\n"}},
        {"set", {{"kasia", "--user-name", "admin"}, "", Taken}},
        {"add", {{"admin", "--rights", "L"}, "", Taken}},
        // What the file cannot hold.
        {"set",
         {{"łukasz", "--user-name", "abcdefghijklmnop"},
          "",
          "Nazwa użytkownika w Zortan może mieć najwyżej 15 znaków\n"}},
        {"set",
         {{"łukasz", "--name", "日本"},
          "",
          "Pełna nazwa zawiera znak spoza strony kodowej 1250\n"}},
        {"add",
         {{"nowy", "--net-name", "a\tb"},
          "",
          "Nazwa użytkownika sieciowego zawiera znak sterujący\n"}},
        {"add",
         {{"nowy", "--password-stdin"},
          "0123456789abcdef\n",
          "Hasło może mieć najwyżej 15 znaków\n"}},
        // Rights codes and object lists.
        {"set", {{"łukasz", "--rights", "L,Xx"}, "", "Prawa: nieznany kod \"Xx\"" + Codes}},
        {"set",
         {{"łukasz", "--rights", "L,+Id"},
          "",
          "Prawa: nie można łączyć pozycji ze znakiem + lub - z pozycjami bez znaku\n"}},
        {"set",
         {{"łukasz", "--objects", "0-3"}, "", "Obiekty: niepoprawna pozycja \"0-3" + ObjectHelp}},
        {"set",
         {{"łukasz", "--objects", "5-2"}, "", "Obiekty: niepoprawna pozycja \"5-2" + ObjectHelp}},
        {"set",
         {{"łukasz", "--objects", "33"}, "", "Obiekty: niepoprawna pozycja \"33" + ObjectHelp}},
        {"set",
         {{"łukasz", "--objects", "+1-4,-4"},
          "",
          "Obiekty: ta sama pozycja jest i dodawana, i odbierana\n"}},
        // Users that are not there, and the administrator.
        {"set", {{"nikt", "--name", "x"}, "", "Brak użytkownika o nazwie w Zortan: nikt\n"}},
        {"del", {{"--id", "7"}, "", "Brak użytkownika o Id 7\n"}},
        {"del", {{"admin"}, "", "Nie można usunąć administratora (pierwszego użytkownika)\n"}},
        // chpasswd names the line; the good lines before it are not applied either.
        {"chpasswd",
         {{}, "admin:x\r\nnikt:y\n", "Wiersz 2: Brak użytkownika o nazwie w Zortan: nikt\n"}},
        {"chpasswd",
         {{}, "admin:x\n\nbez dwukropka\n", "Wiersz 3: brak dwukropka między nazwą a hasłem\n"}},
        {"chpasswd", {{"--net"}, "kasia:a\x01z\n", "Wiersz 1: Hasło zawiera znak sterujący\n"}},
        // import names the entry.
        {"import",
         {{},
          R"({"users":[{"id":102},{"id":7}]})",
          "Pozycja 2 (id 7): w pliku nie ma użytkownika o tym Id\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"userName":"admin","rights":1}]})",
          "Pozycja 1 (id 102): " + Taken}},
        {"import",
         {{"--delete-missing"},
          R"({"users":[{"id":101,"rights":0}]})",
          "Pozycja 1 (id 101): Ten użytkownik musi posiadać prawo logowania\n"}},
        {"import",
         {{}, R"({"users":[{"id":4000},{"userName":"kasia","rights":1}]})", "Pozycja 2: " + Taken}},
        {"import",
         {{},
          R"({"users":[{"id":102,"name":")" + std::string(51, 'x') + R"("}]})",
          "Pozycja 1 (id 102): Pełna nazwa może mieć najwyżej 50 znaków\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"userName":"a\u0007"}]})",
          "Pozycja 1 (id 102): Nazwa użytkownika w Zortan zawiera znak sterujący\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"login":"x"}]})",
          "Pozycja 1 (id 102): nieznane pole \"login\"\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"rights":-1}]})",
          "Pozycja 1 (id 102): pole \"rights\" musi być liczbą całkowitą od 0 do 4294967295\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102},{"userName":"a","userName":"b"}]})",
          "Pozycja 2: pole \"userName\" występuje więcej niż raz\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102},{"id":102}]})",
          "Pozycja 2 (id 102): ten użytkownik jest już w pozycji 1\n"}},
        {"import",
         {{},
          R"({"users":[{"id":"102"}]})",
          "Pozycja 1: pole \"id\" musi być liczbą całkowitą od 0 do 65535\n"}},
        {"import", {{}, R"({"users":[)", "Dokument JSON: błąd składni JSON w bajcie 11\n"}},
        {"import", {{}, R"({"users":[{"id":1e999}]})", "Dokument JSON: liczba poza zakresem\n"}},
        {"import", {{}, R"([])", "Dokument JSON: oczekiwano obiektu z tablicą \"users\"\n"}},
    };
    WriteSample();
    const auto Original = Identity();
    for (const auto& [Command, C] : Cases) {
        std::vector<std::string> Args = {Command, UsersFile};
        Args.insert(Args.end(), C.Args.begin(), C.Args.end());
        const TRunResult R = RunUsrpass(Args, Input(C.Stdin));
        EXPECT_EQ(R.ExitCode, 65) << C.Message;
        EXPECT_EQ(R.Err, C.Message);
        EXPECT_EQ(R.Out, "");
        EXPECT_EQ(Identity(), Original) << C.Message;
    }
}

TEST_F(UsrpassTest, WritingCommandsWaitForNoLockAndReportAFailedSave) {
    WriteSample();
    const auto Original = Identity();
    const std::vector<std::pair<std::vector<std::string>, std::string>> Commands = {
        {{"add", UsersFile, "nowy"}, ""},
        {{"set", UsersFile, "kasia", "--name", "K"}, ""},
        {{"del", UsersFile, "kasia"}, ""},
        {{"chpasswd", UsersFile}, "admin:x\n"},
        {{"import", UsersFile, "--delete-missing"}, R"({"users":[{"id":101}]})"},
    };
    {
        TUserManager Program; // the running program holds the lock
        ASSERT_EQ(Program.Open(UsersFile, true), ueOk);
        for (const auto& [Args, Stdin] : Commands) {
            const TRunResult R = RunUsrpass(Args, Input(Stdin));
            EXPECT_EQ(R.ExitCode, 5) << Args[0];
            EXPECT_EQ(R.Err, "Plik z użytkownikami jest aktualnie modyfikowany przez inną osobę\n");
        }
    }
    // A full disk, as a file size limit below the new file's 835 bytes.
    for (const auto& [Args, Stdin] : Commands) {
        const TRunResult R = RunUsrpass(Args, Input(Stdin).WithFileSizeLimit(500));
        EXPECT_EQ(R.ExitCode, 7) << Args[0];
        EXPECT_EQ(R.Err, "Nie można zapisać pliku z użytkownikami\n") << Args[0];
    }
    EXPECT_EQ(Identity(), Original);
}
