// The RTF reader on arbitrary bytes: never out of bounds, never more than it may produce of the
// input, and what it reads the writer can write and the reader read again.
#include "Cp932Codec.h"
#include "FileReason.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view rtf(reinterpret_cast<const char *>(data), size);
    kivo::Cp932Codec &codec = kivo::Cp932Codec::Shared();
    kivo::rtf::Runs runs;
    std::uintmax_t produced = 0;
    const bool read = kivo::rtf::Read(rtf, codec, [&](const kivo::rtf::TextRun &run) {
        produced += run.text.size() + run.format.face.size();
        runs.push_back(run);
    });
    if (!read)
        return 0;
    if (produced > kivo::MostProducedBytes(size)) // a small input that stands for too much
        std::abort();
    const auto written = kivo::rtf::Write(runs, codec);
    if (!written || !kivo::rtf::Read(*written, codec))
        std::abort();
    return 0;
}
