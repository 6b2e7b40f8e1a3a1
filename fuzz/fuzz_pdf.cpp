// The PDF reader on arbitrary bytes, in this process: never out of bounds, every refusal has its
// reason, and a text it gives is well-formed UTF-8 without empty paragraphs at its ends.
#include "PdfFile.h"
#include "Utf8.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    kivo::FileReason why = kivo::FileReason::Other;
    const auto text = kivo::pdf::ReadHere(bytes, {}, why);
    if (!text) {
        if (why == kivo::FileReason::Other) // every refusal says why
            std::abort();
        return 0;
    }
    if (text->empty() || kivo::utf8::FirstInvalid(*text) != std::string::npos)
        std::abort();
    return 0;
}
