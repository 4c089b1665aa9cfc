#pragma once

#include <cstddef>
#include <string>

#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>
#include <kel/physicsutils/TARNDatastore.h>

#include "KeySlots.h"

namespace kel {

// The keys of one PARAMETER VALUES entry that its definition and the definition's parts
// read, found in one pass over the entry's map instead of one search per question. Refers
// to the map's values, which must outlive it.
class ParamValueKeys {
public:
    enum Key : std::size_t {
        ParameterType,
        OrderedAllowedStringList,
        AllowedStringListChecks,
        SubsetAllowedStringList,
        UnusedAllowedStringList,
        ValueListSource,
        SubsetValueListSource,
        AvailableWithNoAllowedValues,
        CompleteListRequired,
        DefaultValue,
        DefaultValueCheckList,
        FallbackToBlankDefault,
        ValueOverrideCheckList,
        kKeyCount
    };

    explicit ParamValueKeys(const ParameterMap& params) {
        static const KeySlots slots(keyNames(), kKeyCount);
        slots.find(params, m_values);
    }

    bool has(Key key) const { return m_values[key] != nullptr; }

    // The value, "" when the key is absent (as parameterValue reads it).
    const std::string& value(Key key) const {
        static const std::string none;
        return m_values[key] != nullptr ? *m_values[key] : none;
    }

private:
    static const std::string* const* keyNames() {
        static const std::string* const names[kKeyCount] = {
            &ParamValueDef::s_parameterType,
            &ParamValueDef::s_orderedAllowedStringList,
            &ParamValueDef::s_allowedStringListChecks,
            &ParamValueDef::s_subsetAllowedStringList,
            &ParamValueDef::s_unusedAllowedStringList,
            &ParamValueDef::s_valueListSource,
            &ParamValueDef::s_subsetValueListSource,
            &ParamValueDef::s_availableWithNoAllowedVals,
            &ParamValueDef::s_completeListRequired,
            &ParamDefault::s_defaultValue,
            &ParamDefault::s_defaultValueCheckList,
            &ParamDefault::s_fallbackToBlank,
            &ParamValueOverride::s_valueOverrideCheckList,
        };
        return names;
    }

    const std::string* m_values[kKeyCount] = {};
};

}  // namespace kel
