// import: a whole document of users from standard input, applied in one save or not at all.
#include "tools/Commands.h"
#include "tools/Import.h"
#include "tools/StandardInput.h"
#include "tools/StoreAccess.h"

#include <algorithm>
#include <iostream>

int RunImport(const TArguments& Args) {
    // Read before the lock is taken, so that a slow writer of the input never holds it.
    const std::string Input = ReadStandardInput();
    TUserManager Store;
    OpenOrFail(Store, Args.FileName, true);
    const std::vector<TImportEntry> Entries = ParseImportDocument(Input);
    const uint16_t AdminId = Store.Items(0)->Rec.Id;
    ApplyImport(Store, Entries, Args.DeleteMissing);

    const bool AdminListed = std::any_of(Entries.begin(), Entries.end(),
                                         [&](const TImportEntry& E) { return E.Id == AdminId; });
    if (Args.DeleteMissing && !AdminListed)
        std::cerr << "Ostrzeżenie: administratora (id " << AdminId
                  << ") nie ma w dokumencie; pozostaje w pliku\n";
    return SaveStore(Store);
}
