#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kel {

class ModelTARN;

// Results of check evaluations, keyed by (product, object full path), for one model.
// Every lookup first compares the model's revision with the one the entries were computed
// at and drops them all when it changed, so an edit never yields a stale answer.
// Enabled at construction; while disabled, lookups miss and stores are ignored (entries
// already held are kept for when it is enabled again). Owned by its EvalContext; the
// model must outlive it. Not thread-safe.
class EvalCache {
public:
    explicit EvalCache(const ModelTARN& model);

    bool enabled() const { return m_enabled; }
    void enable(bool on) { m_enabled = on; }

    std::optional<bool> lookup(const void* product, std::string_view path);
    void store(const void* product, std::string_view path, bool result);

    void clear();
    std::size_t size() const { return m_results.size(); }

private:
    struct Key {
        const void* product;
        std::string path;
    };
    struct KeyView {
        const void* product;
        std::string_view path;
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(const Key& k) const { return (*this)(KeyView{k.product, k.path}); }
        std::size_t operator()(const KeyView& k) const;
    };
    struct Equal {
        using is_transparent = void;
        template <class A, class B>
        bool operator()(const A& a, const B& b) const {
            return a.product == b.product && std::string_view(a.path) == std::string_view(b.path);
        }
    };

    void syncRevision();

    const ModelTARN* m_model;
    std::uint64_t m_revision;
    bool m_enabled = true;
    std::unordered_map<Key, bool, Hash, Equal> m_results;
};

}  // namespace kel
