// chpasswd: many passwords from standard input, all set in one save or none.
#include "tools/Commands.h"
#include "tools/InputText.h"
#include "tools/PasswordLines.h"
#include "tools/StandardInput.h"
#include "tools/Transaction.h"

int RunChpasswd(const TArguments& Args) {
    RequireKnownEncoding(Args.Encoding);
    // Read and checked before the lock is taken, so that neither a slow writer of the input nor
    // a bad line ever holds it.
    const std::vector<TPasswordLine> Lines =
        ParsePasswordLines(DecodeInput(ReadStandardInput(), Args.Encoding));
    TTransaction Transaction(Args);
    ApplyPasswordLines(Transaction.Store(), Lines, Args.Net);
    return Transaction.Commit();
}
