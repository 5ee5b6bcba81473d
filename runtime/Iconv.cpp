#include "runtime/Iconv.h"

#include <cerrno>
#include <iconv.h>

namespace {

iconv_t Cd(void* P) {
    return static_cast<iconv_t>(P);
}

const iconv_t NoCd = reinterpret_cast<iconv_t>(-1);

} // namespace

TIconv::TIconv(const char* To, const char* From) : FCd(iconv_open(To, From)) {}

TIconv::~TIconv() {
    if (Valid())
        iconv_close(Cd(FCd));
}

bool TIconv::Valid() const {
    return Cd(FCd) != NoCd;
}

TIconv::TStatus TIconv::Convert(std::string_view& In, std::string& Out) {
    if (!Valid())
        return TStatus::Failed;
    iconv(Cd(FCd), nullptr, nullptr, nullptr, nullptr);
    char Chunk[4096];
    while (!In.empty()) {
        char* InPtr = const_cast<char*>(In.data());
        std::size_t InLeft = In.size();
        char* OutPtr = Chunk;
        std::size_t OutLeft = sizeof Chunk;
        const std::size_t Rc = iconv(Cd(FCd), &InPtr, &InLeft, &OutPtr, &OutLeft);
        const int Err = errno;
        Out.append(Chunk, static_cast<std::size_t>(OutPtr - Chunk));
        In.remove_prefix(In.size() - InLeft);
        if (Rc != static_cast<std::size_t>(-1) || Err == E2BIG)
            continue;
        return (Err == EILSEQ || Err == EINVAL) ? TStatus::Unconvertible : TStatus::Failed;
    }
    // A stateful encoding may still owe its closing sequence.
    char* OutPtr = Chunk;
    std::size_t OutLeft = sizeof Chunk;
    if (iconv(Cd(FCd), nullptr, nullptr, &OutPtr, &OutLeft) == static_cast<std::size_t>(-1))
        return TStatus::Failed;
    Out.append(Chunk, static_cast<std::size_t>(OutPtr - Chunk));
    return TStatus::Done;
}
