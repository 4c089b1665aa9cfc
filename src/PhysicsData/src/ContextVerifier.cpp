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

// One definition's verification: the lines so far and the object path's named types, read
// at the first name there is. The visitors refer to it alone, which keeps them small
// enough to be held without allocation.
struct ContextVerifier::Pass {
    const ContextVerifier& verifier;
    const std::string& typePath;
    Strings lines;
    const Available* available = nullptr;

    const Available& namedTypes() {
        if (!available) available = &verifier.namedTypesFromTypePath(typePath);
        return *available;
    }
    // Resolves the check (list) of that name and adds the finding, if any, for `subject`;
    // the path's named types are read only for a check that requires context.
    void check(const std::string& subject, const std::string& name, WarnOp warn) {
        const Check* check = verifier.m_dataSource->getCheck(name, true);
        report(subject, name, check->getRequiredContext(), warn);
    }
    void list(const std::string& subject, const std::string& name, WarnOp warn) {
        const List* list = verifier.m_dataSource->getList(name, true);
        report(subject, name, list->getRequiredContext(), warn);
    }
    void report(const std::string& subject, const std::string& name,
                const std::set<std::string>& required, WarnOp warn) {
        if (required.empty()) return;
        const Strings missing = missingContext(required, namedTypes());
        if (!missing.empty()) (verifier.*warn)(subject, name, missing, lines);
    }
};

std::vector<std::string> ContextVerifier::verifyObjDependChecks(const std::string& typePath,
                                                                const ObjDependDef* def) const {
    Pass pass{*this, typePath, {}};
    def->forEachReferencedCheckName(ObjDependDef::CHILD,
                                    [&pass](const std::string& subject, const std::string& name) {
                                        pass.check(subject, name, &ContextVerifier::warnChildCheck);
                                    });
    def->forEachReferencedListName(ObjDependDef::CHILD,
                                   [&pass](const std::string& subject, const std::string& name) {
                                       pass.list(subject, name, &ContextVerifier::warnChildList);
                                   });
    def->forEachReferencedCheckName(ObjDependDef::PARAM,
                                    [&pass](const std::string& subject, const std::string& name) {
                                        pass.check(subject, name, &ContextVerifier::warnParamCheck);
                                    });
    def->forEachReferencedListName(ObjDependDef::PARAM,
                                   [&pass](const std::string& subject, const std::string& name) {
                                       pass.list(subject, name, &ContextVerifier::warnParamList);
                                   });
    return std::move(pass.lines);
}

std::vector<std::string> ContextVerifier::verifyParamValChecks(const std::string& typePath,
                                                               const ParamValueDef* def) const {
    Pass pass{*this, typePath, {}};
    const std::string* subject = &def->getName();
    def->forEachReferencedCheckName([&pass, subject](const std::string& name) {
        pass.check(*subject, name, &ContextVerifier::warnParamValCheck);
    });
    def->forEachReferencedListName([&pass, subject](const std::string& name) {
        pass.list(*subject, name, &ContextVerifier::warnParamValList);
    });
    return std::move(pass.lines);
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
