#pragma once
// The part index table of a scene file being written or read: each part record takes the next
// index, so indices are handed out in pre-order, and parent and owner indices of a record name
// parts that came earlier. Prepared empty, with room for every part of the file, before the first
// record.

#include <cstdint>
#include <vector>

class CPartObject;

class CPartIndexTable {
  public:
    // Empties the table and makes room for `capacity` parts.
    void Prepare(std::size_t capacity);
    // Stores the part at the next index and returns that index; -1 (nothing stored) when the table
    // is full.
    std::int32_t Take(CPartObject* part);
    // The part of an index handed out so far, or null.
    CPartObject* At(std::int32_t index) const;
    std::int32_t Counter() const { return static_cast<std::int32_t>(m_parts.size()); }
    std::size_t Capacity() const { return m_capacity; }

    // The process-wide table, and the count of records whose serial id did not match.
    static CPartIndexTable& Instance();
    static std::uint32_t ErrorCount();
    static void CountError();

  private:
    std::vector<CPartObject*> m_parts;
    std::size_t m_capacity = 0;
};
