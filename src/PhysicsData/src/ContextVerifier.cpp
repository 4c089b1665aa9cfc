#include <kel/physicsdata/store/ContextVerifier.h>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

// The required types that `available` lacks, ascending.
std::vector<std::string> missingContext(const std::set<std::string>& required,
                                        const std::vector<std::string_view>& available) {
    std::vector<std::string> missing;
    for (const std::string& type : required)
        if (!std::binary_search(available.begin(), available.end(), std::string_view(type)))
            missing.push_back(type);
    return missing;
}

void appendWarning(std::string subjectLine, const std::vector<std::string>& missing,
                   std::vector<std::string>& lines) {
    lines.push_back(std::move(subjectLine));
    lines.push_back(" [ Unsatisfied context: " + StringUtilities::vectorToString(missing, ',') +
                    " ]");
}

}  // namespace

ContextVerifier::ContextVerifier(const std::vector<std::string>& namedTypes,
                                 const CheckDataSource* source)
    : m_namedTypes(namedTypes.begin(), namedTypes.end()), m_dataSource(source) {}

std::vector<std::string> ContextVerifier::verifyObjDependChecks(const std::string& typePath,
                                                                const ObjDependDef* def) const {
    const auto childChecks = def->getReferencedCheckNames(ObjDependDef::CHILD);
    const auto childLists = def->getReferencedListNames(ObjDependDef::CHILD);
    const auto paramChecks = def->getReferencedCheckNames(ObjDependDef::PARAM);
    const auto paramLists = def->getReferencedListNames(ObjDependDef::PARAM);
    Strings lines;
    if (childChecks.empty() && childLists.empty() && paramChecks.empty() && paramLists.empty())
        return lines;
    const Available& available = namedTypesFromTypePath(typePath);
    verifyCheckMap(available, childChecks, &ContextVerifier::warnChildCheck, lines);
    verifyListMap(available, childLists, &ContextVerifier::warnChildList, lines);
    verifyCheckMap(available, paramChecks, &ContextVerifier::warnParamCheck, lines);
    verifyListMap(available, paramLists, &ContextVerifier::warnParamList, lines);
    return lines;
}

std::vector<std::string> ContextVerifier::verifyParamValChecks(const std::string& typePath,
                                                               const ParamValueDef* def) const {
    const Strings checks = def->getReferencedCheckNames();
    const Strings lists = def->getReferencedListNames();
    Strings lines;
    if (checks.empty() && lists.empty()) return lines;
    const Available& available = namedTypesFromTypePath(typePath);
    verifyCheckVec(def->getName(), available, checks, &ContextVerifier::warnParamValCheck, lines);
    verifyListVec(def->getName(), available, lists, &ContextVerifier::warnParamValList, lines);
    return lines;
}

bool ContextVerifier::isNamedType(const std::string& type) const {
    return m_namedTypes.count(type) != 0;
}

const ContextVerifier::Available& ContextVerifier::namedTypesFromTypePath(
    const std::string& typePath) const {
    if (m_lastValid && m_lastPath == typePath) return m_lastAvailable;
    m_lastValid = false;
    m_lastPath = typePath;
    m_lastAvailable.clear();
    // The type of each non-empty component (the text before a ':', if any), read in place.
    const std::string_view path = m_lastPath;
    std::size_t pos = 0;
    while (pos < path.size()) {
        const std::size_t slash = std::min(path.find('/', pos), path.size());
        const std::string_view component = path.substr(pos, slash - pos);
        const std::string_view type = component.substr(0, component.find(':'));
        if (!component.empty() && m_namedTypes.find(type) != m_namedTypes.end())
            m_lastAvailable.push_back(type);
        pos = slash + 1;
    }
    std::sort(m_lastAvailable.begin(), m_lastAvailable.end());
    m_lastAvailable.erase(std::unique(m_lastAvailable.begin(), m_lastAvailable.end()),
                          m_lastAvailable.end());
    m_lastValid = true;
    return m_lastAvailable;
}

void ContextVerifier::verifyCheckVec(const std::string& subject, const Available& available,
                                     const Strings& names, WarnOp warn, Strings& lines) const {
    for (const std::string& name : names) {
        const Check* check = m_dataSource->getCheck(name, true);
        const Strings missing = missingContext(check->getRequiredContext(), available);
        if (!missing.empty()) (this->*warn)(subject, name, missing, lines);
    }
}

void ContextVerifier::verifyListVec(const std::string& subject, const Available& available,
                                    const Strings& names, WarnOp warn, Strings& lines) const {
    for (const std::string& name : names) {
        const List* list = m_dataSource->getList(name, true);
        const Strings missing = missingContext(list->getRequiredContext(), available);
        if (!missing.empty()) (this->*warn)(subject, name, missing, lines);
    }
}

void ContextVerifier::verifyCheckMap(const Available& available,
                                     const std::map<std::string, Strings>& namesBySubject,
                                     WarnOp warn, Strings& lines) const {
    for (const auto& [subject, names] : namesBySubject) {
        verifyCheckVec(subject, available, names, warn, lines);
    }
}

void ContextVerifier::verifyListMap(const Available& available,
                                    const std::map<std::string, Strings>& namesBySubject,
                                    WarnOp warn, Strings& lines) const {
    for (const auto& [subject, names] : namesBySubject) {
        verifyListVec(subject, available, names, warn, lines);
    }
}

void ContextVerifier::warnChildCheck(const std::string& subject, const std::string& name,
                                     const Strings& missing, Strings& lines) const {
    appendWarning("Availability of child " + subject + " depends on CHECK " + name, missing, lines);
}

void ContextVerifier::warnChildList(const std::string& subject, const std::string& name,
                                    const Strings& missing, Strings& lines) const {
    appendWarning("Availability of child " + subject + " depends on LIST " + name, missing, lines);
}

void ContextVerifier::warnParamCheck(const std::string& subject, const std::string& name,
                                     const Strings& missing, Strings& lines) const {
    appendWarning("Availability of parameter " + subject + " depends on CHECK " + name, missing,
                  lines);
}

void ContextVerifier::warnParamList(const std::string& subject, const std::string& name,
                                    const Strings& missing, Strings& lines) const {
    appendWarning("Availability of parameter " + subject + " depends on LIST " + name, missing,
                  lines);
}

void ContextVerifier::warnParamValCheck(const std::string& subject, const std::string& name,
                                        const Strings& missing, Strings& lines) const {
    appendWarning("Value of parameter " + subject + " depends on CHECK " + name, missing, lines);
}

void ContextVerifier::warnParamValList(const std::string& subject, const std::string& name,
                                       const Strings& missing, Strings& lines) const {
    appendWarning("Value of parameter " + subject + " depends on LIST " + name, missing, lines);
}

}  // namespace kel
