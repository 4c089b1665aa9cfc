#include <kel/physicsutils/ParentContextParser.h>

#include <algorithm>
#include <set>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/ParentContextRules.h>
#include <kel/physicsutils/RethrowLocated.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

const std::string ParentContextParser::s_parentContextList = "Parent Context List";
const std::string ParentContextParser::s_invalidParentContextList = "Invalid Parent Context List";
const std::string ParentContextParser::s_default = "Default";

namespace {

const std::string s_errorPrefix = "ParentContextParser::parseData - ";

// The label of a context child: the name in the last component of its path.
std::string childLabel(const std::string& path) {
    const std::string component = path.substr(path.rfind('/') + 1);
    const std::string::size_type colon = component.find(':');
    return colon == std::string::npos ? component : component.substr(colon + 1);
}

// The context of a top-level object is the empty type path, which a list can only spell "/".
std::string normaliseContext(std::string context) {
    if (context == "/") context.clear();
    return context;
}

// One context child, read before any of them is reported.
struct ContextChild {
    std::string path;
    std::string label;
    std::vector<std::string> contexts;  // explicit contexts, as listed
    bool isDefault = false;
    ParameterMap map;
};

}  // namespace

ParentContextParser::ParentContextParser(std::string folder, std::string objectKind,
                                         std::string contextKind, bool isObjectType)
    : m_folder(std::move(folder)),
      m_objectKind(std::move(objectKind)),
      m_contextKind(std::move(contextKind)),
      m_isObjectType(isObjectType) {}

ParentContextParser::~ParentContextParser() = default;

void ParentContextParser::onRemainingContextData(const std::string& name,
                                                 const std::vector<std::string>&,
                                                 const std::vector<std::string>&,
                                                 const ParameterMap&) {
    throw PhysicsException(s_errorPrefix + m_objectKind + " " + name +
                           ": too many parent contexts to list for its Default data");
}

void ParentContextParser::parseData(const TARNDatastore* ds, const ParentContextRules* rules) {
    if (!ds || !rules) {
        throw PhysicsException(s_errorPrefix + "no datastore or no parent-context rules given");
    }
    const auto removeOwnKeys = [](ParameterMap& map) {
        map.erase(s_parentContextList);
        map.erase(s_invalidParentContextList);
    };

    for (const std::string& name : ds->getChildObjectNamesByType(m_folder, m_objectKind)) {
        // Texts that only error messages use are made when one is thrown.
        const auto objectText = [&] { return m_objectKind + " " + name; };
        std::string objectPath = m_folder;
        objectPath += '/';
        objectPath += m_objectKind;
        if (!name.empty() && name != m_objectKind) {
            objectPath += ':';
            objectPath += name;
        }

        // An error leaves carrying the place of the object, or of the context child, at fault;
        // the paths `at` points to live outside the body, so that the handler still has them.
        const std::string* at = &objectPath;
        std::vector<std::string> childPaths;
        std::vector<ContextChild> children;
        try {
            [&] {
                // One read of the object gives its data and its invalid contexts.
                ParameterMap objectMap = ds->getParameterMap(objectPath);
                m_invalidContexts.clear();
                if (const auto invalid = objectMap.find(s_invalidParentContextList);
                    invalid != objectMap.end()) {
                    for (std::string& context :
                         StringUtilities::stringToVector(invalid->second, ','))
                        m_invalidContexts.push_back(normaliseContext(std::move(context)));
                    std::sort(m_invalidContexts.begin(), m_invalidContexts.end());
                    m_invalidContexts.erase(
                        std::unique(m_invalidContexts.begin(), m_invalidContexts.end()),
                        m_invalidContexts.end());
                }
                removeOwnKeys(objectMap);

                onObjectName(name);

                childPaths = ds->getChildObjectPathsByType(objectPath, m_contextKind);
                if (childPaths.empty()) {
                    onNonContextData(name, objectMap);
                    onCompletedObjects(name);
                    return;
                }
                if (!objectMap.empty()) {
                    throw PhysicsException(s_errorPrefix + objectText() + " has data (" +
                                           objectMap.begin()->first + ") beside its " +
                                           m_contextKind + " children");
                }

                // Read every child and collect the explicit claims first: the Default child's
                // contexts depend on what all the others claim.
                const bool listed =
                    rules->countParentTypePaths(name, m_isObjectType) <= s_maxListedContexts;
                std::vector<std::string> candidates;
                if (listed) candidates = rules->enumerateParentTypePaths(name, m_isObjectType);
                const std::set<std::string> candidateSet(candidates.begin(), candidates.end());
                const auto isCandidate = [&](const std::string& context) {
                    return listed ? candidateSet.count(context) != 0
                                  : rules->isParentTypePath(context, name, m_isObjectType);
                };
                std::set<std::string> claimed;
                const ContextChild* defaultChild = nullptr;
                children.reserve(childPaths.size());
                for (const std::string& childPath : childPaths) {
                    ContextChild& child = children.emplace_back();
                    at = &childPath;
                    child.path = childPath;
                    child.label = childLabel(childPath);
                    const auto childText = [&] {
                        return objectText() + ", " + m_contextKind + " " + child.label;
                    };
                    child.map = ds->getParameterMap(childPath);
                    const auto contextList = child.map.find(s_parentContextList);
                    if (contextList == child.map.end()) {
                        throw PhysicsException(s_errorPrefix + childText() + ": no " +
                                               s_parentContextList);
                    }
                    for (std::string& context :
                         StringUtilities::stringToVector(contextList->second, ',')) {
                        if (context == s_default) {
                            if (defaultChild) {
                                throw PhysicsException(
                                    s_errorPrefix + childText() +
                                    ": a second Default context (the first is in " + m_contextKind +
                                    " " + defaultChild->label + ")");
                            }
                            child.isDefault = true;
                            defaultChild = &child;
                            continue;
                        }
                        context = normaliseContext(std::move(context));
                        if (!isCandidate(context)) {
                            throw PhysicsException(s_errorPrefix + childText() + ": context " +
                                                   context + " is not a valid parent context of " +
                                                   name);
                        }
                        if (std::binary_search(m_invalidContexts.begin(), m_invalidContexts.end(),
                                               context)) {
                            throw PhysicsException(s_errorPrefix + childText() + ": context " +
                                                   context + " is also in the " +
                                                   s_invalidParentContextList);
                        }
                        claimed.insert(context);
                        child.contexts.push_back(std::move(context));
                    }
                    removeOwnKeys(child.map);
                }
                at = &objectPath;

                for (ContextChild& child : children) {
                    at = &child.path;
                    if (child.isDefault && !listed) {
                        std::vector<std::string> excluded(claimed.begin(), claimed.end());
                        excluded.insert(excluded.end(), m_invalidContexts.begin(),
                                        m_invalidContexts.end());
                        std::sort(excluded.begin(), excluded.end());
                        excluded.erase(std::unique(excluded.begin(), excluded.end()),
                                       excluded.end());
                        onRemainingContextData(name, child.contexts, excluded, child.map);
                        continue;
                    }
                    if (child.isDefault) {
                        // Explicit contexts of the Default child come first, then every remaining
                        // candidate in the rules' order.
                        for (const std::string& candidate : candidates) {
                            if (!claimed.count(candidate) &&
                                !std::binary_search(m_invalidContexts.begin(),
                                                    m_invalidContexts.end(), candidate)) {
                                child.contexts.push_back(candidate);
                            }
                        }
                    }
                    onContextData(name, child.contexts, child.map, child.isDefault);
                }
                at = &objectPath;
                onCompletedObjects(name);
            }();
        } catch (...) {
            rethrowLocated(*ds, *at);
        }
    }

    // No object is current any more; work done in onParseComplete sees no invalid contexts.
    m_invalidContexts.clear();
    onParseComplete();
}

}  // namespace kel
