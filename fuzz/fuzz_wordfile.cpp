// The word-processor document reader on arbitrary bytes: never out of bounds, never more text
// than it may produce of the input, every refusal has its reason, and a document it reads gives
// text the RTF writer can write.
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
    std::uintmax_t produced = 0;
    for (const kivo::rtf::TextRun &run : *runs)
        produced += run.text.size() + run.format.face.size();
    if (produced > kivo::MostProducedBytes(size)) // a small file that stands for too much
        std::abort();
    if (!kivo::rtf::Write(*runs, kivo::Cp932Codec::Shared()))
        std::abort();
    return 0;
}
