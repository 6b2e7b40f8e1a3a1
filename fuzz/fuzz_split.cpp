// Splitting and keys on arbitrary bytes: never out of bounds, and with the line layout kept the
// sentences joined give the text back.
#include "Comparison.h"
#include "FuzzInput.h"
#include "Normalize.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    kivo::ProgressModel progress;
    kivo::Comparison comparison(input.options, progress);
    comparison.ActiveDelimiters = kivo::MakeActiveDelimiters(input.options.Sptr[0]);
    comparison.compareState = kivo::CompareState::SplitLeft;
    while (comparison.compareState == kivo::CompareState::SplitLeft)
        comparison.SplitStep(comparison.leftSentences, input.rest);

    std::string joined;
    for (const kivo::Sentence &s : comparison.leftSentences) {
        if (s.text.empty())
            std::abort();
        joined += s.text;
    }
    if (input.options.ViewFormat == 1 && joined != input.rest)
        std::abort();
    (void)kivo::NormalizeText(input.rest, input.options);
    (void)comparison.FirstDelimiterOffset(input.rest);
    return 0;
}
