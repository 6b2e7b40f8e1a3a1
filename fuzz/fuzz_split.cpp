// Splitting and keys on arbitrary bytes: never out of bounds, and with the line layout kept the
// sentences joined give the text back.
#include "FuzzInput.h"
#include "Normalize.h"
#include "Splitter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    kivo::ProgressModel progress;
    kivo::SentenceSplitter splitter(input.options, progress);
    splitter.Reset(kivo::MakeActiveDelimiters(input.options.Sptr[0]));
    kivo::SentenceList sentences;
    while (!splitter.SplitStep(sentences, input.rest)) {
    }

    std::string joined;
    for (const kivo::Sentence &s : sentences) {
        if (s.text.empty())
            std::abort();
        joined += s.text;
    }
    if (input.options.ViewFormat == kivo::SentenceLayout::Unchanged && joined != input.rest)
        std::abort();
    (void)kivo::NormalizeText(input.rest, input.options);
    (void)splitter.FirstDelimiterOffset(input.rest);
    return 0;
}
