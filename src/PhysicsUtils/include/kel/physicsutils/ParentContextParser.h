#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

class ParentContextRules;

// Walks data organised by parent context and reports each piece with the contexts it
// applies to. Layout under folder (one object per name, of objectKind):
//
//   OBJECT KIND: name
//     Invalid Parent Context List = /A/B, ...     optional: contexts where nothing may exist
//     CONTEXT KIND: label                         zero or more
//       Parent Context List = /A/C, ...           or "Default": every remaining context
//       ... data keys ...
//     END
//   END
//
// For each object, in order: onObjectName; then onNonContextData(name, map) when it has
// no context children, else onContextData(name, contexts, map, isDefault) per child; then
// onCompletedObjects(name). After the last object, onParseComplete(). "Default" stands for
// the candidate contexts (rules->enumerateParentTypePaths(name, isObjectType)) less the
// invalid ones and less those other children claim. Maps never hold the parser's own keys.
// Errors (PhysicsException naming object, context child and context): a context not among
// the candidates, two "Default" children, data beside context children.
//
// Further: a context child without "Parent Context List" is an error, and so is an explicit
// context that the object also lists as invalid. "Default" may stand beside explicit
// contexts in one list; that child gets its explicit contexts, then the remaining ones in
// the candidates' order. The empty context (a top-level object's) is written "/". All
// context children are read and checked before the first onContextData of an object.
// getInvalidContexts() is sorted and distinct, and empty again when onParseComplete runs.
// Single-threaded use.
//
// Candidates are listed only while there are at most s_maxListedContexts of them; above
// that, explicit contexts are matched against the rules one by one and a "Default" child
// is reported through onRemainingContextData, so that the work stays proportional to the
// data however many contexts the rules allow.
class ParentContextParser {
public:
    static constexpr std::uint64_t s_maxListedContexts = 256;
    static const std::string s_parentContextList;         // "Parent Context List"
    static const std::string s_invalidParentContextList;  // "Invalid Parent Context List"
    static const std::string s_default;                   // "Default"

    ParentContextParser(std::string folder, std::string objectKind, std::string contextKind,
                        bool isObjectType);
    virtual ~ParentContextParser();

    // Neither pointer is kept after the call.
    void parseData(const TARNDatastore* ds, const ParentContextRules* rules);

protected:
    // The invalid contexts of the object being parsed (sorted).
    const std::vector<std::string>& getInvalidContexts() const { return m_invalidContexts; }

    virtual void onObjectName(const std::string& name) = 0;
    virtual void onNonContextData(const std::string& name, const ParameterMap& map) = 0;
    virtual void onContextData(const std::string& name, const std::vector<std::string>& contexts,
                               const ParameterMap& map, bool isDefault) = 0;
    virtual void onCompletedObjects(const std::string& name) = 0;
    virtual void onParseComplete() = 0;
    // A "Default" child of an object with more than s_maxListedContexts candidates: its
    // data applies to contexts (the ones it lists itself) and to every candidate context
    // not in excluded (sorted: the contexts the other children claim and the invalid
    // ones). This default throws PhysicsException: a parser that does not file data by
    // pattern cannot take that many contexts.
    virtual void onRemainingContextData(const std::string& name,
                                        const std::vector<std::string>& contexts,
                                        const std::vector<std::string>& excluded,
                                        const ParameterMap& map);

private:
    std::string m_folder;
    std::string m_objectKind;
    std::string m_contextKind;
    bool m_isObjectType;
    std::vector<std::string> m_invalidContexts;
};

}  // namespace kel
