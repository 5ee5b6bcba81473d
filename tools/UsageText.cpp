// usrpass --help: the whole interface in one text.
#include "tools/Arguments.h"

const char* const UsageText = R"(Użycie:
  usrpass init PLIK --admin NAZWA [--password-stdin]
  usrpass list PLIK [--json]
  usrpass check PLIK [--strict]
  usrpass passwd PLIK UŻYTKOWNIK [--net] [--password-stdin]
  usrpass add PLIK UŻYTKOWNIK [--name PEŁNA] [--net-name NAZWA] [--rights KODY]
              [--objects LISTA] [--password-stdin] [--empty-password] [--dry-run [--json]]
  usrpass set PLIK (UŻYTKOWNIK | --id ID) [--user-name NOWA] [--name PEŁNA]
              [--net-name NAZWA] [--rights KODY] [--objects LISTA] [--empty-password]
              [--dry-run [--json]]
  usrpass del PLIK (UŻYTKOWNIK | --id ID) [--dry-run [--json]]
  usrpass chpasswd PLIK [--net] [--encoding KODOWANIE] [--dry-run [--json]]
  usrpass import PLIK [--delete-missing] [--empty-password] [--encoding KODOWANIE]
              [--dry-run [--json]]
  usrpass diff STARY NOWY [--json]
  usrpass restore PLIK [--from KOPIA] [--dry-run [--json]]
  usrpass --help
  usrpass --version

Polecenia:
  init      tworzy nowy plik z użytkownikami z jednym administratorem (prawa dostępu 0600);
            istniejącego pliku nigdy nie nadpisuje
  list      wypisuje użytkowników, jeden w wierszu, pola oddzielone tabulatorem: Id, flagi
            (L - prawo logowania, H - ustawione hasło Zortan), nazwa w Zortan, nazwa sieciowa,
            pełna nazwa, kody praw
  check     sprawdza plik i wypisuje liczbę użytkowników; z --strict wypisuje też po wierszu na
            każdą uwagę: prawo logowania z pustym hasłem, odstęp na początku lub końcu nazwy,
            dwukropek lub znak sterujący w nazwie, ta sama nazwa w Zortan lub to samo Id
            u dwóch użytkowników, administrator bez prawa logowania, bity praw bez znaczenia
  passwd    ustawia hasło Zortan (z --net hasło sieciowe) użytkownika
  add       dodaje użytkownika na końcu listy, z kolejnym Id; z --password-stdin hasło Zortan
            z pierwszego wiersza standardowego wejścia, bez niej puste; użytkownika z prawem
            logowania i pustym hasłem dodaje tylko z --empty-password
  set       zmienia nazwy, prawa lub obiekty użytkownika; pozostałe pola zostają
  del       usuwa użytkownika; administratora (pierwszego użytkownika) nigdy
  chpasswd  ustawia hasła Zortan (z --net hasła sieciowe) według wierszy
            "UŻYTKOWNIK:HASŁO" ze standardowego wejścia
  import    wczytuje ze standardowego wejścia dokument w postaci wypisywanej przez list --json:
            pozycja z "id" zmienia nazwy, prawa i obiekty tego użytkownika, pozycja bez "id"
            dodaje użytkownika tak jak add; "rights" to liczba albo kody jak w --rights,
            "objects" liczba albo lista jak w --objects; "rightsText" musi zgadzać się
            z prawami; hasła, hasPassword, hasNetPassword i lastId są pomijane
  diff      wypisuje, co zmieniło się od pliku STARY do pliku NOWY (użytkownicy rozpoznawani
            po Id): wiersz na każdego użytkownika dodanego, usuniętego lub zmienionego, ze
            zmienionymi polami; haseł nie pokazuje, tylko "hasło zmienione"
  restore   przywraca poprzednią wersję pliku, PLIK- (każdy zapis, który zmienia
            użytkowników, zostawia w niej plik sprzed zapisu), albo z --from KOPIA dowolny
            plik z użytkownikami; dotychczasowa zawartość staje się nowym PLIK-, więc i
            przywrócenie można cofnąć, a gdy tego zapewnić nie można (zapis w miejscu), odmawia
            i niczego nie zmienia; uszkodzony PLIK (albo nie plik z użytkownikami) zostaje obok
            jako PLIK.damaged-DATA-CZAS, PLIK- bez zmian; brakujący PLIK powstaje na nowo

UŻYTKOWNIK to nazwa w Zortan: polecenie dotyczy pierwszego użytkownika o tej nazwie
(wielkość liter ma znaczenie); --id ID wskazuje użytkownika po Id.

PLIK można pominąć, gdy ustawienie UserFile w /etc/pelorin.conf (albo w pliku, który wskazuje
zmienna środowiska PELORIN_CONFIG) wskazuje plik z użytkownikami, np. "usrpass passwd jan";
diff zawsze wymaga obu plików.

Opcje:
  --admin NAZWA      nazwa administratora w Zortan (init)
  --password-stdin   hasło z pierwszego wiersza standardowego wejścia; bez tej opcji init
                     i passwd pobierają hasło dwukrotnie z terminala, bez wyświetlania
  --json             wynik w formacie JSON (list, diff, podgląd --dry-run)
  --dry-run          niczego nie zapisuje: sprawdza wszystko jak naprawdę i wypisuje zmianę
                     w postaci diff (add, set, del, chpasswd, import, restore)
  --encoding KODOWANIE
                     kodowanie standardowego wejścia (chpasswd, import): nazwa jak w iconv,
                     np. utf-8 (domyślne), cp1250, iso-8859-2
  --empty-password   pozwala nadać prawo logowania użytkownikowi z pustym hasłem Zortan
                     (add, set, import)
  --strict           także uwagi o użytkownikach (check)
  --net              hasło sieciowe zamiast hasła Zortan (passwd, chpasswd)
  --id ID            Id użytkownika zamiast jego nazwy (set, del)
  --user-name NOWA   nowa nazwa w Zortan (set)
  --name PEŁNA       pełna nazwa użytkownika, najwyżej 50 znaków
  --net-name NAZWA   nazwa użytkownika sieciowego
  --rights KODY      prawa, kody oddzielone przecinkami: L (logowanie), Id If Is Dm Di De Dp Ds
                     Wm Wi We Om Oi Oe (jak w liście praw programu, bity w usrpass(1));
                     "L,Id,Dm" nadaje dokładnie te prawa, "+Wi,-Is" dodaje i odbiera pojedyncze
  --objects LISTA    obiekty 1-32: numery i zakresy, np. "1-5,32" (dokładnie te) albo
                     "+7,-1-3" (dodaje i odbiera)
  --delete-missing   usuwa użytkowników nieobecnych w dokumencie, nigdy administratora (import)
  --                 koniec opcji: dalsze argumenty to nazwy
  -h, --help         ten opis
  --version          wersja programu

Nazwy w Zortan, nazwy sieciowe i hasła mają najwyżej 15 znaków strony kodowej 1250, bez
znaków sterujących. add, set, del, chpasswd i import zapisują plik raz, gdy wszystkie
zmiany są poprawne i spełniają reguły okna edycji użytkownika; każda odmowa zostawia plik
bez zmian i wskazuje błędny wiersz lub pozycję.

Kody wyjścia:
  0   powodzenie
  1   brak pliku z użytkownikami
  2   nie można utworzyć pliku z użytkownikami (init)
  3   nie można otworzyć pliku z użytkownikami
  4   niewłaściwy plik z użytkownikami
  5   plik z użytkownikami jest aktualnie modyfikowany przez inną osobę
  6   plik z użytkownikami uległ zniszczeniu
  7   nie można zapisać pliku z użytkownikami
  8   check --strict: plik jest poprawny, ale ma uwagi
  64  błędne wywołanie
  65  błędne dane: nazwa, hasło, kody praw, obiekty, wiersz lub dokument nie do przyjęcia,
      brak takiego użytkownika, odmowa okna edycji użytkownika, brak lub uszkodzenie
      poprzedniej wersji pliku (restore)
  70  błąd wewnętrzny (na przykład brak pamięci)
  74  nie można wypisać wyniku
  78  błąd w pliku ustawień (/etc/pelorin.conf)
)";
