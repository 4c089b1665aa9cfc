#include <kel/physicschecks/EvalCache.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>

#include <kel/physicsutils/ModelTARN.h>

#include "ModelScan.h"

namespace kel {

std::size_t EvalCache::Hash::operator()(const KeyView& k) const {
    // Pointers are aligned: mix the address bits before combining with the path hash.
    std::size_t p = reinterpret_cast<std::uintptr_t>(k.product);
    p ^= p >> 17;
    p *= 0x9E3779B97F4A7C15ull;
    return std::hash<std::string_view>{}(k.path) ^ p;
}

std::uint64_t EvalCache::Results::hashOf(const void* product, std::string_view path) {
    return Hash{}(KeyView{product, path});
}

EvalCache::Results::Header EvalCache::Results::header(std::size_t at) const {
    Header h;
    std::memcpy(&h, &m_bytes[at], sizeof h);
    return h;
}

std::size_t EvalCache::Results::findRecord(std::uint64_t hash, const void* product,
                                           std::string_view path) const {
    if (m_slots.empty()) return std::string_view::npos;
    const std::size_t mask = m_slots.size() - 1;
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot slot = m_slots[i];
        if (slot.record == 0) return std::string_view::npos;
        if (slot.tag != tag) continue;
        const std::size_t at = std::size_t(slot.record - 1) * 8;
        const Header h = header(at);
        if (h.hash == hash && h.product == product && h.length == path.size() &&
            std::memcmp(m_bytes.data() + at + sizeof(Header), path.data(), path.size()) == 0)
            return at;
    }
}

std::optional<bool> EvalCache::Results::find(const void* product, std::string_view path) const {
    if (m_count == 0) return std::nullopt;
    const std::size_t at = findRecord(hashOf(product, path), product, path);
    if (at == std::string_view::npos) return std::nullopt;
    return header(at).result != 0;
}

void EvalCache::Results::set(const void* product, std::string_view path, bool result) {
    const std::uint64_t hash = hashOf(product, path);
    const std::size_t found = findRecord(hash, product, path);
    if (found != std::string_view::npos) {
        Header h = header(found);
        h.result = result;
        std::memcpy(&m_bytes[found], &h, sizeof h);
        return;
    }
    const std::size_t at = m_bytes.size();
    if (at / 8 >= UINT32_MAX) throw std::length_error("EvalCache: too many results");
    m_bytes.resize(at + sizeof(Header) + (path.size() + 7) / 8 * 8);
    const Header h{hash, product, static_cast<std::uint32_t>(path.size()), result};
    std::memcpy(&m_bytes[at], &h, sizeof h);
    std::memcpy(m_bytes.data() + at + sizeof(Header), path.data(), path.size());
    if (2 * (m_count + 1) > m_slots.size()) grow();
    place(hash, at);
    ++m_count;
}

void EvalCache::Results::place(std::uint64_t hash, std::size_t at) {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].record != 0)
        i = (i + 1) & mask;
    m_slots[i] = {static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(at / 8 + 1)};
}

void EvalCache::Results::grow() {
    std::vector<Slot> old(m_slots.empty() ? 64 : 2 * m_slots.size());
    old.swap(m_slots);
    for (const Slot& slot : old) {
        if (slot.record == 0) continue;
        const std::size_t at = std::size_t(slot.record - 1) * 8;
        place(header(at).hash, at);
    }
}

void EvalCache::Results::clear() {
    if (m_count == 0) return;
    m_bytes.clear();
    std::fill(m_slots.begin(), m_slots.end(), Slot{0, 0});
    m_count = 0;
}

EvalCache::EvalCache(const ModelTARN& model) : m_model(&model), m_revision(model.getRevision()) {}

void EvalCache::syncRevision() {
    const std::uint64_t revision = m_model->getRevision();
    if (revision != m_revision) {
        m_results.clear();
        m_objectsByType.clear();
        m_pathText.clear();
        m_indexed = false;
        m_typeWalks = 0;
        m_revision = revision;
    }
}

std::optional<bool> EvalCache::lookup(const void* product, std::string_view path) {
    if (!m_enabled) return std::nullopt;
    syncRevision();
    return m_results.find(product, path);
}

void EvalCache::store(const void* product, std::string_view path, bool result) {
    if (!m_enabled) return;
    syncRevision();
    m_results.set(product, path, result);
}

void EvalCache::buildIndex() {
    m_objectsByType.clear();
    m_pathText.clear();
    // Siblings often share a type: the last type's entry is tried before the map.
    std::string_view lastType;
    TypeIndex* last = nullptr;
    m_model->forEachObjectPath([&](const std::string& path) {
        const std::string_view type = ModelScan::lastType(path);
        if (!last || type != lastType) {
            auto it = m_objectsByType.find(type);
            if (it == m_objectsByType.end())
                it = m_objectsByType.try_emplace(std::string(type)).first;
            lastType = it->first;
            last = &it->second;
        }
        last->spans.emplace_back(m_pathText.size(), path.size());
        m_pathText += path;
        return false;
    });
    m_indexed = true;
}

void EvalCache::walkType(std::string_view type) {
    TypeIndex& entry = m_objectsByType[std::string(type)];
    m_model->forEachObjectPath([&](const std::string& path) {
        if (ModelScan::lastType(path) == type) {
            entry.spans.emplace_back(m_pathText.size(), path.size());
            m_pathText += path;
        }
        return false;
    });
    ++m_typeWalks;
}

const std::vector<std::string_view>& EvalCache::objectsOfType(std::string_view type) {
    static const std::vector<std::string_view> none;
    syncRevision();
    auto it = m_objectsByType.find(type);
    if (it == m_objectsByType.end() && !m_indexed) {
        // Models usually ask about few types: a walk for each of the first ones costs less
        // than filing every object.
        if (m_typeWalks < kTypeWalks)
            walkType(type);
        else
            buildIndex();
        it = m_objectsByType.find(type);
    }
    if (it == m_objectsByType.end()) return none;
    TypeIndex& found = it->second;
    if (found.viewedText != m_pathText.data()) {
        found.paths.clear();
        found.paths.reserve(found.spans.size());
        for (const auto& [offset, length] : found.spans)
            found.paths.push_back(std::string_view(m_pathText).substr(offset, length));
        found.viewedText = m_pathText.data();
    }
    return found.paths;
}

EvalCache::PassScope::~PassScope() {
    if (--m_cache.m_passDepth == 0) {
        if (!m_cache.m_passResults.empty()) m_cache.m_passResults.clear();
        if (!m_cache.m_passValues.empty()) m_cache.m_passValues.clear();
    }
}

std::optional<bool> EvalCache::passLookup(const void* product, std::string_view path) const {
    if (m_passResults.empty()) return std::nullopt;
    auto it = m_passResults.find(KeyView{product, path});
    if (it == m_passResults.end()) return std::nullopt;
    return it->second;
}

void EvalCache::passStore(const void* product, std::string_view path, bool result) {
    m_passResults.insert_or_assign(Key{product, std::string(path)}, result);
}

const std::vector<std::string>* EvalCache::passLookupValues(const void* product,
                                                            std::string_view path) const {
    if (m_passValues.empty()) return nullptr;
    auto it = m_passValues.find(KeyView{product, path});
    return it == m_passValues.end() ? nullptr : &it->second;
}

void EvalCache::passStoreValues(const void* product, std::string_view path,
                                const std::vector<std::string>& values) {
    m_passValues.insert_or_assign(Key{product, std::string(path)}, values);
}

void EvalCache::clear() {
    m_results.clear();
    m_objectsByType.clear();
    m_pathText.clear();
    m_indexed = false;
    m_typeWalks = 0;
}

}  // namespace kel
