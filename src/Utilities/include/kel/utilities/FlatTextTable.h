#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace kel {

// A hash table from (tag, text) to a small value, for large tables of path-like keys. A tag
// is an address that partitions the keys (null when there is none). Records (hash, tag,
// value, key text) lie back to back in one buffer and the probe sequence is a plain array of
// (top hash bits, record offset), so a look-up in a cold table touches a slot and one record,
// where a node-based map touches a bucket, a node and a separately allocated key; adding a
// key allocates nothing once the buffers have grown.
//
// Keys are unique. Records keep the order inserted; erasing marks them dead (their memory is
// reused only by clear). Pointers to values stay valid until the next insert or clear. Not
// thread-safe for writing; const look-ups may run concurrently.
template <class Value>
class FlatTextTable {
    static_assert(std::is_trivially_copyable_v<Value>);

public:
    // The value of (tag, key), or null.
    Value* find(const void* tag, std::string_view key) {
        const std::size_t at = findRecord(hashOf(tag, key), tag, key);
        return at == kNone ? nullptr : &record(at).value;
    }
    const Value* find(const void* tag, std::string_view key) const {
        return const_cast<FlatTextTable*>(this)->find(tag, key);
    }

    // Adds (tag, key) with value: the value's place and true; the place of the value
    // already there and false, changing nothing, when the key is there.
    std::pair<Value*, bool> insert(const void* tag, std::string_view key, const Value& value) {
        const std::uint64_t hash = hashOf(tag, key);
        if (const std::size_t found = findRecord(hash, tag, key); found != kNone)
            return {&record(found).value, false};
        const std::size_t at = m_bytes.size();
        if (at / kAlign >= UINT32_MAX) throw std::length_error("FlatTextTable: too many keys");
        m_bytes.resize(at + recordSize(key.size()));
        Record& added = record(at);
        added = Record{hash, tag, value, static_cast<std::uint32_t>(key.size()), false};
        if (!key.empty()) std::memcpy(m_bytes.data() + at + sizeof(Record), key.data(), key.size());
        if (2 * (m_records + 1) > m_slots.size()) grow();
        place(hash, at);
        ++m_records;
        ++m_live;
        return {&record(at).value, true};
    }

    // Calls visit(tag, key, value) for every key, in the order inserted.
    template <class Visit>
    void forEach(Visit visit) const {
        for (std::size_t at = 0; at < m_bytes.size(); at += recordSize(record(at).length)) {
            const Record& r = record(at);
            if (!r.dead) visit(r.tag, keyAt(at), r.value);
        }
    }

    // Erases every key for which drop(tag, key, value) is true.
    template <class Drop>
    void eraseIf(Drop drop) {
        for (std::size_t at = 0; at < m_bytes.size(); at += recordSize(record(at).length)) {
            Record& r = record(at);
            if (!r.dead && drop(r.tag, keyAt(at), r.value)) {
                r.dead = true;
                --m_live;
            }
        }
    }

    // Empties the table, keeping its buffers.
    void clear() {
        if (m_records == 0) return;
        m_bytes.clear();
        std::fill(m_slots.begin(), m_slots.end(), Slot{0, 0});
        m_records = 0;
        m_live = 0;
    }

    std::size_t size() const { return m_live; }

private:
    struct alignas(8) Record {
        std::uint64_t hash;
        const void* tag;
        Value value;
        std::uint32_t length;
        bool dead;
    };
    struct Slot {
        std::uint32_t tag;     // the top half of the hash
        std::uint32_t record;  // 1 + offset of the record / kAlign; 0: empty
    };
    static constexpr std::size_t kAlign = alignof(Record);
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    static std::size_t recordSize(std::size_t length) {
        return sizeof(Record) + (length + kAlign - 1) / kAlign * kAlign;
    }
    static std::uint64_t hashOf(const void* tag, std::string_view key) {
        std::uint64_t t = reinterpret_cast<std::uintptr_t>(tag);
        t = (t ^ (t >> 17)) * 0x9E3779B97F4A7C15ull;
        return std::hash<std::string_view>{}(key) ^ t;
    }

    Record& record(std::size_t at) { return *reinterpret_cast<Record*>(m_bytes.data() + at); }
    const Record& record(std::size_t at) const {
        return *reinterpret_cast<const Record*>(m_bytes.data() + at);
    }
    std::string_view keyAt(std::size_t at) const {
        return {reinterpret_cast<const char*>(m_bytes.data() + at + sizeof(Record)),
                record(at).length};
    }

    std::size_t findRecord(std::uint64_t hash, const void* tag, std::string_view key) const {
        if (m_slots.empty()) return kNone;
        const std::size_t mask = m_slots.size() - 1;
        const auto top = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot slot = m_slots[i];
            if (slot.record == 0) return kNone;
            if (slot.tag != top) continue;
            const std::size_t at = std::size_t(slot.record - 1) * kAlign;
            const Record& r = record(at);
            if (!r.dead && r.hash == hash && r.tag == tag && keyAt(at) == key) return at;
        }
    }

    void place(std::uint64_t hash, std::size_t at) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = hash & mask;
        while (m_slots[i].record != 0)
            i = (i + 1) & mask;
        m_slots[i] = {static_cast<std::uint32_t>(hash >> 32),
                      static_cast<std::uint32_t>(at / kAlign + 1)};
    }

    void grow() {
        std::vector<Slot> old(m_slots.empty() ? 64 : 2 * m_slots.size());
        old.swap(m_slots);
        for (const Slot& slot : old) {
            if (slot.record == 0) continue;
            const std::size_t at = std::size_t(slot.record - 1) * kAlign;
            place(record(at).hash, at);
        }
    }

    std::vector<unsigned char> m_bytes;  // records back to back, each at a multiple of 8
    std::vector<Slot> m_slots;           // a power of two, at most half full
    std::size_t m_records = 0;           // live and dead: each holds a slot
    std::size_t m_live = 0;
};

}  // namespace kel
