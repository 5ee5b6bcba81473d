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
    const std::string NoPassword = " miałby prawo logowania z pustym hasłem Zortan (zalogowałby "
                                   "się każdy); ";
    // The 100,000 numbers "lastId" once was, which took the parser 930 MB.
    std::string Numbers = "1";
    for (int I = 1; I < 100'000; ++I)
        Numbers += ",1";
    const std::vector<std::pair<std::string, TRefusal>> Cases = {
        // The user editor's three refusals, naming the user.
        {"set",
         {{"kasia", "--user-name", ""},
          "",
          "użytkownik o Id 4000: nie podano nazwy użytkownika w "
          "Zortan\n"}},
        {"set",
         {{"admin", "--rights", "-L"},
          "",
          "użytkownik \"admin\" (administrator, pierwszy w pliku) musi posiadać prawo "
          "logowania\n"}},
        {"set",
         {{"kasia", "--user-name", "admin"},
          "",
          "użytkownik \"admin\" z prawem logowania już istnieje\n"}},
        {"add",
         {{"admin", "--rights", "L", "--password-stdin"},
          "pw\n",
          "użytkownik \"admin\" z prawem logowania już istnieje\n"}},
        // No account open by accident: the logon right needs a password, or --empty-password.
        {"add",
         {{"nowy", "--rights", "L"},
          "",
          "użytkownik \"nowy\"" + NoPassword +
              "podaj hasło (--password-stdin) albo opcję --empty-password\n"}},
        {"add",
         {{"nowy", "--rights", "L,Id", "--password-stdin"},
          "\n",
          "użytkownik \"nowy\"" + NoPassword +
              "podaj hasło (--password-stdin) albo opcję --empty-password\n"}},
        // What the file cannot hold.
        {"set",
         {{"łukasz", "--user-name", "abcdefghijklmnop"},
          "",
          "nazwa użytkownika w Zortan może mieć najwyżej 15 znaków\n"}},
        {"set",
         {{"łukasz", "--name", "日本"},
          "",
          "pełna nazwa zawiera znak spoza strony kodowej 1250\n"}},
        {"add",
         {{"nowy", "--net-name", "a\tb"},
          "",
          "nazwa użytkownika sieciowego zawiera znak sterujący\n"}},
        {"add",
         {{"nowy", "--password-stdin"},
          "0123456789abcdef\n",
          "hasło może mieć najwyżej 15 znaków\n"}},
        // Rights codes and object lists, named by their option.
        {"set", {{"łukasz", "--rights", "L,Xx"}, "", "--rights: nieznany kod \"Xx\"" + Codes}},
        {"set",
         {{"łukasz", "--rights", "L,+Id"},
          "",
          "--rights: nie można łączyć pozycji ze znakiem + lub - z pozycjami bez znaku\n"}},
        {"set",
         {{"łukasz", "--objects", "0-3"}, "", "--objects: niepoprawna pozycja \"0-3" + ObjectHelp}},
        {"set",
         {{"łukasz", "--objects", "5-2"}, "", "--objects: niepoprawna pozycja \"5-2" + ObjectHelp}},
        {"set",
         {{"łukasz", "--objects", "33"}, "", "--objects: niepoprawna pozycja \"33" + ObjectHelp}},
        {"set",
         {{"łukasz", "--objects", "+1-4,-4"},
          "",
          "--objects: ta sama pozycja jest i dodawana, i odbierana\n"}},
        // Users that are not there, and the administrator.
        {"set", {{"nikt", "--name", "x"}, "", "brak użytkownika o nazwie w Zortan \"nikt\"\n"}},
        {"del", {{"--id", "7"}, "", "brak użytkownika o Id 7\n"}},
        {"del",
         {{"admin"},
          "",
          "nie można usunąć administratora (pierwszego użytkownika), użytkownik \"admin\"\n"}},
        // chpasswd names the line; the good lines before it are not applied either.
        {"chpasswd",
         {{}, "admin:x\r\nnikt:y\n", "wiersz 2: brak użytkownika o nazwie w Zortan \"nikt\"\n"}},
        {"chpasswd",
         {{}, "admin:x\n\nbez dwukropka\n", "wiersz 3: brak dwukropka między nazwą a hasłem\n"}},
        {"chpasswd", {{"--net"}, "kasia:a\x01z\n", "wiersz 1: hasło zawiera znak sterujący\n"}},
        // Text in another encoding than the one named: the line and the byte.
        {"chpasswd",
         {{},
          "admin:x\n\xB3ukasz:y\n",
          "wiersz 2: bajt 0xB3 nie jest znakiem w kodowaniu utf-8 (tekst w innym kodowaniu: "
          "--encoding, np. --encoding cp1250)\n"}},
        {"chpasswd",
         {{"--encoding", "cp1250"},
          "admin:x\r\nkasia:\x98\n",
          "wiersz 2: bajt 0x98 nie jest znakiem w kodowaniu cp1250\n"}},
        // import names the entry.
        {"import",
         {{},
          R"({"users":[{"id":102},{"id":7}]})",
          "pozycja 2 (id 7): w pliku nie ma użytkownika o tym Id\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"userName":"admin","rights":1}]})",
          "pozycja 1 (id 102): użytkownik \"admin\" z prawem logowania już istnieje\n"}},
        {"import",
         {{"--delete-missing"},
          R"({"users":[{"id":101,"rights":"Id"}]})",
          "pozycja 1 (id 101): użytkownik \"admin\" (administrator, pierwszy w pliku) musi "
          "posiadać prawo logowania\n"}},
        {"import",
         {{},
          R"({"users":[{"id":4000},{"userName":"kasia","rights":1}]})",
          "pozycja 2: użytkownik \"kasia\" z prawem logowania już istnieje\n"}},
        {"import",
         {{},
          R"({"users":[{"userName":"nowa","rights":"L Id"}]})",
          "pozycja 1: użytkownik \"nowa\"" + NoPassword +
              "import nie ustawia haseł: nadaj prawo logowania po ustawieniu hasła (chpasswd) "
              "albo podaj opcję --empty-password\n"}},
        // rightsText describes the rights: one that says otherwise was edited in vain.
        {"import",
         {{},
          R"({"users":[{"id":101,"rightsText":"Id Dm Wi Oe "}]})",
          "pozycja 1 (id 101): pole \"rightsText\" (\"Id Dm Wi Oe \") nie zgadza się z prawami "
          "(\"L Id Dm Wi\"); rightsText tylko opisuje prawa, zmienia je pole \"rights\", np. "
          "\"rights\": \"L Id Dm Wi Oe\"\n"}},
        {"import",
         {{},
          R"({"users":[{"id":101,"rightsText":"+Oe"}]})",
          "pozycja 1 (id 101): pole \"rightsText\" wymienia prawa użytkownika, bez znaków + i "
          "-\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"rights":"L,Xx"}]})",
          "pozycja 1 (id 102): pole \"rights\": nieznany kod \"Xx\"" + Codes}},
        {"import",
         {{},
          R"({"users":[{"id":102,"objects":"0-3"}]})",
          "pozycja 1 (id 102): pole \"objects\": niepoprawna pozycja \"0-3" + ObjectHelp}},
        {"import",
         {{},
          R"({"users":[{"id":102,"name":")" + std::string(51, 'x') + R"("}]})",
          "pozycja 1 (id 102): pełna nazwa może mieć najwyżej 50 znaków\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"userName":"a\u0007"}]})",
          "pozycja 1 (id 102): nazwa użytkownika w Zortan zawiera znak sterujący\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"login":"x"}]})",
          "pozycja 1 (id 102): nieznane pole \"login\"\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"rights":-1}]})",
          "pozycja 1 (id 102): pole \"rights\" musi być liczbą całkowitą od 0 do 4294967295 albo "
          "tekstem, np. \"L Id Dm\"\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102,"hasPassword":[true]}]})",
          "pozycja 1 (id 102): pole \"hasPassword\" musi mieć wartość true albo false\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102},{"userName":"a","userName":"b"}]})",
          "pozycja 2: pole \"userName\" występuje więcej niż raz\n"}},
        {"import",
         {{},
          R"({"users":[{"id":102},{"id":102}]})",
          "pozycja 2 (id 102): ten użytkownik jest już w pozycji 1\n"}},
        {"import",
         {{},
          R"({"users":[{"id":"102"}]})",
          "pozycja 1: pole \"id\" musi być liczbą całkowitą od 0 do 65535\n"}},
        // lastId is passed over, but only as the number a file can hold; nothing else is kept
        // while the document is read.
        {"import",
         {{},
          R"({"lastId":[)" + Numbers + R"(],"users":[]})",
          "dokument JSON: pole \"lastId\" musi być liczbą całkowitą od 0 do 65535\n"}},
        {"import",
         {{},
          R"({"lastId":65536,"users":[]})",
          "dokument JSON: pole \"lastId\" musi być liczbą całkowitą od 0 do 65535\n"}},
        {"import", {{}, R"({"users":[)", "dokument JSON: błąd składni JSON w bajcie 11\n"}},
        {"import", {{}, R"({"users":[{"id":1e999}]})", "dokument JSON: liczba poza zakresem\n"}},
        {"import", {{}, R"([])", "dokument JSON: oczekiwano obiektu z tablicą \"users\"\n"}},
        {"import",
         {{"--encoding", "cp1250"},
          "{\"users\":\n[{\"id\":102,\"name\":\"\x98\"}]}",
          "dokument JSON: wiersz 2: bajt 0x98 nie jest znakiem w kodowaniu cp1250\n"}},
    };
    WriteSample();
    const auto Original = Identity();
    for (const auto& [Command, C] : Cases) {
        std::vector<std::string> Args = {Command, UsersFile};
        Args.insert(Args.end(), C.Args.begin(), C.Args.end());
        const TRunResult R = RunUsrpass(Args, Input(C.Stdin));
        EXPECT_EQ(R.ExitCode, 65) << C.Message;
        // A message that does not end its line is the start of a longer one.
        const std::string Said = About(UsersFile) + C.Message;
        if (C.Message.ends_with('\n'))
            EXPECT_EQ(R.Err, Said);
        else
            EXPECT_EQ(R.Err.substr(0, Said.size()), Said);
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
        // A preview meets the file as the real run would.
        auto Previewed = Commands;
        Previewed.push_back({{"import", UsersFile, "--dry-run"}, R"({"users":[]})"});
        for (const auto& [Args, Stdin] : Previewed) {
            const TRunResult R = RunUsrpass(Args, Input(Stdin));
            EXPECT_EQ(R.ExitCode, 5) << Args[0];
            EXPECT_EQ(R.Err, About(UsersFile) +
                                 "Plik z użytkownikami jest aktualnie modyfikowany przez inną "
                                 "osobę " +
                                 ThisProcessAsHolder() + "\n");
        }
    }
    // A full disk, as a file size limit below the new file's 835 bytes.
    for (const auto& [Args, Stdin] : Commands) {
        const TRunResult R = RunUsrpass(Args, Input(Stdin).WithFileSizeLimit(500));
        EXPECT_EQ(R.ExitCode, 7) << Args[0];
        EXPECT_EQ(R.Err, About(UsersFile) + "Nie można zapisać pliku z użytkownikami\n") << Args[0];
    }
    EXPECT_EQ(Identity(), Original);
}
