// import: a whole document of users from standard input, applied in one save or not at all.
#include "tools/Commands.h"
#include "tools/Import.h"
#include "tools/InputText.h"
#include "tools/Messages.h"
#include "tools/StandardInput.h"
#include "tools/ToolError.h"
#include "tools/Transaction.h"

#include <algorithm>

int RunImport(const TArguments& Args) {
    RequireKnownEncoding(Args.Encoding);
    // Read and parsed before the lock is taken, so that neither a slow writer of the input nor a
    // bad document ever holds it.
    const std::string Raw = ReadStandardInput();
    const std::string Input =
        Naming("dokument JSON", [&] { return DecodeInput(Raw, Args.Encoding); });
    const std::vector<TImportEntry> Entries = ParseImportDocument(Input);
    TTransaction Transaction(Args);
    TUserManager& Store = Transaction.Store();
    const uint16_t AdminId = Store.Items(0)->Rec.Id;
    ApplyImport(Store, Entries, {Args.DeleteMissing, Args.EmptyPassword});

    const bool AdminListed = std::any_of(Entries.begin(), Entries.end(),
                                         [&](const TImportEntry& E) { return E.Id == AdminId; });
    if (Args.DeleteMissing && !AdminListed)
        Warn(Args.FileName, "administratora (id " + std::to_string(AdminId) +
                                ") nie ma w dokumencie; pozostaje w pliku");
    return Transaction.Commit();
}
