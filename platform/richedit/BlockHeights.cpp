#include "BlockHeights.h"

#include <algorithm>
#include <cassert>
#include <numeric>

namespace kivo {

void BlockHeights::Clear()
{
    m_chunks.clear();
    m_size = 0;
    m_estimated = 0;
    m_validIndexes = 0;
    m_validTops = 0;
}

void BlockHeights::RefreshIndexes() const
{
    const int chunks = static_cast<int>(m_chunks.size());
    m_firstIndex.resize(m_chunks.size());
    for (int c = m_validIndexes; c < chunks; ++c) {
        m_firstIndex[static_cast<std::size_t>(c)] =
            c == 0 ? 0
                   : m_firstIndex[static_cast<std::size_t>(c - 1)] +
                         static_cast<int>(m_chunks[static_cast<std::size_t>(c - 1)].heights.size());
    }
    m_validIndexes = chunks;
}

void BlockHeights::Refresh() const
{
    RefreshIndexes();
    const int chunks = static_cast<int>(m_chunks.size());
    m_top.resize(m_chunks.size());
    for (int c = m_validTops; c < chunks; ++c) {
        m_top[static_cast<std::size_t>(c)] =
            c == 0 ? 0
                   : m_top[static_cast<std::size_t>(c - 1)] +
                         m_chunks[static_cast<std::size_t>(c - 1)].sum;
    }
    m_validTops = chunks;
}

std::pair<int, int> BlockHeights::Locate(int index) const
{
    assert(index >= 0 && index <= m_size && "paragraph index out of range");
    RefreshIndexes();
    if (m_chunks.empty())
        return {0, 0};
    const auto after = std::upper_bound(m_firstIndex.begin(), m_firstIndex.end(), index);
    int chunk = static_cast<int>(after - m_firstIndex.begin()) - 1;
    // An index at the start of a chunk belongs to it; the end of the text to the last chunk.
    chunk = std::clamp(chunk, 0, static_cast<int>(m_chunks.size()) - 1);
    return {chunk, index - m_firstIndex[static_cast<std::size_t>(chunk)]};
}

void BlockHeights::ChunkChanged(int chunk)
{
    m_validIndexes = std::min(m_validIndexes, chunk + 1);
    HeightsChanged(chunk);
}

void BlockHeights::HeightsChanged(int chunk)
{
    m_validTops = std::min(m_validTops, chunk + 1);
}

void BlockHeights::Resum(Chunk &chunk)
{
    chunk.sum = std::accumulate(chunk.heights.begin(), chunk.heights.end(), 0.0);
    chunk.estimated = static_cast<int>(std::count(chunk.measured.begin(), chunk.measured.end(), 0));
}

void BlockHeights::SplitIfLarge(int chunk)
{
    Chunk &whole = m_chunks[static_cast<std::size_t>(chunk)];
    const int size = static_cast<int>(whole.heights.size());
    if (size <= kChunkSize)
        return;
    // Pieces of equal size, each at most kChunkSize and at least half of it.
    const int pieces = (size + kChunkSize - 1) / kChunkSize;
    std::vector<Chunk> parts(static_cast<std::size_t>(pieces));
    for (int p = 0; p < pieces; ++p) {
        const auto from = static_cast<std::ptrdiff_t>(std::int64_t(size) * p / pieces);
        const auto to = static_cast<std::ptrdiff_t>(std::int64_t(size) * (p + 1) / pieces);
        Chunk &part = parts[static_cast<std::size_t>(p)];
        part.heights.assign(whole.heights.begin() + from, whole.heights.begin() + to);
        part.measured.assign(whole.measured.begin() + from, whole.measured.begin() + to);
        Resum(part);
    }
    const auto at = m_chunks.begin() + chunk;
    m_chunks.erase(at);
    m_chunks.insert(m_chunks.begin() + chunk, std::make_move_iterator(parts.begin()),
                    std::make_move_iterator(parts.end()));
}

void BlockHeights::Insert(int at, const std::vector<float> &heights)
{
    const int count = static_cast<int>(heights.size());
    if (count == 0)
        return;
    if (m_chunks.empty())
        m_chunks.emplace_back();
    const auto [chunk, offset] = Locate(at);
    Chunk &target = m_chunks[static_cast<std::size_t>(chunk)];
    target.heights.insert(target.heights.begin() + offset, heights.begin(), heights.end());
    target.measured.insert(target.measured.begin() + offset, static_cast<std::size_t>(count), 0);
    target.sum += std::accumulate(heights.begin(), heights.end(), 0.0);
    target.estimated += count;
    m_size += count;
    m_estimated += count;
    ChunkChanged(chunk);
    SplitIfLarge(chunk);
}

void BlockHeights::Erase(int at, int count)
{
    count = std::min(count, m_size - at);
    if (count <= 0)
        return;
    auto [chunk, offset] = Locate(at);
    ChunkChanged(chunk);
    while (count > 0) {
        Chunk &target = m_chunks[static_cast<std::size_t>(chunk)];
        const int size = static_cast<int>(target.heights.size());
        const int n = std::min(count, size - offset);
        const int before = target.estimated;
        target.heights.erase(target.heights.begin() + offset, target.heights.begin() + offset + n);
        target.measured.erase(target.measured.begin() + offset,
                              target.measured.begin() + offset + n);
        Resum(target);
        m_estimated -= before - target.estimated;
        m_size -= n;
        count -= n;
        if (target.heights.empty() && m_chunks.size() > 1) {
            m_chunks.erase(m_chunks.begin() + chunk);
        } else {
            ++chunk;
        }
        offset = 0;
    }
    // A chunk that became small joins its neighbour, so that removals do not leave many tiny
    // chunks behind.
    const int first = std::max(0, std::min(chunk, static_cast<int>(m_chunks.size())) - 1);
    if (first + 1 < static_cast<int>(m_chunks.size())) {
        Chunk &left = m_chunks[static_cast<std::size_t>(first)];
        Chunk &right = m_chunks[static_cast<std::size_t>(first) + 1];
        if (left.heights.size() + right.heights.size() <= static_cast<std::size_t>(kChunkSize)) {
            left.heights.insert(left.heights.end(), right.heights.begin(), right.heights.end());
            left.measured.insert(left.measured.end(), right.measured.begin(), right.measured.end());
            Resum(left);
            m_chunks.erase(m_chunks.begin() + first + 1);
        }
    }
    m_validIndexes = std::min(m_validIndexes, first);
    m_validTops = std::min(m_validTops, first);
}

float BlockHeights::Height(int index) const
{
    const auto [chunk, offset] = Locate(index);
    return m_chunks[static_cast<std::size_t>(chunk)].heights[static_cast<std::size_t>(offset)];
}

bool BlockHeights::IsMeasured(int index) const
{
    const auto [chunk, offset] = Locate(index);
    return m_chunks[static_cast<std::size_t>(chunk)].measured[static_cast<std::size_t>(offset)] !=
           0;
}

void BlockHeights::Set(int index, float height, bool measured)
{
    const auto [chunk, offset] = Locate(index);
    Chunk &target = m_chunks[static_cast<std::size_t>(chunk)];
    float &entry = target.heights[static_cast<std::size_t>(offset)];
    std::uint8_t &flag = target.measured[static_cast<std::size_t>(offset)];
    target.sum += double(height) - double(entry);
    entry = height;
    if ((flag != 0) != measured) {
        const int change = measured ? -1 : 1;
        target.estimated += change;
        m_estimated += change;
        flag = measured ? 1 : 0;
    }
    HeightsChanged(chunk);
}

void BlockHeights::MarkAllEstimated()
{
    for (Chunk &chunk : m_chunks) {
        std::fill(chunk.measured.begin(), chunk.measured.end(), 0);
        chunk.estimated = static_cast<int>(chunk.measured.size());
    }
    m_estimated = m_size;
}

double BlockHeights::Top(int index) const
{
    const auto [chunk, offset] = Locate(index);
    if (m_chunks.empty())
        return 0;
    Refresh();
    const Chunk &target = m_chunks[static_cast<std::size_t>(chunk)];
    return m_top[static_cast<std::size_t>(chunk)] +
           std::accumulate(target.heights.begin(), target.heights.begin() + offset, 0.0);
}

std::vector<double> BlockHeights::Tops(const std::vector<int> &indexes) const
{
    std::vector<double> tops;
    tops.reserve(indexes.size());
    if (m_chunks.empty()) {
        tops.assign(indexes.size(), 0);
        return tops;
    }
    Refresh();
    // The sum inside the chunk goes on from the index before, added up in the order Top does.
    int chunk = -1;
    int offset = 0;
    double partial = 0;
    for (const int index : indexes) {
        const auto [at, within] = Locate(index);
        if (at != chunk || within < offset) {
            chunk = at;
            offset = 0;
            partial = 0;
        }
        const std::vector<float> &heights = m_chunks[static_cast<std::size_t>(at)].heights;
        for (; offset < within; ++offset)
            partial += heights[static_cast<std::size_t>(offset)];
        tops.push_back(m_top[static_cast<std::size_t>(at)] + partial);
    }
    return tops;
}

double BlockHeights::Total() const
{
    if (m_chunks.empty())
        return 0;
    Refresh();
    return m_top.back() + m_chunks.back().sum;
}

int BlockHeights::IndexAt(double y) const
{
    if (m_size == 0)
        return -1;
    Refresh();
    const auto after = std::upper_bound(m_top.begin(), m_top.end(), y);
    // Empty chunks cannot occur while there are entries, except as the only chunk.
    int chunk = std::max(0, static_cast<int>(after - m_top.begin()) - 1);
    // Chunks of zero height share their top with the next one: take the last that has entries.
    while (chunk > 0 && m_chunks[static_cast<std::size_t>(chunk)].heights.empty())
        --chunk;
    const Chunk &target = m_chunks[static_cast<std::size_t>(chunk)];
    double top = m_top[static_cast<std::size_t>(chunk)];
    const int size = static_cast<int>(target.heights.size());
    int i = 0;
    while (i + 1 < size && top + target.heights[static_cast<std::size_t>(i)] <= y)
        top += target.heights[static_cast<std::size_t>(i++)];
    return m_firstIndex[static_cast<std::size_t>(chunk)] + i;
}

int BlockHeights::FirstEstimated(int from) const
{
    if (from >= m_size || m_estimated == 0)
        return m_size;
    auto [chunk, offset] = Locate(from);
    for (; chunk < static_cast<int>(m_chunks.size()); ++chunk, offset = 0) {
        const Chunk &target = m_chunks[static_cast<std::size_t>(chunk)];
        if (target.estimated == 0)
            continue;
        const auto found = std::find(target.measured.begin() + offset, target.measured.end(), 0);
        if (found != target.measured.end())
            return m_firstIndex[static_cast<std::size_t>(chunk)] +
                   static_cast<int>(found - target.measured.begin());
    }
    return m_size;
}

} // namespace kivo
