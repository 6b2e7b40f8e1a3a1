#include "Moves.h"

#include <cassert>
#include <string_view>
#include <vector>

namespace kivo {

namespace {

std::int32_t Lookup(const std::unordered_map<std::int32_t, std::int32_t> &map, std::int32_t key)
{
    const auto it = map.find(key);
    return it == map.end() ? -1 : it->second;
}

bool IsSentenceRecord(const ResultPair &record, TextStatus status)
{
    return record.sentenceEnd == 1 && record.status == status;
}

const std::string &KeyOf(const SentenceList &list, std::int32_t index)
{
    assert(index >= 0 && static_cast<std::size_t>(index) < list.size() &&
           "a record's index names a sentence of its list");
    return list[static_cast<std::size_t>(index)].key;
}

} // namespace

std::int32_t MoveTable::RightOf(std::int32_t leftIndex) const
{
    return Lookup(m_leftToRight, leftIndex);
}

std::int32_t MoveTable::LeftOf(std::int32_t rightIndex) const
{
    return Lookup(m_rightToLeft, rightIndex);
}

std::int32_t MoveTable::PartnerOf(const ResultPair &record) const
{
    if (IsSentenceRecord(record, TextStatus::Deleted))
        return RightOf(record.leftIndex);
    if (IsSentenceRecord(record, TextStatus::Added))
        return LeftOf(record.rightIndex);
    return -1;
}

void MoveTable::Add(std::int32_t leftIndex, std::int32_t rightIndex)
{
    m_leftToRight.emplace(leftIndex, rightIndex);
    m_rightToLeft.emplace(rightIndex, leftIndex);
}

void MoveTable::Clear()
{
    m_leftToRight.clear();
    m_rightToLeft.clear();
}

MoveTable FindMoves(const ResultList &results, const SentenceList &left, const SentenceList &right)
{
    // The Added sentences by key, in list order, with the first not yet taken; each Deleted
    // sentence takes the first of its key.
    struct Waiting {
        std::vector<std::int32_t> rightIndices;
        std::size_t next = 0;
    };
    std::unordered_map<std::string_view, Waiting> added;
    for (const ResultPair &record : results) {
        if (!IsSentenceRecord(record, TextStatus::Added))
            continue;
        const std::string &key = KeyOf(right, record.rightIndex);
        if (!key.empty())
            added[key].rightIndices.push_back(record.rightIndex);
    }
    MoveTable moves;
    if (added.empty())
        return moves;
    for (const ResultPair &record : results) {
        if (!IsSentenceRecord(record, TextStatus::Deleted))
            continue;
        const auto it = added.find(KeyOf(left, record.leftIndex));
        if (it == added.end() || it->second.next == it->second.rightIndices.size())
            continue;
        moves.Add(record.leftIndex, it->second.rightIndices[it->second.next++]);
    }
    return moves;
}

std::unordered_map<std::int32_t, std::int32_t> MovedRecordPartners(const ResultList &results,
                                                                   const MoveTable &moves)
{
    std::unordered_map<std::int32_t, std::int32_t> partners;
    if (moves.Empty())
        return partners;
    // Positions of the Deleted and Added records of moved sentences, by sentence index.
    std::unordered_map<std::int32_t, std::int32_t> deletedAt;
    std::unordered_map<std::int32_t, std::int32_t> addedAt;
    std::int32_t position = 0;
    for (const ResultPair &record : results) {
        if (moves.PartnerOf(record) >= 0) {
            if (record.status == TextStatus::Deleted)
                deletedAt.emplace(record.leftIndex, position);
            else
                addedAt.emplace(record.rightIndex, position);
        }
        ++position;
    }
    for (const auto &[left, at] : deletedAt) {
        const auto added = addedAt.find(moves.RightOf(left));
        if (added == addedAt.end())
            continue; // the other end is not among these records
        partners.emplace(at, added->second);
        partners.emplace(added->second, at);
    }
    return partners;
}

} // namespace kivo
