#include "resulttext/DiffMapBuckets.h"

#include <algorithm>
#include <cmath>

namespace kivo {

int MapRank(RunKind kind)
{
    switch (kind) {
    case RunKind::Changed:
        return 1;
    case RunKind::Added:
        return 2;
    case RunKind::Deleted:
        return 3;
    case RunKind::Moved:
        return 4;
    case RunKind::None:
    case RunKind::Original:
    case RunKind::Same:
    case RunKind::Separator:
    case RunKind::Padding:
        return 0;
    }
    return 0;
}

std::vector<RunKind> BuildMapBuckets(const std::vector<MapSpan> &spans, double height, int pixels)
{
    if (pixels < 1 || !(height > 0))
        return {};
    std::vector<RunKind> buckets(static_cast<std::size_t>(pixels), RunKind::None);
    const double scale = pixels / height;
    const auto clamp = [pixels](double pixel) {
        return static_cast<int>(std::clamp(pixel, 0.0, static_cast<double>(pixels - 1)));
    };
    for (const MapSpan &span : spans) {
        const int rank = MapRank(span.kind);
        if (rank == 0)
            continue;
        const int first = clamp(std::floor(span.top * scale));
        const int last = std::max(clamp(std::ceil(span.bottom * scale) - 1),
                                  std::min(first + kMinMarkPixels - 1, pixels - 1));
        for (int pixel = first; pixel <= last; ++pixel) {
            RunKind &bucket = buckets[static_cast<std::size_t>(pixel)];
            if (rank > MapRank(bucket))
                bucket = span.kind;
        }
    }
    return buckets;
}

} // namespace kivo
