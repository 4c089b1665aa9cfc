#include <kel/physicschecks/EvalCache.h>

#include <functional>

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
    const bool* result = m_results.find(product, path);
    return result ? std::optional<bool>(*result) : std::nullopt;
}

void EvalCache::store(const void* product, std::string_view path, bool result) {
    if (!m_enabled) return;
    syncRevision();
    *m_results.insert(product, path, result).first = result;
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
