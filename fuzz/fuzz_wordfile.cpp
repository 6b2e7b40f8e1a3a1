// The word-processor document reader on arbitrary bytes: never out of bounds, never unbounded,
// every refusal has its reason, and a document it reads gives text the RTF writer can write.
#include "Cp932Codec.h"
#include "RtfWriter.h"
#include "WordFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    kivo::FileReason why = kivo::FileReason::Other;
    const auto runs = kivo::wordfile::Read(bytes, why);
    if (!runs) {
        if (why == kivo::FileReason::Other) // every refusal says why
            std::abort();
        return 0;
    }
    if (!kivo::rtf::Write(*runs, kivo::Cp932Codec::Shared()))
        std::abort();
    return 0;
}
