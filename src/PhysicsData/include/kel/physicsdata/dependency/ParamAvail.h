#pragma once

#include <string>
#include <utility>
#include <vector>

#include <kel/physicsdata/dependency/OptionMask.h>

namespace kel {

class Check;
class EvalContext;
class TARNContext;

// The availability record of one parameter of an object dependency definition: whether
// the parameter is required or is the context rule parameter, under which context rule
// selectors it applies, and which checks make it available.
//
// Records are built and filled only by their ObjDependDef, which owns them; callers get
// const pointers and use the public queries. The checks are not owned: they belong to
// the physics data's check store and must outlive the record. Copying copies the check
// pointers, not the checks. Not synchronised; evaluation runs on the caller's thread.
class ParamAvail {
public:
    const std::string& getName() const { return m_name; }
    bool isRequired() const { return m_required; }
    bool isContextRule() const { return m_contextRule; }
    bool hasValidationRelaxed() const { return m_relaxedValidation; }
    bool hasCompleteListRequired() const { return m_completeListRequired; }

    // True when every check passes (and when there is none). Checks run in the order
    // added and evaluation stops at the first that fails. Exceptions of a check pass
    // through.
    bool evaluate(const TARNContext& context, EvalContext* evalContext) const;

    // The names of the checks, in order, duplicates kept.
    std::vector<std::string> getReferencedCheckNames() const;
    // Always empty: a parameter record refers to no list.
    std::vector<std::string> getReferencedListNames() const { return {}; }

private:
    friend class ObjDependDef;
    friend struct AvailRecordTestAccess;

    ParamAvail(std::string name, bool required, bool contextRule);

    void addAvailCheck(Check* check) { m_checks.push_back(check); }
    void setApplicableOptions(OptionMask&& options) { m_applicableOptions = std::move(options); }
    void setRelaxedValidation() { m_relaxedValidation = true; }
    void setCompleteListRequired() { m_completeListRequired = true; }

    // Bit `selector` of the applicable options; the selector must be in range.
    bool matchOption(unsigned long long selector) const;

    std::string m_name;
    bool m_required;
    bool m_contextRule;
    bool m_relaxedValidation = false;
    bool m_completeListRequired = false;
    OptionMask m_applicableOptions;
    std::vector<Check*> m_checks;
};

}  // namespace kel
