#pragma once

#include <string>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// The value of key in params, or null. The key/value maps of dependency and parameter value
// definitions hold a handful of keys and most keys asked for are absent: a scan that
// compares lengths first costs less than the tree search there; larger maps are searched.
inline const std::string* findParamValue(const ParameterMap& params, const std::string& key) {
    if (params.size() > 6) {
        auto found = params.find(key);
        return found == params.end() ? nullptr : &found->second;
    }
    for (const auto& entry : params)
        if (entry.first.size() == key.size() && entry.first == key) return &entry.second;
    return nullptr;
}

// parameterValue(params, key) through findParamValue: "" when absent.
inline const std::string& paramValueOf(const ParameterMap& params, const std::string& key) {
    static const std::string none;
    const std::string* value = findParamValue(params, key);
    return value != nullptr ? *value : none;
}

}  // namespace kel
