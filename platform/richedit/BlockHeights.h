#pragma once

#include <cstdint>
#include <vector>

namespace kivo {

/// The heights of a document's paragraphs in paragraph order, each either measured (the
/// paragraph is laid out at the current width) or estimated, with the sums that place them.
///
/// Kept in chunks of at most kChunkSize entries, each with its sum, so that inserting or
/// removing paragraphs anywhere costs O(chunk + chunks) and finding the paragraph at a document
/// y costs O(log chunks + chunk), whatever the length of the text. The running sums over the
/// chunks are brought up to date lazily, from the first chunk that changed.
class BlockHeights {
public:
    /// Number of paragraphs.
    int Size() const { return m_size; }
    /// Inserts estimated entries of the given heights before index at (0 <= at <= Size()).
    void Insert(int at, const std::vector<float> &heights);
    /// Removes count entries from index at.
    void Erase(int at, int count);
    /// Removes every entry.
    void Clear();

    float Height(int index) const;
    bool IsMeasured(int index) const;
    /// Sets a paragraph's height, measured or estimated.
    void Set(int index, float height, bool measured);
    /// Makes every height an estimate (the heights are kept as the estimates).
    void MarkAllEstimated();

    /// Sum of the heights before index (0 <= index <= Size()).
    double Top(int index) const;
    /// Top of each of the given indexes, in ascending order: one pass over the heights up to the
    /// last of them.
    std::vector<double> Tops(const std::vector<int> &indexes) const;
    /// Sum of all heights.
    double Total() const;
    /// The last paragraph whose top is at or above y; 0 above the first, Size() - 1 below the
    /// last. -1 when there are none.
    int IndexAt(double y) const;
    /// The first estimated paragraph at or after index from; Size() when there is none.
    int FirstEstimated(int from = 0) const;
    /// Number of estimated paragraphs.
    int EstimatedCount() const { return m_estimated; }

private:
    /// At most this many entries to a chunk: small enough that an edit inside one is a short
    /// move, large enough that the chunks stay few.
    static constexpr int kChunkSize = 512;

    struct Chunk {
        std::vector<float> heights;
        std::vector<std::uint8_t> measured;
        double sum = 0;
        int estimated = 0;
    };

    /// The chunk holding index, and the index within it; index may equal Size() (the end).
    std::pair<int, int> Locate(int index) const;
    /// Brings the first indexes of the chunks (m_firstIndex) up to date.
    void RefreshIndexes() const;
    /// Brings the first indexes and the tops of the chunks (m_top) up to date.
    void Refresh() const;
    /// A chunk's entries were added or removed: the indexes and tops after it change.
    void ChunkChanged(int chunk);
    /// A chunk's heights changed, not its entries: the tops after it change, the indexes not.
    /// Laying out paragraph after paragraph looks each one up and sets its height: the lookups
    /// need not add up the tops of every chunk after it again.
    void HeightsChanged(int chunk);
    void Resum(Chunk &chunk);
    void SplitIfLarge(int chunk);

    std::vector<Chunk> m_chunks;
    int m_size = 0;
    int m_estimated = 0;
    /// For each chunk: the index of its first entry, valid for the chunks before
    /// m_validIndexes, and the sum of the heights before it, valid for those before m_validTops.
    mutable std::vector<int> m_firstIndex;
    mutable std::vector<double> m_top;
    mutable int m_validIndexes = 0;
    mutable int m_validTops = 0;
};

} // namespace kivo
