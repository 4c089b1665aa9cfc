#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <kel/utilities/FlatTextTable.h>

namespace kel {

class ModelTARN;

// Results of check evaluations, keyed by (product, object full path), for one model, and
// an index of the model's objects by type for the checks and lists that look at the whole
// model (built by one walk on first use, so a sweep over every object stays linear).
// Every lookup first compares the model's revision with the one the entries were computed
// at and drops them all when it changed, so an edit never yields a stale answer.
// Enabled at construction; while disabled, lookups miss and stores are ignored (entries
// already held are kept for when it is enabled again). The object index depends on the
// model alone and is used whether or not results are cached. Owned by its EvalContext; the
// model must outlive it. Not thread-safe.
class EvalCache {
public:
    explicit EvalCache(const ModelTARN& model);

    bool enabled() const { return m_enabled; }
    void enable(bool on) { m_enabled = on; }

    std::optional<bool> lookup(const void* product, std::string_view path);
    void store(const void* product, std::string_view path, bool result);

    // Full paths of every object of the type, in model order (parents before children).
    // Valid until the next call on this cache or the next edit of the model.
    const std::vector<std::string_view>& objectsOfType(std::string_view type);

    void clear();
    std::size_t size() const { return m_results.size(); }

    // One evaluation of a check or list, opened by the product for the length of its
    // evaluate. Within the outermost one (a pass), products reached again along another
    // path through the checks and lists naming one another answer from a memo of the pass
    // instead of evaluating again, so shared sub-checks cost once per pass whether or not
    // results are cached (a beta check is never cached, and availability proxies switch
    // the cache off). The memo is forgotten when the pass ends, so it never outlives a
    // change of the model or of the beta switch between evaluations.
    class PassScope {
    public:
        explicit PassScope(EvalCache& cache) : m_cache(cache) { ++m_cache.m_passDepth; }
        ~PassScope();
        PassScope(const PassScope&) = delete;
        PassScope& operator=(const PassScope&) = delete;
        // True inside another evaluation: only then can the result be asked for again.
        bool nested() const { return m_cache.m_passDepth > 1; }

    private:
        EvalCache& m_cache;
    };
    std::optional<bool> passLookup(const void* product, std::string_view path) const;
    void passStore(const void* product, std::string_view path, bool result);
    const std::vector<std::string>* passLookupValues(const void* product,
                                                     std::string_view path) const;
    void passStoreValues(const void* product, std::string_view path,
                         const std::vector<std::string>& values);

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
    FlatTextTable<bool> m_results;  // by (product, path)
    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    bool m_indexed = false;
    unsigned m_passDepth = 0;
    std::unordered_map<Key, bool, Hash, Equal> m_passResults;
    std::unordered_map<Key, std::vector<std::string>, Hash, Equal> m_passValues;
    // The object index: full paths in one text, and per type where its objects' paths are
    // in that text (offset, length), with views made when asked (again once the text has
    // moved). The first types asked are filed by a walk each; then every type at once.
    struct TypeIndex {
        std::vector<std::pair<std::size_t, std::size_t>> spans;
        std::vector<std::string_view> paths;
        const char* viewedText = nullptr;
    };
    static constexpr unsigned kTypeWalks = 2;
    void walkType(std::string_view type);
    void buildIndex();
    std::string m_pathText;
    unsigned m_typeWalks = 0;
    std::unordered_map<std::string, TypeIndex, StringHash, std::equal_to<>> m_objectsByType;
};

}  // namespace kel
