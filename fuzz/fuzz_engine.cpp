// The whole engine on arbitrary byte pairs and options: never out of bounds, with the line
// layout kept the texts of all records joined give each side's text back, and the indexed
// searches in one-unit steps give the records of the direct searches and of the plain
// reference searches of the tests, under both anchoring rules.
#include "Comparison.h"
#include "FuzzInput.h"
#include "ReferenceEngine.h"

#include <cstdlib>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    // The first byte of the rest says where the left text ends.
    const std::size_t cut = input.rest.empty() ? 0
                                               : static_cast<unsigned char>(input.rest[0]) *
                                                     (input.rest.size() - 1) / 255;
    const std::string left = input.rest.empty() ? std::string() : input.rest.substr(1, cut);
    const std::string right = input.rest.empty() ? std::string() : input.rest.substr(1 + cut);

    kivo::ProgressModel progress;
    kivo::Comparison comparison(input.options, progress);
    kivo::EngineTuning tuning;
    tuning.stepWorkUnits = 1;
    tuning.thresholds = kivo::EngineThresholds{0, 0};
    comparison.SetTuning(tuning);
    comparison.RunToCompletion(left, right);
    kivo::ProgressModel directProgress;
    kivo::Comparison direct(input.options, directProgress);
    constexpr auto kMost = std::numeric_limits<std::int64_t>::max();
    kivo::EngineTuning plain;
    plain.thresholds = kivo::EngineThresholds{kMost, kMost};
    direct.SetTuning(plain);
    direct.RunToCompletion(left, right);
    if (direct.Results() != comparison.Results() || directProgress.Steps() != progress.Steps())
        std::abort();
    // The plain searches are cubic, so only short inputs are checked against them as well.
    constexpr std::size_t kMostReferenceBytes = 512;
    if (left.size() + right.size() <= kMostReferenceBytes &&
        kivo::test::ReferenceCompare(left, right, input.options) != comparison.Results())
        std::abort();
    // Keeping every first-fit anchor, in one-unit steps too, gives the older records.
    if (left.size() + right.size() <= kMostReferenceBytes) {
        kivo::ProgressModel firstFitProgress;
        kivo::Comparison firstFit(input.options, firstFitProgress);
        kivo::EngineTuning firstFitTuning;
        firstFitTuning.stepWorkUnits = 1;
        firstFitTuning.firstFitAnchors = true;
        firstFit.SetTuning(firstFitTuning);
        firstFit.RunToCompletion(left, right);
        if (kivo::test::ReferenceCompare(left, right, input.options, true) != firstFit.Results())
            std::abort();
    }
    if (comparison.State() != kivo::EngineState::Finished)
        std::abort();

    std::string joinedLeft;
    std::string joinedRight;
    for (const kivo::ResultPair &record : comparison.Results()) {
        if (record.sentenceEnd != 0 && record.sentenceEnd != 1)
            std::abort();
        joinedLeft += record.leftText;
        joinedRight += record.rightText;
    }
    if (input.options.ViewFormat == kivo::SentenceLayout::Unchanged &&
        (joinedLeft != left || joinedRight != right))
        std::abort();
    return 0;
}
