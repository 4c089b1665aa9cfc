#include "ModelRulesImpl.h"

#include "DataLocator.h"

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <unordered_set>

#include <kel/exception/KELAssertImpl.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/physicsutils/TARNPath.h>

namespace kel {

namespace {

const std::string kRulesPath = "/RULES";
const std::string kRoot = "ROOT";
const char* const kAssertFile = "src/PhysicsData/src/ModelRulesImpl";

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::uint64_t addCapped(std::uint64_t a, std::uint64_t b) {
    return a >= ModelRules::s_pathCountCap - b ? ModelRules::s_pathCountCap : a + b;
}

std::string tooManyPaths(const char* what, const std::string& name, std::uint64_t count) {
    return std::string("ModelRulesImpl::enumerateParentTypePaths - ") + what + " " + name +
           " has " + (count >= ModelRules::s_pathCountCap ? "more than " : "") +
           std::to_string(count) + " parent type paths, more than the " +
           std::to_string(ModelRules::s_maxListedPaths) + " that can be listed.";
}

}  // namespace

namespace {

// The names of the children of some types of the object at path, by type, in
// first-appearance order: views of the store's text when it keeps it, else of copies held
// here.
class ChildNames {
public:
    // At most three types.
    ChildNames(const TARNDatastore& ds, std::string_view path,
               std::initializer_list<std::string_view> types) {
        const bool keeps = ds.keepsVisitedViews();
        std::vector<std::size_t> copied;  // the type of each copy
        ds.forEachChild(path, [&](std::string_view type, std::string_view name) {
            std::size_t i = 0;
            for (const std::string_view wanted : types) {
                if (type == wanted && i < kTypes) {
                    if (keeps) {
                        m_names[i].push_back(name);
                    } else {
                        m_copies.emplace_back(name);
                        copied.push_back(i);
                    }
                    return;
                }
                ++i;
            }
        });
        for (std::size_t i = 0; i < m_copies.size(); ++i)
            m_names[copied[i]].push_back(m_copies[i]);
    }
    // Those of the first type, for one type.
    auto begin() const { return m_names[0].begin(); }
    auto end() const { return m_names[0].end(); }
    const std::vector<std::string_view>& of(std::size_t type) const { return m_names[type]; }

private:
    static constexpr std::size_t kTypes = 3;
    std::vector<std::string> m_copies;
    std::vector<std::string_view> m_names[kTypes];
};

}  // namespace

ModelRulesImpl::ModelRulesImpl(const TARNDatastore& ds, const ModelRules::ExtraRulesDef& extra) {
    const ChildNames definitions(ds, kRulesPath, {"PARAMETER", "OBJECT", "SINGLETON"});
    const auto& globals = definitions.of(0);
    // Tables sized once: growing them late frees large blocks, which makes the allocator
    // sweep every small block freed so far. Room for a few parameter names besides the
    // global ones.
    m_definitions.reserve(globals.size());
    m_params.reserve(globals.size() + globals.size() / 8 + 16);
    m_paramIndex.reserve(m_params.capacity());
    readGlobalParams(ds, globals, extra.paramRules);
    m_objects.reserve(definitions.of(1).size() + definitions.of(2).size());
    m_typeNames.reserve(m_objects.capacity());
    readObjects(ds, "OBJECT", definitions.of(1), extra);
    readObjects(ds, "SINGLETON", definitions.of(2), extra);
    buildTypeIndex();
    reconcileAllowedParents(ds);
    buildValidParents();
    buildParamParents();
}

ModelRulesImpl::~ModelRulesImpl() = default;

void ModelRulesImpl::readGlobalParams(const TARNDatastore& ds,
                                      const std::vector<std::string_view>& names,
                                      const ExtraDef& paramRules) {
    std::string path = kRulesPath + "/PARAMETER:";
    const std::size_t prefix = path.size();
    for (const std::string_view name : names) {
        path.resize(prefix);
        path += name;
        locatingErrors(ds, path, [&] {
            m_definitions.push_back(
                std::make_shared<const RulesParam>(ds, std::string(name), path, paramRules));
        });
        const RulesParam* param = m_definitions.back().get();
        // A repeated definition replaces the earlier one.
        paramEntry(param->getName()).global = param;
    }
}

void ModelRulesImpl::readObjects(const TARNDatastore& ds, const std::string& kind,
                                 const std::vector<std::string_view>& names,
                                 const ModelRules::ExtraRulesDef& extra) {
    const RulesObject::Key key;
    std::string objectPath = kRulesPath + "/" + kind + ":";
    const std::size_t objectPrefix = objectPath.size();
    std::string scopePath;
    std::string paramPath;
    // The local definitions of one scope: views of the store's text when it keeps it, else of
    // copies held here.
    const bool keeps = ds.keepsVisitedViews();
    std::vector<std::string_view> locals;
    std::vector<std::string> objectLocals;  // the object-level ones, as the object lists them
    // Those of every CONTEXT of one object, gathered in one walk of the object: the context
    // of each, and copies of the names for a store that does not keep its text.
    std::vector<std::string_view> contextOf;
    std::vector<std::string_view> contextLocals;
    std::deque<std::string> contextCopies;
    for (const std::string_view name : names) {
        objectPath.resize(objectPrefix);
        objectPath += name;
        objectLocals.clear();
        locatingErrors(ds, objectPath, [&] {
            m_objects.emplace_back(key, ds, objectPath, kind == "SINGLETON", extra.objectRules,
                                   objectLocals);
        });
        m_typeNames.emplace_back(name);
        RulesObject& object = m_objects.back();
        auto addLocal = [&](const std::string& scope, const std::string* option) {
            locals.clear();
            if (!option) {
                // Listed while the object was read.
                locals.assign(objectLocals.begin(), objectLocals.end());
            } else {
                for (std::size_t i = 0; i < contextOf.size(); ++i)
                    if (contextOf[i] == *option) locals.push_back(contextLocals[i]);
            }
            for (const std::string_view local : locals) {
                paramPath.assign(scope).append("/PARAMETER:").append(local);
                refcnt_ptr<const RulesParam> definition;
                locatingErrors(ds, paramPath, [&] {
                    std::string localName(local);
                    if (!object.isAllowedParamAll(localName)) {
                        std::string message("Invalid local parameter definition added to object ");
                        message.append(name).append(".\nParameter ");
                        message.append(local).append(" not valid for object type.");
                        throw std::runtime_error(message);
                    }
                    definition = std::make_shared<const RulesParam>(ds, std::move(localName),
                                                                    paramPath, extra.paramRules);
                    if (option)
                        object.addRulesParam(key, *option, definition);
                    else
                        object.addRulesParam(key, definition);
                });
                // The object keeps the definition, and with it the name viewed here.
                paramEntry(definition->getName()).local = true;
            }
        };
        addLocal(objectPath, nullptr);
        contextOf.clear();
        contextLocals.clear();
        contextCopies.clear();
        if (!object.getAllowedOptions().empty()) {
            const auto kept = [&](std::string_view text) {
                return keeps ? text : std::string_view(contextCopies.emplace_back(text));
            };
            ds.forEachObject(objectPath, [&](const TARNDatastore::ObjectHandle& child) {
                if (child.type() != "CONTEXT") return;
                const std::string_view context = kept(child.name());
                child.forEachChild([&](std::string_view type, std::string_view local) {
                    if (type != "PARAMETER") return;
                    contextOf.push_back(context);
                    contextLocals.push_back(kept(local));
                });
            });
        }
        for (const auto& option : object.getAllowedOptions()) {
            scopePath.assign(objectPath).append("/CONTEXT:").append(option);
            addLocal(scopePath, &option);
        }
    }
}

void ModelRulesImpl::reconcileAllowedParents(const TARNDatastore& ds) {
    std::string path;
    for (const TypeEntry& entry : m_entries) {
        const RulesObject& object = *entry.object;
        path.assign(kRulesPath).append(object.isSingleton() ? "/SINGLETON:" : "/OBJECT:");
        path.append(*entry.name);
        locatingErrors(ds, path, [&] { reconcileAllowedParents(*entry.name, object); });
    }
}

void ModelRulesImpl::reconcileAllowedParents(const std::string& child, const RulesObject& object) {
    const RulesObject::Key key;
    for (const auto& parentType : object.getAllowedParentListRawValue(key)) {
        // An undefined parent is reported as a failed lookup, like any query.
        (void)getObject(parentType);
        RulesObject& parent = getObjectForMod(parentType);
        const bool essential = contains(parent.getEssentialChildrenAll(), child);
        const bool optional = !essential && contains(parent.getOptionalChildrenAll(), child);
        if (!essential && !optional) {
            parent.addOptionalChild(key, child);
        } else if (essential ? !parent.hasEssentialChild(child, "")
                             : !parent.hasOptionalChild(child, "")) {
            throw std::runtime_error("In RULES, object type '" + child +
                                     "' has an allowed parent '" + parentType + "'.\n" +
                                     "However, '" + parentType + "' specifies '" + child +
                                     "' as a context-dependent Essential or Optional "
                                     "Child.\nThis is not allowed.");
        }
    }
}

namespace {

// Sorts names and drops repeats.
void sortUnique(std::vector<std::string_view>& names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
}

}  // namespace

void ModelRulesImpl::buildValidParents() {
    const RulesObject::Key key;
    std::vector<std::string_view> children;
    for (const TypeEntry& entry : m_entries) {
        const RulesObject& object = *entry.object;
        const std::string& parentType = *entry.name;
        // Every child of the object level or of some option, once: the lists over all
        // options hold both.
        const auto& essential = object.getEssentialChildrenAll();
        const auto& optional = object.getOptionalChildrenAll();
        children.assign(essential.begin(), essential.end());
        children.insert(children.end(), optional.begin(), optional.end());
        sortUnique(children);
        for (const auto child : children)
            getObjectForMod(child).addValidParent(key, parentType);
    }
    for (const TypeEntry& entry : m_entries)
        entry.object->sortValidParents(key);
}

void ModelRulesImpl::buildParamParents() {
    // (parameter, type) for every type allowing the parameter, in ascending type order; a
    // parameter essential under one option and optional under another has the type once.
    std::vector<std::pair<std::uint32_t, const TypeEntry*>> allowed;
    std::size_t most = 0;
    for (const TypeEntry& entry : m_entries)
        most += entry.object->getEssentialParamsAll().size() +
                entry.object->getOptionalParamsAll().size();
    allowed.reserve(most);
    // Per parameter, 1 + the number of the last type that listed it: a type is entered once
    // however many of its lists name the parameter.
    std::vector<std::uint32_t> lastType(m_params.size(), 0);
    for (std::uint32_t t = 0; t < m_entries.size(); ++t) {
        const TypeEntry& entry = m_entries[t];
        if (*entry.name == "RULES" || *entry.name == kRoot) continue;
        const auto add = [&](const std::string& param) {
            const auto number = static_cast<std::uint32_t>(&paramEntry(param) - m_params.data());
            if (number >= lastType.size()) lastType.resize(number + 1, 0);
            if (lastType[number] == t + 1) return;
            lastType[number] = t + 1;
            allowed.emplace_back(number, &entry);
        };
        for (const auto& param : entry.object->getEssentialParamsAll())
            add(param);
        for (const auto& param : entry.object->getOptionalParamsAll())
            add(param);
    }
    // Grouped by parameter, types kept in order: count, place each group, fill.
    for (const auto& [param, type] : allowed)
        ++m_params[param].end;
    std::uint32_t next = 0;
    for (ParamEntry& entry : m_params) {
        const std::uint32_t count = entry.end;
        entry.begin = entry.end = next;
        next += count;
    }
    m_paramParentTypes.resize(allowed.size());
    for (const auto& [param, type] : allowed)
        m_paramParentTypes[m_params[param].end++] = type;
}

const std::vector<std::string_view>& ModelRulesImpl::paramNames() const {
    if (!m_paramNamesListed) {
        for (const ParamEntry& entry : m_params)
            if (entry.global || entry.local) m_paramNames.push_back(entry.name);
        std::sort(m_paramNames.begin(), m_paramNames.end());
        m_paramNamesListed = true;
    }
    return m_paramNames;
}

const ModelRulesImpl::ParamEntry* ModelRulesImpl::findParamByIndex(std::string_view param) const {
    const std::uint32_t number =
        m_paramIndex.find(param, [this](std::uint32_t i) { return m_params[i].name; });
    if (number == NameIndex::kNone) return nullptr;
    m_lastParam = &m_params[number];
    return m_lastParam;
}

ModelRulesImpl::ParamEntry& ModelRulesImpl::paramEntry(std::string_view param) {
    const auto [number, added] =
        m_paramIndex.insert(param, [this](std::uint32_t i) { return m_params[i].name; });
    if (added) {
        m_lastParam = nullptr;  // the table may move
        m_params.emplace_back().name = param;
    }
    return m_params[number];
}

void ModelRulesImpl::buildTypeIndex() {
    std::vector<std::uint32_t> order(m_objects.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) {
        return std::string_view(m_typeNames[a]) < std::string_view(m_typeNames[b]);
    });
    m_entries.reserve(order.size());
    m_typeIndex.reserve(order.size());
    bool objectsHoldNames = true;
    for (std::size_t k = 0; k < order.size(); ++k) {
        // A repeated definition replaces the earlier one: the last read of a name stays.
        const std::string& read = m_typeNames[order[k]];
        if (k + 1 < order.size() && m_typeNames[order[k + 1]] == read) continue;
        RulesObject& object = m_objects[order[k]];
        // The object's own copy of the name, unless it reads the name otherwise.
        const bool same = object.getName() == read;
        objectsHoldNames = objectsHoldNames && same;
        m_entries.emplace_back().set(same ? object.getName() : read, object);
        m_typeIndex.insert(
            read, [this](std::uint32_t i) -> const std::string& { return *m_entries[i].name; });
    }
    if (objectsHoldNames) std::vector<std::string>().swap(m_typeNames);
}

const ModelRulesImpl::TypeEntry* ModelRulesImpl::lookUp(std::string_view type) const {
    const std::uint32_t number = m_typeIndex.find(
        type, [this](std::uint32_t i) -> const std::string& { return *m_entries[i].name; });
    return number == NameIndex::kNone ? nullptr : &m_entries[number];
}

const ModelRulesImpl::TypeEntry* ModelRulesImpl::findEntryByIndex(std::string_view type) const {
    const TypeEntry* entry = lookUp(type);
    if (entry) m_lastEntry = entry;
    return entry;
}

void ModelRulesImpl::throwNoObject(const std::string& type) {
    throw std::runtime_error("ModelRulesImpl::getObject - object not found: " + type);
}

RulesObject& ModelRulesImpl::getObjectForMod(std::string_view type) {
    const TypeEntry* entry = lookUp(type);
    if (!entry) {
        std::string message("ModelRulesImpl::getObjectForMod - object not found: ");
        message.append(type);
        throw std::runtime_error(message);
    }
    return *entry->object;
}

std::span<const ModelRulesImpl::TypeEntry* const> ModelRulesImpl::getAllowedParamParents(
    std::string_view param) const {
    const ParamEntry* entry = findParam(param);
    if (!entry) return {};
    return {m_paramParentTypes.data() + entry->begin, m_paramParentTypes.data() + entry->end};
}

const RulesParam& ModelRulesImpl::getParam(const std::string& type, const std::string& option,
                                           const std::string& param) const {
    const ParamEntry* entry = findParam(param);
    if (const RulesObject* object = findObject(type)) {
        if (option.empty() && !object->getAllowedOptions().empty() &&
            param != object->getContextRuleParam())
            throw std::runtime_error(
                "ModelRulesImpl::getParam - empty context rule value trying to recover parameter "
                "info for " +
                param + " in object " + type + ": " + param);
        // Only a parameter some type defines can have a local definition here.
        if (entry && entry->local)
            if (const RulesParam* local = object->getLocalRulesParam(param, option)) return *local;
    }
    if (entry && entry->global) return *entry->global;
    throw std::runtime_error("ModelRulesImpl::getParam - param not found in object " + type +
                             (option.empty() ? std::string() : " (context = " + option + ")") +
                             ": " + param);
}

TARNParam::Type ModelRulesImpl::getParamType(const std::string& type,
                                             const std::string& param) const {
    const ParamEntry* entry = findParam(param);
    if (entry && entry->local)
        if (const RulesObject* object = findObject(type))
            if (const RulesParam* local = object->getLocalRulesParam(param, ""))
                return local->getType();
    if (entry && entry->global) return entry->global->getType();
    throw std::runtime_error("ModelRulesImpl::getParam - param not found in object " + type + ": " +
                             param);
}

bool ModelRulesImpl::isLocalRulesParam(const std::string& type, const std::string& param) const {
    const RulesObject* object = findObject(type);
    const ParamEntry* entry = findParam(param);
    // A local definition makes the name valid; only a name that no type defines needs no
    // search of the type's definitions.
    if (object && entry && entry->local &&
        (object->getLocalRulesParam(param, "") != nullptr ||
         object->hasContextLocalRulesParam(param)))
        return true;
    if (!object || !entry || !(entry->global || entry->local))
        throw std::runtime_error(
            "ModelRulesImpl::isLocalRulesParam invalid object type or parameter name: " + type +
            "/" + param);
    return false;
}

bool ModelRulesImpl::isPossibleAllowedString(const std::string& type, const std::string& param,
                                             const std::string& value) const {
    const RulesObject& object = getObject(type);
    if (!object.getContextRuleParam().empty() && isLocalRulesParam(type, param)) {
        bool restricted = false;
        for (const auto& option : object.getAllowedOptions()) {
            const auto& allowed = getParam(type, option, param).getAllowedStringList();
            if (contains(allowed, value)) return true;
            restricted = restricted || !allowed.empty();
        }
        return !restricted;
    }
    const auto& allowed =
        getParam(type, getValidOptionForObject(type), param).getAllowedStringList();
    return allowed.empty() || contains(allowed, value);
}

std::string ModelRulesImpl::getValidOptionForObject(const std::string& type) const {
    const RulesObject& object = getObject(type);
    if (object.getContextRuleParam().empty()) return {};
    return object.getAllowedOptions().front();
}

const std::vector<std::string>& ModelRulesImpl::listedParentTypePaths(
    const TypeEntry& entry) const {
    if (!entry.pathsListed) {
        std::vector<std::string> paths;
        walkParentTypePaths(entry, false, paths);
        entry.paths = std::move(paths);
        entry.pathsListed = true;
    }
    return entry.paths;
}

std::vector<std::string> ModelRulesImpl::enumerateParentTypePaths(const std::string& type,
                                                                  bool withNames) const {
    const TypeEntry& entry = getEntry(type);
    if (!withNames) return listedParentTypePaths(entry);
    std::vector<std::string> paths;
    walkParentTypePaths(entry, true, paths);
    return paths;
}

const std::vector<std::string>& ModelRulesImpl::parentTypePaths(const std::string& type) const {
    return listedParentTypePaths(getEntry(type));
}

void ModelRulesImpl::walkParentTypePaths(const TypeEntry& entry, bool withNames,
                                         std::vector<std::string>& paths) const {
    const std::uint64_t count = countParentTypePaths(entry);
    if (count > ModelRules::s_maxListedPaths)
        throw std::runtime_error(tooManyPaths("object type", *entry.name, count));
    paths.reserve(count);
    // Iterative depth-first walk upward; frame i walks the valid parents of stack[i]. The
    // types on the stack are marked open, and unmarked however the walk ends.
    struct Frame {
        const std::vector<std::string>* parents;
        std::size_t next;
    };
    std::vector<const TypeEntry*> stack{&entry};
    std::vector<Frame> frames{{&entry.object->getAllowedParents(), 0}};
    entry.open = true;
    try {
        while (!frames.empty()) {
            Frame& frame = frames.back();
            if (frame.next == frame.parents->size()) {
                frames.pop_back();
                stack.back()->open = false;
                stack.pop_back();
                continue;
            }
            const std::string& parent = (*frame.parents)[frame.next++];
            if (parent == kRoot) {
                std::string& path = paths.emplace_back();
                for (std::size_t i = stack.size(); i-- > 1;) {
                    path.append(1, '/').append(*stack[i]->name);
                    if (withNames && !stack[i]->object->isSingleton()) path.append(":name");
                }
                continue;
            }
            const TypeEntry& up = getEntry(parent);
            if (up.open) continue;
            stack.push_back(&up);
            frames.push_back({&up.object->getAllowedParents(), 0});
            up.open = true;
        }
    } catch (...) {
        for (const TypeEntry* open : stack)
            open->open = false;
        throw;
    }
}

std::vector<std::string> ModelRulesImpl::enumerateParentTypePathsForParam(
    const std::string& param) const {
    std::vector<std::string> ret;
    listParamTypePaths(param, ret);
    return ret;
}

void ModelRulesImpl::listParamTypePaths(const std::string& param,
                                        std::vector<std::string>& ret) const {
    const std::uint64_t count = countParentTypePathsForParam(param);
    if (count > ModelRules::s_maxListedPaths)
        throw std::runtime_error(tooManyPaths("parameter", param, count));
    ret.reserve(count);
    for (const TypeEntry* type : getAllowedParamParents(param)) {
        const std::string& name = *type->name;
        for (const auto& path : listedParentTypePaths(*type)) {
            std::string& full = ret.emplace_back();
            full.reserve(path.size() + 1 + name.size());
            full.append(path).append(1, '/').append(name);
        }
    }
    std::sort(ret.begin(), ret.end());
    auto nonUniq = std::adjacent_find(ret.begin(), ret.end());
    if (!(nonUniq == ret.end()))
        KELAssertImpl::assertFail("nonUniq == ret.end()", kAssertFile, 1923);
}

std::string ModelRulesImpl::firstParentTypePathForParam(const std::string& param) const {
    const std::uint64_t count = countParentTypePathsForParam(param);
    if (count > ModelRules::s_maxListedPaths)
        throw std::runtime_error(tooManyPaths("parameter", param, count));
    // The least of path + "/" + type over every listed path of every owner type, compared in
    // a buffer instead of making the whole list.
    std::string best;
    std::string candidate;
    bool found = false;
    for (const TypeEntry* type : getAllowedParamParents(param)) {
        const std::string& name = *type->name;
        for (const auto& path : listedParentTypePaths(*type)) {
            candidate.assign(path).append(1, '/').append(name);
            if (!found || candidate < best) best.swap(candidate);
            found = true;
        }
    }
    return best;
}

std::uint64_t ModelRulesImpl::countParentTypePaths(const std::string& type) const {
    return countParentTypePaths(getEntry(type));
}

std::uint64_t ModelRulesImpl::countParentTypePaths(const TypeEntry& entry) const {
    if (entry.pathCount != kUnknown) return entry.pathCount;
    const std::string& type = *entry.name;
    std::uint64_t count = 0;
    for (const auto& parent : entry.object->getAllowedParents()) {
        if (parent == type) continue;  // the walk starts with type on its stack
        std::uint64_t up = 1;
        if (parent != kRoot && !countUpwardMemoised(getEntry(parent), up)) {
            count = countUpwardByWalk(type);
            break;
        }
        count = addCapped(count, up);
    }
    entry.pathCount = count;
    return count;
}

bool ModelRulesImpl::countUpwardMemoised(const TypeEntry& start, std::uint64_t& count) const {
    if (start.upwardCount != kUnknown) {
        count = start.upwardCount;
        return true;
    }
    // Iterative post-order over the parent graph; a type met again while still open (on
    // the frames) means a cycle, where the walk's cycle guard makes counts depend on the
    // path taken.
    struct Frame {
        const TypeEntry* entry;
        std::size_t next;
        std::uint64_t sum;
    };
    std::vector<Frame> frames;
    const auto push = [&](const TypeEntry& entry) {
        frames.push_back({&entry, 0, 0});
        entry.open = true;
    };
    push(start);
    while (!frames.empty()) {
        Frame& frame = frames.back();
        const std::vector<std::string>& parents = frame.entry->object->getAllowedParents();
        if (frame.next == parents.size()) {
            frame.entry->upwardCount = frame.sum;
            frame.entry->open = false;
            const std::uint64_t done = frame.sum;
            frames.pop_back();
            if (frames.empty()) {
                count = done;
                return true;
            }
            frames.back().sum = addCapped(frames.back().sum, done);
            continue;
        }
        const std::string& parent = parents[frame.next++];
        if (parent == *frame.entry->name) continue;
        if (parent == kRoot) {
            frame.sum = addCapped(frame.sum, 1);
            continue;
        }
        const TypeEntry& known = getEntry(parent);
        if (known.upwardCount != kUnknown) {
            frame.sum = addCapped(frame.sum, known.upwardCount);
            continue;
        }
        if (known.open) {
            for (const Frame& open : frames)
                open.entry->open = false;
            return false;
        }
        push(known);
    }
    return true;
}

std::uint64_t ModelRulesImpl::countUpwardByWalk(const std::string& type) const {
    // The enumeration's own walk, counting instead of listing. Its work can exceed its
    // count on cyclic RULES, so it gives up (answering the cap) after a fixed budget.
    constexpr std::uint64_t kStepBudget = std::uint64_t(1) << 24;
    struct Frame {
        const std::vector<std::string>* parents;
        std::size_t next;
    };
    std::vector<std::string_view> stack{type};
    std::vector<Frame> frames{{&getObject(type).getAllowedParents(), 0}};
    std::uint64_t count = 0;
    for (std::uint64_t steps = 0; !frames.empty(); ++steps) {
        if (steps > kStepBudget) return ModelRules::s_pathCountCap;
        Frame& frame = frames.back();
        if (frame.next == frame.parents->size()) {
            frames.pop_back();
            stack.pop_back();
            continue;
        }
        const std::string& parent = (*frame.parents)[frame.next++];
        if (parent == kRoot) {
            count = addCapped(count, 1);
        } else if (std::find(stack.begin(), stack.end(), parent) == stack.end()) {
            stack.push_back(parent);
            frames.push_back({&getObject(parent).getAllowedParents(), 0});
        }
    }
    return count;
}

std::uint64_t ModelRulesImpl::countParentTypePathsForParam(const std::string& param) const {
    const ParamEntry* found = findParam(param);
    if (!found) return 0;
    const ParamEntry& parents = *found;
    if (parents.pathCount != kUnknown) return parents.pathCount;
    std::uint64_t count = 0;
    for (std::uint32_t i = parents.begin; i < parents.end; ++i)
        count = addCapped(count, countParentTypePaths(*m_paramParentTypes[i]));
    parents.pathCount = count;
    return count;
}

bool ModelRulesImpl::isParentTypePath(std::string_view context, const std::string& type) const {
    const RulesObject* object = findObject(type);
    if (!object) return false;
    if (!context.empty() && context.front() != '/') return false;
    const auto isParent = [](const RulesObject& child, std::string_view parent) {
        const auto& parents = child.getAllowedParents();
        return std::binary_search(parents.begin(), parents.end(), parent);
    };
    // The walk lists each type at most once per path, never the type itself nor ROOT.
    // Short paths are checked for repeats by a scan, long ones through a set.
    std::vector<std::string_view> seen;
    std::unordered_set<std::string_view> seenSet;
    const auto repeated = [&](std::string_view component) {
        if (seen.size() < 32) {
            if (std::find(seen.begin(), seen.end(), component) != seen.end()) return true;
            seen.push_back(component);
            if (seen.size() == 32) seenSet.insert(seen.begin(), seen.end());
            return false;
        }
        return !seenSet.insert(component).second;
    };
    std::string_view previous = kRoot;
    std::size_t pos = 0;
    while (pos < context.size()) {
        const std::size_t end = std::min(context.find('/', pos + 1), context.size());
        const std::string_view component = context.substr(pos + 1, end - pos - 1);
        pos = end;
        if (component == kRoot || component == type || repeated(component)) return false;
        const TypeEntry* step = lookUp(component);
        if (!step || !isParent(*step->object, previous)) return false;
        previous = component;
    }
    return isParent(*object, previous);
}

bool ModelRulesImpl::isParamTypePath(std::string_view path, const std::string& param) const {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return false;
    const std::string_view type = path.substr(slash + 1);
    const TypeEntry* entry = findEntry(type);
    if (!entry || type == "RULES" || type == kRoot || !entry->object->isAllowedParamAll(param))
        return false;
    return isParentTypePath(path.substr(0, slash), *entry->name);
}

bool ModelRulesImpl::isValidHierarchy(const TARNPath& path) const {
    for (std::size_t i = 0; i < path.size(); ++i) {
        const RulesObject* object = findObject(path.getType(i));
        if (!object) return false;
        if (i > 0 && !object->isValidParent(path.getType(i - 1))) return false;
    }
    return true;
}

bool ModelRulesImpl::isValidPath(const TARNPath& path) const {
    if (path.empty()) return false;
    std::string previous = kRoot;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const std::string& type = path.getType(i);
        const std::string& name = path.getName(i);
        const RulesObject* object = findObject(type);
        if (!object) return false;
        // An unnamed component ("/TYPE", or a name equal to the type) needs a singleton.
        if ((name.empty() || name == type) && !object->isSingleton()) return false;
        if (!object->isValidParent(previous)) return false;
        previous = type;
    }
    return true;
}

std::pair<bool, bool> ModelRulesImpl::getParamBoolRule(const std::string& type,
                                                       const std::string& option,
                                                       const std::string& param,
                                                       const char* rule) const {
    bool value = false;
    const bool found = getParam(type, option, param).getExtraRule(rule, value);
    return {found, value};
}

std::vector<std::string> ModelRulesImpl::getParamListRule(const std::string& type,
                                                          const std::string& option,
                                                          const std::string& param,
                                                          const char* rule) const {
    std::vector<std::string> value;
    getParam(type, option, param).getExtraRule(rule, value);
    return value;
}

std::string ModelRulesImpl::getParamStringRule(const std::string& type, const std::string& option,
                                               const std::string& param, const char* rule) const {
    std::string value;
    getParam(type, option, param).getExtraRule(rule, value);
    return value;
}

std::pair<bool, bool> ModelRulesImpl::getObjectBoolRule(const std::string& type,
                                                        const char* rule) const {
    bool value = false;
    const bool found = getObject(type).getExtraRule(rule, value);
    return {found, value};
}

std::vector<std::string> ModelRulesImpl::getObjectListRule(const std::string& type,
                                                           const char* rule) const {
    std::vector<std::string> value;
    getObject(type).getExtraRule(rule, value);
    return value;
}

std::string ModelRulesImpl::getObjectStringRule(const std::string& type, const char* rule) const {
    std::string value;
    getObject(type).getExtraRule(rule, value);
    return value;
}

}  // namespace kel
