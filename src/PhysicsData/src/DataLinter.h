#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/TARNDatastore.h>

#include "DataLocator.h"
#include "VisitedNames.h"

namespace kel {

class Diagnostics;
class PhysicsData;

// Looks through RULES and PHYSICS data for what loading accepts silently and reports it
// as warnings: an empty input or the wrong root object for its role; keys and object
// kinds that nothing reads (with the known one probably meant); child, parent and object
// types the RULES do not define; RULES defaults that do not fit their type, bounds or
// allowed strings; PHYSICS defaults and overrides outside their bounds or not among their
// allowed values; allowed values the RULES' allowed strings exclude; CHECKs and LISTs
// nothing uses. Checks that need the built model run only when it is given.
//
// Borrows everything it is given for its life; rules and physics may be null (not
// built). `physicsComplete` says whether physics was built from all of the data or from
// what was left once faulty pieces were left out; checks of what nothing uses need the
// whole. Not thread-safe.
class DataLinter {
public:
    DataLinter(const TARNDatastore& rulesData, const TARNDatastore& physicsData,
               const ModelRules::ExtraRulesDef& extra, const ModelRules* rules,
               const PhysicsData* physics, bool physicsComplete, Diagnostics& diagnostics,
               const std::string& rulesName = {}, const std::string& physicsName = {});

    void run();

private:
    // A list of known names, kept in its order for suggestions, with a hash table for the
    // look-ups that tells names apart by their length and first and last eight bytes, so
    // that mostly no more than one full comparison is made.
    struct KnownNames {
        explicit KnownNames(std::vector<std::string> list);
        // The first position of name in names, or npos.
        std::size_t find(std::string_view name) const;
        bool contains(std::string_view name) const { return find(name) != npos; }

        static constexpr std::size_t npos = static_cast<std::size_t>(-1);
        const std::vector<std::string> names;
        struct Slot {
            std::uint64_t head = 0;  // the first eight bytes (zero-filled past the end)
            std::uint64_t tail = 0;  // the last eight bytes (zero for a shorter name)
            std::size_t at = npos;   // position in names; npos: an empty slot
        };
        std::vector<Slot> slots;  // open addressing, a power of two long, at least half free
    };
    // The paths of the children of one kind of an object, parent/type:name (parent/type
    // when unnamed), made in one buffer that keeps their common start.
    class ChildPaths {
    public:
        // Starts the paths of the children of that type of parent (which must not be a path
        // this made).
        void of(std::string_view parent, std::string_view type);
        // The path of the child of that name; valid until the next call.
        const std::string& operator()(std::string_view name);

    private:
        std::string m_path;
        std::size_t m_start = 0;  // where names go
    };
    // Where a RULES parameter definition sits: directly below RULES, in an object type or in
    // one of a type's contexts.
    enum class Level { Global, Object, Context };
    // What a PARAMETER VALUES entry (the object or one of its contexts) writes that the
    // checks of its values read, gathered while its keys are checked.
    struct ParameterEntry {
        std::string path;
        std::string parentContexts;
        std::string allowedValues;
        std::string defaultValue;
        std::string defaultChecks;
        std::string overrideChecks;
    };
    // The first parent path of a parameter, listed once per PARAMETER VALUES object.
    struct FirstParentPath {
        bool listed = false;
        bool found = false;  // listed, and there is one
        std::string path;
    };

    // False when the data lacks its root object (reported).
    bool checkRoot(const TARNDatastore& data, const DataLocator& locator, const std::string& role,
                   const std::string& other);
    void lintRules();
    // The object type `type` at path (object, in a walk of the data).
    void lintRulesType(const TARNDatastore::ObjectHandle& object, const std::string& path,
                       const std::string& type);
    // The items of a list of object types (the value of key at path).
    void lintTypeList(const std::string& path, const std::string& key, const char* what,
                      std::string_view value);
    void lintRulesParameter(const TARNDatastore::ObjectHandle& object, const std::string& path,
                            const std::string& name, Level level, const std::string& type,
                            const std::string& option);
    // The PARAMETER definitions directly below the RULES object at path, whose children
    // walk(visit) visits as objects.
    template <class Walk>
    void lintRulesParameters(const std::string& path, const Walk& walk, Level level,
                             const std::string& type, const std::string& option);
    void lintPhysics();
    void lintCheckData();
    void lintDependencies();
    void lintParameterEntry(const ParameterEntry& entry, const std::string& name,
                            FirstParentPath& firstParent);
    void lintUnused();

    // Warns about the keys at path that are not known, and passes every (key, value) on to
    // onKey, in one visit of the object.
    // The object at path is given by its store or, in a walk, as an object.
    template <class OnKey>
    void lintKeys(const TARNDatastore& data, const DataLocator& locator, const std::string& path,
                  const KnownNames& known, OnKey&& onKey);
    template <class OnKey>
    void lintKeys(const TARNDatastore::ObjectHandle& object, const DataLocator& locator,
                  const std::string& path, const KnownNames& known, OnKey&& onKey);
    void lintKeys(const TARNDatastore& data, const DataLocator& locator, const std::string& path,
                  const KnownNames& known);
    void lintKeys(const TARNDatastore::ObjectHandle& object, const DataLocator& locator,
                  const std::string& path, const KnownNames& known);
    // The same for parameters that source(visit) visits.
    template <class Source, class OnKey>
    void lintKeysOf(const Source& source, const DataLocator& locator, const std::string& path,
                    const KnownNames& known, OnKey&& onKey);
    // Warns about the children at path whose kind is not known, and passes every other
    // child on to onChild(index of its kind in known, name), in one visit of the object.
    template <class OnChild>
    void lintKinds(const TARNDatastore& data, const DataLocator& locator, const std::string& path,
                   const std::vector<std::string>& known, OnChild&& onChild);
    // The same, only warning, for an object met in a walk.
    void lintKinds(const TARNDatastore::ObjectHandle& object, const DataLocator& locator,
                   const std::string& path, const std::vector<std::string>& known);
    // The same for children that source(visit) visits.
    template <class Source, class OnChild>
    void lintKindsOf(const Source& source, const DataLocator& locator, const std::string& path,
                     const std::vector<std::string>& known, OnChild&& onChild);
    // " (did you mean 'X'?)" from candidates, while the work spent on suggestions stays
    // bounded (huge inputs full of unknown names get no suggestions past that).
    std::string suggest(const std::string& word, const std::vector<std::string>& candidates);
    void warn(const DataLocator& locator, const std::string& code, const std::string& path,
              const std::string& key, const std::string& message);

    const TARNDatastore& m_rulesData;
    const TARNDatastore& m_physicsData;
    const ModelRules::ExtraRulesDef& m_extra;
    const ModelRules* m_rules;
    const PhysicsData* m_physics;
    bool m_physicsComplete;
    Diagnostics& m_diagnostics;
    DataLocator m_rulesLocator;
    DataLocator m_physicsLocator;
    // The keys each kind of object may hold; those of a RULES object and parameter include
    // the host's extra rules.
    const KnownNames m_objectKeys;
    const KnownNames m_parameterKeys;
    const KnownNames m_contextKeys;
    const KnownNames m_checkDataKeys;
    const KnownNames m_objectDependencyKeys;
    const KnownNames m_parameterValuesKeys;
    // Where "Default" is among the parameter keys, and which of them set something a RULES
    // default must fit.
    const std::size_t m_defaultKey;
    std::vector<bool> m_fitKeys;
    // Where the Essential Child, Optional Child and Allowed Parent lists are among the keys
    // of a RULES object and context (npos: not a key there), and the keys a PARAMETER VALUES
    // entry gathers among its keys (see ParameterEntry, in that order).
    std::size_t m_objectListKeys[3];
    std::size_t m_contextListKeys[3];
    std::size_t m_gatheredKeys[5];
    // The keys of the CHECK, LIST and GLOBAL CHECK types met so far, by key list.
    std::map<const std::vector<std::string>*, KnownNames> m_productKeys;
    std::vector<std::string> m_types;  // object types the RULES data defines
    // The same, for look-ups: views of m_types, which does not change once filled.
    std::unordered_set<std::string_view> m_typeSet;
    std::size_t m_suggestionWork = 0;  // candidates compared so far
    // Hashes a text given as a string or a view alike, for look-ups without copies.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    // Numbers read from values and bounds (whether each is one, and its value), by text.
    std::unordered_map<std::string, std::pair<double, bool>, TextHash, std::equal_to<>> m_numbers;
    std::string m_parameterName;            // buffer for the names of RULES parameter definitions
    ChildPaths m_parameterPaths;            // buffer for the paths of RULES parameter definitions
    std::vector<std::string_view> m_items;  // buffer for the items of a list value
    std::string m_item;                     // buffer for one of them
    // Buffers for the child and parent lists of a RULES object type or context, the paths
    // of a type's contexts and the option a context stands for.
    std::string m_essential;
    std::string m_optional;
    std::string m_parents;
    ChildPaths m_contextPaths;
    std::string m_option;
    // The last context path of a PARAMETER VALUES entry and the object type it names.
    std::string m_ownerContext;
    std::string m_ownerType;
};

}  // namespace kel
