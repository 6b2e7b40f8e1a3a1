// The RTF reader on arbitrary bytes: never out of bounds, never unbounded, and what it reads
// the writer can write and the reader read again.
#include "Cp932Codec.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view rtf(reinterpret_cast<const char *>(data), size);
    kivo::Cp932Codec &codec = kivo::Cp932Codec::Shared();
    const auto runs = kivo::rtf::Read(rtf, codec);
    if (!runs)
        return 0;
    const auto written = kivo::rtf::Write(*runs, codec);
    if (!written || !kivo::rtf::Read(*written, codec))
        std::abort();
    return 0;
}
