#include <kel/physicsutils/InternalTARNDatastore.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/PathUtils.h>
#include <kel/physicsutils/TARNReader.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// Holds the text of continued lines (which exist only in the reader's buffer) for the life
// of a store, so that reading allocates per block rather than per string. Views it hands
// out never move.
class TextArena {
public:
    std::string_view store(std::string_view text) {
        if (text.empty()) return {};
        if (text.size() > m_left) {
            std::size_t size = std::max(kBlockSize, text.size());
            m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
            m_next = m_blocks.back().get();
            m_left = size;
        }
        char* out = m_next;
        std::memcpy(out, text.data(), text.size());
        m_next += text.size();
        m_left -= text.size();
        return {out, text.size()};
    }

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_next = nullptr;
    std::size_t m_left = 0;
};

// A table that grows by fixed-size chunks: elements never move, and memory stays within one
// chunk of what is used, where a doubling vector would hold up to twice that (three times
// while it grows). Indexed by 32-bit ids.
template <class T>
class ChunkedTable {
    static_assert(std::is_trivially_destructible_v<T>);

public:
    T& operator[](std::uint32_t i) { return m_chunks[i >> kShift][i & kMask]; }
    const T& operator[](std::uint32_t i) const { return m_chunks[i >> kShift][i & kMask]; }
    std::uint32_t size() const { return m_size; }

    T& push_back(const T& value) {
        // A chunk is raw storage; each element is constructed when it is added, so adding
        // writes every element once.
        if ((m_size & kMask) == 0) {
            m_storage.push_back(std::make_unique_for_overwrite<Slot[]>(kChunk));
            m_chunks.push_back(reinterpret_cast<T*>(m_storage.back().get()));
        }
        T* slot = ::new (m_chunks.back() + (m_size & kMask)) T(value);
        ++m_size;
        return *slot;
    }

private:
    struct Slot {
        alignas(T) unsigned char bytes[sizeof(T)];
    };
    static constexpr std::uint32_t kShift = 12;
    static constexpr std::uint32_t kChunk = 1u << kShift;
    static constexpr std::uint32_t kMask = kChunk - 1;
    std::vector<std::unique_ptr<Slot[]>> m_storage;
    std::vector<T*> m_chunks;  // the elements of each chunk of storage
    std::uint32_t m_size = 0;
};

// A fast 64-bit hash of short strings: eight bytes per multiply, a final avalanche.
inline std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    h ^= v;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// The 1 to 7 bytes at p as one number, read with at most three loads: copying them one by
// one into a word and reading the word back stalls on every short key.
inline std::uint64_t loadTail(const char* p, std::size_t n) {
    std::uint64_t v = 0;
    std::size_t at = 0;
    if (n & 4) {
        std::uint32_t w;
        std::memcpy(&w, p, 4);
        v = w;
        at = 4;
    }
    if (n & 2) {
        std::uint16_t w;
        std::memcpy(&w, p + at, 2);
        v |= std::uint64_t(w) << (8 * at);
        at += 2;
    }
    if (n & 1) v |= std::uint64_t(static_cast<unsigned char>(p[at])) << (8 * at);
    return v;
}

inline std::uint64_t hashBytes(std::string_view s, std::uint64_t h) {
    const char* p = s.data();
    std::size_t n = s.size();
    h = mix(h, n);
    while (n >= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        h = mix(h, v);
        p += 8;
        n -= 8;
    }
    if (n > 0) h = mix(h, loadTail(p, n));
    return h;
}

inline std::uint64_t finish(std::uint64_t h) {
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ull;
    return h ^ (h >> 32);
}

// Views of text too long for a TextRef, or at addresses it cannot hold; a TextRef holds an
// index into this list instead.
using LongTexts = std::vector<std::string_view>;

// Text the store keeps (a view into its copy of a text, or into its arena) in eight bytes
// instead of the sixteen of a view, so that the records of a large store take less memory:
// the address in the low 48 bits and the length in the high 16. A view that does not fit so
// is kept whole in the store's LongTexts; the word then holds its index there, under a
// length of all ones.
class TextRef {
public:
    TextRef() = default;

    static TextRef make(std::string_view text, LongTexts& longTexts) {
        const auto address = reinterpret_cast<std::uintptr_t>(text.data());
        TextRef ref;
        if (text.size() < kLong && address <= kAddressMask) {
            ref.m_word = (std::uint64_t(text.size()) << kLengthShift) | address;
        } else {
            ref.m_word = (std::uint64_t(kLong) << kLengthShift) | longTexts.size();
            longTexts.push_back(text);
        }
        return ref;
    }

    std::string_view view(const LongTexts& longTexts) const {
        const std::uint64_t length = m_word >> kLengthShift;
        if (length == kLong) return longTexts[m_word & kAddressMask];
        return {reinterpret_cast<const char*>(m_word & kAddressMask), length};
    }

    bool empty() const { return (m_word >> kLengthShift) == 0; }

private:
    static constexpr unsigned kLengthShift = 48;
    static constexpr std::uint64_t kAddressMask = (std::uint64_t(1) << kLengthShift) - 1;
    static constexpr std::uint64_t kLong = 0xFFFF;
    std::uint64_t m_word = 0;  // empty text
};

// Where an item was written: an index into the store's source names, line and column.
struct Loc {
    std::uint32_t source = kNone;
    std::uint32_t line = 0;
    std::uint32_t column = 0;
};

// One parameter. An object's parameters form a list in first-appearance order.
struct Param {
    TextRef key;
    TextRef value;
    std::uint32_t next = kNone;
    Loc loc;  // of the value in effect (a key set again moves here)
};

// One object. Children and parameters are lists through indices, in first-appearance order,
// so that an object costs no allocation of its own.
struct Object {
    TextRef type;
    TextRef name;  // empty when unnamed
    std::uint32_t parent = kNone;
    std::uint32_t firstChild = kNone;
    std::uint32_t lastChild = kNone;
    std::uint32_t nextSibling = kNone;
    std::uint32_t firstParam = kNone;
    std::uint32_t lastParam = kNone;
    std::uint32_t paramCount = 0;
    std::uint32_t paramIndex = kNone;  // into Impl::paramIndexes once the object is large
    std::uint32_t keyBits = 0;         // keyBit() of every key: most new keys need no search
    Loc loc;                           // of its first header
};

// One of 32 bits for a parameter key (not empty): a key whose bit its object lacks is new.
inline std::uint32_t keyBit(std::string_view key) {
    const auto first = static_cast<unsigned char>(key.front());
    const auto last = static_cast<unsigned char>(key.back());
    return std::uint32_t(1) << ((key.size() + first * 3 + last * 5) & 31);
}

// Objects by their place in the tree: the key of an object is its parent and its own
// component (type and name), so a full path is found with one probe per component and the
// memory used does not grow with nesting depth. Open addressing over (tag, object) slots;
// probes compare the tag (high hash bits) before touching an object.
class ObjectIndex {
public:
    static std::uint64_t hash(std::uint32_t parent, std::string_view type, std::string_view name) {
        return finish(hashBytes(name, hashBytes(type, parent)));
    }

    std::uint32_t find(const ChunkedTable<Object>& objects, const LongTexts& longTexts,
                       std::uint32_t parent, std::string_view type, std::string_view name,
                       std::uint64_t h) const {
        if (m_slots.empty()) return kNone;
        const std::uint32_t tag = tagOf(h);
        for (std::size_t i = h & m_mask;; i = (i + 1) & m_mask) {
            const Slot& slot = m_slots[i];
            if (slot.object == kNone) return kNone;
            if (slot.tag != tag) continue;
            const Object& object = objects[slot.object];
            if (object.parent == parent && object.type.view(longTexts) == type &&
                object.name.view(longTexts) == name)
                return slot.object;
        }
    }

    // The object's key must not be present yet.
    void insert(const ChunkedTable<Object>& objects, const LongTexts& longTexts,
                std::uint32_t object, std::uint64_t h) {
        if (4 * (m_count + 1) > 3 * m_slots.size()) grow(objects, longTexts);
        place({tagOf(h), object}, h);
        ++m_count;
    }

    std::size_t count() const { return m_count; }

    // Starts fetching the slot where a probe for h begins, for an insert a little later.
    void prefetch(std::uint64_t h) const {
        if (!m_slots.empty()) __builtin_prefetch(&m_slots[h & m_mask], 1);
    }

    // Makes room for `count` keys in all without growing again: a table sized before a
    // read is filled once instead of moved at every doubling.
    void reserve(const ChunkedTable<Object>& objects, const LongTexts& longTexts,
                 std::size_t count) {
        if (4 * count > 3 * m_slots.size()) grow(objects, longTexts, 4 * count / 3 + 1);
    }

private:
    // Eight bytes a slot, so that the table of a large store stays in the nearer caches: the
    // high half of the hash as a tag (the low half picks the slot) and the object. A move
    // rehashes from the object itself.
    struct Slot {
        std::uint32_t tag = 0;
        std::uint32_t object = kNone;
    };

    static std::uint32_t tagOf(std::uint64_t h) { return static_cast<std::uint32_t>(h >> 32); }

    void place(Slot slot, std::uint64_t h) {
        std::size_t i = h & m_mask;
        while (m_slots[i].object != kNone)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }

    void grow(const ChunkedTable<Object>& objects, const LongTexts& longTexts,
              std::size_t atLeast = 0) {
        std::size_t size = std::max<std::size_t>(64, 2 * m_slots.size());
        while (size < atLeast)
            size *= 2;
        std::vector<Slot> old(size);
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.object == kNone) continue;
            const Object& object = objects[slot.object];
            place(slot,
                  hash(object.parent, object.type.view(longTexts), object.name.view(longTexts)));
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_count = 0;
};

// A one-bit-per-slot filter of object keys (their hashes), for the read: a new header
// whose bit is clear names no object yet, so the object is made without probing the
// index, whose slots are spread over far more memory than the filter's bits. A set bit
// may be a false alarm (about one in eight at the size kept); the index then decides.
class KeyFilter {
public:
    bool mayHave(std::uint64_t h) const {
        if (m_bits.empty()) return false;
        const std::uint64_t bit = (h >> 32) & m_mask;
        return (m_bits[bit >> 6] >> (bit & 63)) & 1;
    }
    void add(std::uint64_t h) {
        const std::uint64_t bit = (h >> 32) & m_mask;
        m_bits[bit >> 6] |= std::uint64_t(1) << (bit & 63);
    }
    // Whether `keys` keys fit at the intended density; if not, resize() then add them all.
    bool fits(std::size_t keys) const { return !m_bits.empty() && 4 * keys <= m_mask + 1; }
    void resize(std::size_t keys) {
        std::size_t bits = 4096;
        while (bits < 8 * keys)
            bits *= 2;
        m_bits.assign(bits / 64, 0);
        m_mask = bits - 1;
    }
    void clear() {
        m_bits.clear();
        m_bits.shrink_to_fit();
        m_mask = 0;
    }

private:
    std::vector<std::uint64_t> m_bits;
    std::uint64_t m_mask = 0;
};

// Keeps a function out of line. GCC must not clone it for a constant argument either: a
// clone would look the thread's copy of t_foundPaths up again for every entry.
#if defined(__GNUC__) && !defined(__clang__)
#define KEL_OUT_OF_LINE [[gnu::noipa]]
#else
#define KEL_OUT_OF_LINE [[gnu::noinline]]
#endif

// Paths this thread found lately, in any store. Consecutive questions mostly name one
// object, or a child of one just named; a path that extends a remembered one is resolved
// from there, with one probe per further component. Children are mostly asked for in
// order: each entry keeps the child last found below it, and the next sibling of that child
// is tried before the index (a walk in order then touches objects in the order they were
// read, not the index's random slots). Entries name their store by a serial
// that no other store ever gets, and an object's id never changes (merging only adds), so
// an entry stays right for as long as its store lives and can never match another store.
// Paths are held in place, and paths longer than kMaxPath are not remembered: the memory is
// plain and zero-initialised, so the thread's copy needs neither set-up nor tear-down.
class FoundPaths {
public:
    static constexpr std::size_t kMaxPath = 240;
    struct Entry {
        std::uint64_t store = 0;  // 0: empty
        std::uint64_t used = 0;
        std::uint32_t id = kNone;
        std::uint32_t lastChild = kNone;  // the child of id found last through this entry
        std::uint32_t size = 0;
        char path[kMaxPath] = {};

        std::string_view view() const { return {path, size}; }
    };

    // The remembered entry whose path is the longest prefix of path ending at a component
    // boundary, and its length in `length`; null (and 0) when none is.
    KEL_OUT_OF_LINE Entry* longestPrefix(std::uint64_t store, std::string_view path,
                                         std::size_t& length) {
        length = 0;
        Entry* best = nullptr;
        for (Entry& entry : m_entries) {
            const std::size_t size = entry.size;
            if (entry.store != store || size <= length || size > path.size() ||
                (size < path.size() && path[size] != '/') ||
                std::memcmp(path.data(), entry.path, size) != 0)
                continue;
            best = &entry;
            length = size;
        }
        if (best) best->used = ++m_clock;
        return best;
    }

    KEL_OUT_OF_LINE void remember(std::uint64_t store, std::string_view path, std::uint32_t id) {
        if (path.size() > kMaxPath) return;
        Entry* oldest = &m_entries[0];
        for (Entry& entry : m_entries)
            if (entry.used < oldest->used) oldest = &entry;
        oldest->store = store;
        std::memcpy(oldest->path, path.data(), path.size());
        oldest->size = static_cast<std::uint32_t>(path.size());
        oldest->id = id;
        oldest->lastChild = kNone;
        oldest->used = ++m_clock;
    }

private:
    std::array<Entry, 4> m_entries{};
    std::uint64_t m_clock = 0;
};
static_assert(std::is_trivially_destructible_v<FoundPaths>);

thread_local FoundPaths t_foundPaths;
std::atomic<std::uint64_t> s_lastStoreSerial{0};

}  // namespace

struct InternalTARNDatastore::Impl : public TARNReader::Sink {
    // Objects with more parameters than this get a hash index of their keys; fewer are
    // found fastest by a linear search.
    static constexpr std::uint32_t kIndexThreshold = 16;
    using KeyIndex = std::unordered_map<std::string_view, std::uint32_t>;

    std::deque<std::string> texts;               // files read; views point into them
    std::deque<std::unique_ptr<char[]>> copies;  // texts given in memory, copied as read
    TextArena arena;                             // continued lines
    std::vector<std::string> sources;
    ChunkedTable<Object> objects;  // [0] is the root
    ChunkedTable<Param> params;
    std::vector<std::unique_ptr<KeyIndex>> paramIndexes;
    ObjectIndex index;
    LongTexts longTexts;

    // Used while reading.
    std::vector<std::uint32_t> openStack;
    const char* textBegin = nullptr;
    const char* textEnd = nullptr;
    // Where a text given in memory is copied (null for a file's text, kept as it is), and
    // how much of it is copied so far: a piece is copied just before the reader reaches it,
    // so the text is fetched from memory once, not once for a copy and again to be read.
    char* copyBegin = nullptr;
    std::size_t copied = 0;
    static constexpr std::size_t kCopyPiece = std::size_t(1) << 15;
    std::uint32_t sourceIndex = 0;
    // Objects made by this read and not yet in the index: they are added a batch at a time,
    // each slot prefetched when its object is made. The filter holds every object's key.
    struct Pending {
        std::uint32_t id;
        std::uint64_t hash;
    };
    static constexpr std::size_t kBatch = 32;
    std::array<Pending, kBatch> pending{};
    std::size_t pendingCount = 0;
    KeyFilter filter;

    const std::uint64_t serial = ++s_lastStoreSerial;

    Impl() { objects.push_back(Object{}); }

    // The object at path (in any form PathUtils::nextComponent reads), or kNone.
    std::uint32_t find(std::string_view path) const {
        FoundPaths& found = t_foundPaths;
        std::size_t pos = 0;
        FoundPaths::Entry* prefix = found.longestPrefix(serial, path, pos);
        std::uint32_t object = prefix ? prefix->id : 0;
        if (prefix && pos == path.size()) return object;
        std::string_view type;
        std::string_view name;
        bool walked = false;
        while (object != kNone && PathUtils::nextComponent(path, pos, type, name)) {
            const std::uint32_t parent = object;
            object = kNone;
            if (!walked && prefix) object = nextInOrder(prefix->lastChild, type, name);
            if (object == kNone)
                object = index.find(objects, longTexts, parent, type, name,
                                    ObjectIndex::hash(parent, type, name));
            if (!walked && prefix && object != kNone) prefix->lastChild = object;
            walked = true;
        }
        if (walked && object != kNone) found.remember(serial, path, object);
        return object;
    }

    // The sibling after last, or last itself, when it is the child (type, name); else kNone.
    std::uint32_t nextInOrder(std::uint32_t last, std::string_view type,
                              std::string_view name) const {
        if (last == kNone) return kNone;
        for (const std::uint32_t candidate : {objects[last].nextSibling, last}) {
            if (candidate == kNone) continue;
            const Object& object = objects[candidate];
            if (text(object.type) == type && text(object.name) == name) return candidate;
        }
        return kNone;
    }

    const Object* findObject(std::string_view path) const {
        const std::uint32_t id = find(path);
        return id == kNone ? nullptr : &objects[id];
    }

    // Index of the parameter in params, or kNone.
    std::uint32_t findParam(const Object& object, std::string_view key) const {
        if (object.paramIndex != kNone) {
            const KeyIndex& keys = *paramIndexes[object.paramIndex];
            auto it = keys.find(key);
            return it == keys.end() ? kNone : it->second;
        }
        std::uint32_t p = object.firstParam;
        while (p != kNone && text(params[p].key) != key)
            p = params[p].next;
        return p;
    }

    std::optional<std::string_view> findValue(std::string_view path, std::string_view key) const {
        const Object* object = findObject(path);
        if (!object) return std::nullopt;
        const std::uint32_t p = findParam(*object, key);
        if (p == kNone) return std::nullopt;
        return text(params[p].value);
    }

    std::string_view text(TextRef ref) const { return ref.view(longTexts); }

    SourceLocation location(const Loc& loc) const {
        if (loc.source == kNone) return {};
        return SourceLocation(sources[loc.source], loc.line, loc.column);
    }

    // The canonical full path of an object.
    std::string pathOf(std::uint32_t id) const {
        std::vector<std::uint32_t> chain;
        for (; id != kNone && id != 0; id = objects[id].parent)
            chain.push_back(id);
        std::string path;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            appendComponent(path, objects[*it]);
        return path;
    }

    void appendComponent(std::string& path, const Object& object) const {
        PathUtils::appendComponent(path, text(object.type), text(object.name));
    }

    // Adds the path of child, below the object at prefix, to paths: one allocation.
    void appendChildPath(std::vector<std::string>& paths, const std::string& prefix,
                         const Object& child) const {
        std::string& path = paths.emplace_back();
        path.reserve(prefix.size() + text(child.type).size() + text(child.name).size() + 2);
        path.append(prefix);
        appendComponent(path, child);
    }

    // Text that lies in the text being read is kept in place (in the store's copy of it);
    // anything else (a continued line) is copied to the arena.
    TextRef keep(std::string_view text) { return TextRef::make(place(text), longTexts); }

    std::string_view place(std::string_view text) {
        if (text.data() < textBegin || text.data() + text.size() > textEnd)
            return arena.store(text);
        if (copyBegin == nullptr) return text;
        const auto offset = static_cast<std::size_t>(text.data() - textBegin);
        if (offset + text.size() > copied) copyThrough(offset + text.size());
        return {copyBegin + offset, text.size()};
    }

    // Copies the text being read up to at least `end`, a piece ahead.
    void copyThrough(std::size_t end) {
        const auto size = static_cast<std::size_t>(textEnd - textBegin);
        const std::size_t upTo = std::min(size, std::max(end, copied + kCopyPiece));
        std::memcpy(copyBegin + copied, textBegin + copied, upTo - copied);
        copied = upTo;
    }

    void read(const std::string& source, InputMode mode) {
        if (mode != TEXT && mode != FILE)
            throw PhysicsException("InternalTARNDatastore - unsupported input mode " +
                                   std::to_string(static_cast<int>(mode)));
        // A file's text is the store's own; a text given in memory is read where it is and
        // copied piece by piece as the reader goes.
        const std::string& text =
            mode == TEXT ? source : texts.emplace_back(TARNReader::loadFile(source));
        copyBegin =
            mode == TEXT && !text.empty()
                ? copies.emplace_back(std::make_unique_for_overwrite<char[]>(text.size())).get()
                : nullptr;
        copied = 0;
        sourceIndex = static_cast<std::uint32_t>(sources.size());
        sources.push_back(mode == TEXT ? "<text>" : source);
        textBegin = text.data();
        textEnd = text.data() + text.size();
        // Room for the objects a text of this size usually holds (a header and its END
        // alone take about 20 bytes; with their parameters, objects take 150 bytes or more):
        // bounded by the text, so a text of no objects costs little.
        index.reserve(objects, longTexts, objects.size() + text.size() / 160);
        refillFilter(objects.size() + text.size() / 160);
        openStack.assign(1, 0);
        try {
            TARNReader::read(text, sources.back(), *this);
        } catch (...) {
            // What was read before the fault stays, found like the rest.
            flushPending();
            filter.clear();
            throw;
        }
        flushPending();
        filter.clear();
        openStack.clear();
        // Nothing may point into the caller's text once the read is over.
        textBegin = textEnd = nullptr;
        copyBegin = nullptr;
    }

    // Adds the pending objects to the index. Never fails: beginObject made room for them.
    void flushPending() noexcept {
        for (std::size_t i = 0; i < pendingCount; ++i)
            index.insert(objects, longTexts, pending[i].id, pending[i].hash);
        pendingCount = 0;
    }

    // Sizes the filter for `keys` keys and adds every object's key.
    void refillFilter(std::size_t keys) {
        filter.resize(keys);
        for (std::uint32_t id = 1; id < objects.size(); ++id) {
            const Object& object = objects[id];
            filter.add(ObjectIndex::hash(object.parent, text(object.type), text(object.name)));
        }
    }

    void beginObject(std::string_view type, std::string_view name,
                     TARNReader::Position at) override {
        const std::uint32_t parent = openStack.back();
        const std::uint64_t h = ObjectIndex::hash(parent, type, name);
        std::uint32_t id = kNone;
        // Only a parent with children can already hold this one; mostly the filter rules
        // that out.
        if (objects[parent].firstChild != kNone && filter.mayHave(h)) {
            flushPending();
            id = index.find(objects, longTexts, parent, type, name, h);
        }
        if (id == kNone) {
            if (objects.size() >= kNone - 1)
                throw PhysicsException("InternalTARNDatastore - too many objects");
            // Room first, so that nothing below fails once the object exists.
            if (pendingCount == kBatch) flushPending();
            index.reserve(objects, longTexts, index.count() + pendingCount + 1);
            if (!filter.fits(objects.size() + 1)) refillFilter(2 * (objects.size() + 1));
            id = static_cast<std::uint32_t>(objects.size());
            Object& object = objects.push_back(Object{});
            object.type = keep(type);
            object.name = keep(name);
            object.parent = parent;
            object.loc = {sourceIndex, at.line, at.column};
            Object& up = objects[parent];
            if (up.lastChild == kNone)
                up.firstChild = id;
            else
                objects[up.lastChild].nextSibling = id;
            up.lastChild = id;
            filter.add(h);
            index.prefetch(h);
            pending[pendingCount++] = {id, h};
        }
        openStack.push_back(id);
    }

    void parameter(std::string_view key, std::string_view value, TARNReader::Position at) override {
        const std::uint32_t owner = openStack.back();
        const Loc loc{sourceIndex, at.line, at.column};
        Object& object = objects[owner];
        const std::uint32_t bit = keyBit(key);
        std::uint32_t p = (object.keyBits & bit) != 0 ? findParam(object, key) : kNone;
        object.keyBits |= bit;
        if (p != kNone) {
            params[p].value = keep(value);
            params[p].loc = loc;
            return;
        }
        if (params.size() >= kNone - 1)
            throw PhysicsException("InternalTARNDatastore - too many parameters");
        p = static_cast<std::uint32_t>(params.size());
        params.push_back({keep(key), keep(value), kNone, loc});
        if (object.lastParam == kNone)
            object.firstParam = p;
        else
            params[object.lastParam].next = p;
        object.lastParam = p;
        ++object.paramCount;
        if (object.paramIndex != kNone) {
            paramIndexes[object.paramIndex]->emplace(text(params[p].key), p);
        } else if (object.paramCount > kIndexThreshold) {
            auto keys = std::make_unique<KeyIndex>();
            keys->reserve(2 * object.paramCount);
            for (std::uint32_t q = object.firstParam; q != kNone; q = params[q].next)
                keys->emplace(text(params[q].key), q);
            object.paramIndex = static_cast<std::uint32_t>(paramIndexes.size());
            paramIndexes.push_back(std::move(keys));
        }
    }

    void endObject() override { openStack.pop_back(); }
};

InternalTARNDatastore::InternalTARNDatastore(const std::string& source, InputMode mode,
                                             const std::vector<std::string>& arguments)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->read(source, mode);
    for (const std::string& file : arguments)
        m_impl->read(file, FILE);
}

InternalTARNDatastore::~InternalTARNDatastore() = default;

void InternalTARNDatastore::merge(const std::string& source, InputMode mode) {
    m_impl->read(source, mode);
}

bool InternalTARNDatastore::hasObject(const std::string& path) const {
    return m_impl->find(path) != kNone;
}

bool InternalTARNDatastore::hasParameter(const std::string& path, const std::string& name) const {
    return m_impl->findValue(path, name).has_value();
}

std::string InternalTARNDatastore::getParameterValue(const std::string& path,
                                                     const std::string& name) const {
    const std::optional<std::string_view> value = m_impl->findValue(path, name);
    return value ? std::string(*value) : std::string();
}

std::vector<std::string> InternalTARNDatastore::getParameterValueAsList(
    const std::string& path, const std::string& name) const {
    const std::optional<std::string_view> value = m_impl->findValue(path, name);
    if (!value) return {};
    return StringUtilities::stringToVector(*value, ',');
}

ParameterMap InternalTARNDatastore::getParameterMap(const std::string& path) const {
    ParameterMap map;
    if (const Object* object = m_impl->findObject(path))
        for (std::uint32_t p = object->firstParam; p != kNone; p = m_impl->params[p].next)
            map.emplace(m_impl->text(m_impl->params[p].key), m_impl->text(m_impl->params[p].value));
    return map;
}

std::vector<std::string> InternalTARNDatastore::getParameterNames(const std::string& path) const {
    std::vector<std::string> names;
    if (const Object* object = m_impl->findObject(path)) {
        names.reserve(object->paramCount);
        for (std::uint32_t p = object->firstParam; p != kNone; p = m_impl->params[p].next)
            names.emplace_back(m_impl->text(m_impl->params[p].key));
    }
    return names;
}

std::vector<std::string> InternalTARNDatastore::getChildObjectNamesByType(
    const std::string& path, const std::string& type) const {
    std::vector<std::string> names;
    if (const Object* object = m_impl->findObject(path))
        for (std::uint32_t c = object->firstChild; c != kNone; c = m_impl->objects[c].nextSibling)
            if (m_impl->text(m_impl->objects[c].type) == type)
                names.emplace_back(m_impl->text(m_impl->objects[c].name));
    return names;
}

std::vector<std::string> InternalTARNDatastore::getChildObjectPathsByType(
    const std::string& path, const std::string& type) const {
    std::vector<std::string> paths;
    const std::uint32_t id = m_impl->find(path);
    if (id == kNone) return paths;
    std::string prefix;  // made at the first child of the type: mostly there is none
    for (std::uint32_t c = m_impl->objects[id].firstChild; c != kNone;
         c = m_impl->objects[c].nextSibling) {
        if (m_impl->text(m_impl->objects[c].type) != type) continue;
        if (paths.empty()) prefix = m_impl->pathOf(id);
        m_impl->appendChildPath(paths, prefix, m_impl->objects[c]);
    }
    return paths;
}

std::vector<std::string> InternalTARNDatastore::getChildObjectPaths(const std::string& path) const {
    std::vector<std::string> paths;
    const std::uint32_t id = m_impl->find(path);
    if (id == kNone) return paths;
    const std::string prefix = m_impl->pathOf(id);
    for (std::uint32_t c = m_impl->objects[id].firstChild; c != kNone;
         c = m_impl->objects[c].nextSibling)
        m_impl->appendChildPath(paths, prefix, m_impl->objects[c]);
    return paths;
}

SourceLocation InternalTARNDatastore::objectLocation(const std::string& path) const {
    const Object* object = m_impl->findObject(path);
    return object ? m_impl->location(object->loc) : SourceLocation();
}

SourceLocation InternalTARNDatastore::parameterLocation(const std::string& path,
                                                        const std::string& name) const {
    const Object* object = m_impl->findObject(path);
    if (!object) return {};
    const std::uint32_t p = m_impl->findParam(*object, name);
    return p == kNone ? SourceLocation() : m_impl->location(m_impl->params[p].loc);
}

bool InternalTARNDatastore::visitParameters(std::string_view path, Visitor visitor,
                                            void* visit) const {
    const Object* object = m_impl->findObject(path);
    if (!object) return false;
    for (std::uint32_t p = object->firstParam; p != kNone; p = m_impl->params[p].next)
        visitor(visit, m_impl->text(m_impl->params[p].key), m_impl->text(m_impl->params[p].value));
    return true;
}

bool InternalTARNDatastore::visitChildren(std::string_view path, Visitor visitor,
                                          void* visit) const {
    const Object* object = m_impl->findObject(path);
    if (!object) return false;
    for (std::uint32_t c = object->firstChild; c != kNone; c = m_impl->objects[c].nextSibling)
        visitor(visit, m_impl->text(m_impl->objects[c].type),
                m_impl->text(m_impl->objects[c].name));
    return true;
}

void InternalTARNDatastore::visitObjectsOf(const ObjectHandle& object, ObjectVisitor visitor,
                                           void* visit) const {
    const auto& objects = m_impl->objects;
    for (std::uint32_t c = objects[static_cast<std::uint32_t>(idOf(object))].firstChild; c != kNone;
         c = objects[c].nextSibling)
        visitor(visit,
                makeHandle(m_impl->text(objects[c].type), m_impl->text(objects[c].name), {}, c));
}

bool InternalTARNDatastore::visitObjects(std::string_view path, ObjectVisitor visitor,
                                         void* visit) const {
    const std::uint32_t id = m_impl->find(path);
    if (id == kNone) return false;
    visitObjectsOf(makeHandle({}, {}, {}, id), visitor, visit);
    return true;
}

void InternalTARNDatastore::visitParametersOf(const ObjectHandle& object, Visitor visitor,
                                              void* visit) const {
    const auto& params = m_impl->params;
    for (std::uint32_t p = m_impl->objects[static_cast<std::uint32_t>(idOf(object))].firstParam;
         p != kNone; p = params[p].next)
        visitor(visit, m_impl->text(params[p].key), m_impl->text(params[p].value));
}

void InternalTARNDatastore::visitChildrenOf(const ObjectHandle& object, Visitor visitor,
                                            void* visit) const {
    const auto& objects = m_impl->objects;
    for (std::uint32_t c = objects[static_cast<std::uint32_t>(idOf(object))].firstChild; c != kNone;
         c = objects[c].nextSibling)
        visitor(visit, m_impl->text(objects[c].type), m_impl->text(objects[c].name));
}

SourceLocation InternalTARNDatastore::locationOf(const ObjectHandle& object) const {
    return m_impl->location(m_impl->objects[static_cast<std::uint32_t>(idOf(object))].loc);
}

SourceLocation InternalTARNDatastore::parameterLocationOf(const ObjectHandle& object,
                                                          const std::string& name) const {
    const std::uint32_t p =
        m_impl->findParam(m_impl->objects[static_cast<std::uint32_t>(idOf(object))], name);
    return p == kNone ? SourceLocation() : m_impl->location(m_impl->params[p].loc);
}

namespace {

// Ends a written line. A line ending in a backslash would continue on the next one, so it
// gets a second backslash and continues onto an empty line, which reads back as written.
void endLine(std::string& text) {
    if (text.back() == '\\') text += "\\\n";
    text += '\n';
}

}  // namespace

void InternalTARNDatastore::write(std::ostream& out) const {
    // Depth-first without recursion, so arbitrarily deep stores are written too. The text is
    // gathered in memory and written once.
    std::string text;
    const auto& objects = m_impl->objects;
    struct Frame {
        std::uint32_t object;
        std::uint32_t next;  // the next child to visit
    };
    std::vector<Frame> stack{{0, objects[0].firstChild}};
    auto indent = [&text](std::size_t level) {
        text.append(2 * std::min<std::size_t>(level, kMaxIndentLevel), ' ');
    };
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const std::size_t depth = stack.size() - 1;  // the root's children have depth 1
        if (frame.next == kNone) {
            if (depth > 0) {
                indent(depth - 1);
                text += "END\n";
            }
            stack.pop_back();
            continue;
        }
        const std::uint32_t id = frame.next;
        const Object& child = objects[id];
        frame.next = child.nextSibling;
        indent(depth);
        text += m_impl->text(child.type);
        text += ':';
        if (!child.name.empty()) {
            text += ' ';
            text += m_impl->text(child.name);
        }
        endLine(text);
        for (std::uint32_t p = child.firstParam; p != kNone; p = m_impl->params[p].next) {
            const Param& param = m_impl->params[p];
            indent(depth + 1);
            text += m_impl->text(param.key);
            text += param.value.empty() ? " =" : " = ";
            text += m_impl->text(param.value);
            endLine(text);
        }
        stack.push_back({id, child.firstChild});
    }
    // A leading byte-order mark is dropped when read, so one that belongs to the first
    // type is protected by another.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.insert(0, "\xEF\xBB\xBF");
    out << text;
}

}  // namespace kel
