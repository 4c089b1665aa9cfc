#pragma once

#include <optional>
#include <string>
#include <vector>

#include <kel/physicschecks/CheckExplanation.h>

namespace kel {

// What a host asks about one object of a model on every edit, answered in one value: the
// object's children and parameters in offered order, whether each is essential, applicable
// under the object's context rule value and available, the names a child may take, and for
// every available parameter its allowed values, default, override and bounds; with
// explanations asked for, also why each item or candidate that does not apply does not.
// Filled by ObjectQuery.
//
// Plain value type: copyable, no references into the physics data or the model.
struct ObjectAnswer {
    using Strings = std::vector<std::string>;

    // Why an item or a candidate does not apply: the check that decided (through All, Any
    // and Not, the leaf), its kind, each parameter it read with the value found, and what
    // it wanted. For an item that the object's context rule value excludes, `check` is the
    // context rule parameter and `kind` is "Context Rule"; for an allowed value that the
    // RULES' allowed strings exclude, `kind` is "RULES".
    using Reason = CheckExplanation;

    // A value written in the data that does not apply to this object: an allowed value
    // ("value"), a default ("default") or an override ("override"), with its reason.
    struct Candidate {
        std::string role;
        std::string value;
        Reason reason;
    };

    struct ChildAnswer {
        std::string type;
        bool required = false;  // essential
        bool singleton = false;
        bool coupled = false;
        bool applicable = false;  // offered under the object's context rule value
        bool available = false;   // applicable and every availability check passes
        bool betaDependent = false;
        std::optional<Strings> allowedNames;  // absent when names are free
        std::optional<Strings> defaultNames;  // absent when there are none
        Strings explanations;                 // the beta checks' messages
        std::optional<Reason> reason;         // set when not available
    };

    // One side of a bound; absent when the side is open.
    struct Bounds {
        std::optional<std::string> lower;
        std::optional<std::string> upper;
    };

    struct ParamAnswer {
        std::string name;
        bool required = false;  // essential
        bool contextRule = false;
        bool applicable = false;
        bool available = false;
        bool betaDependent = false;
        Strings explanations;
        std::string type;  // "Real", "String List", ...
        std::string quantityType;
        // The rest is evaluated for available parameters only.
        std::optional<Strings> allowedValues;  // absent when unrestricted
        std::optional<Strings> subset;         // absent when there is none
        std::string defaultValue;              // "" when there is none
        std::optional<std::string> override;   // absent when no override applies
        std::optional<Bounds> bounds;          // absent when both sides are open
        std::optional<Reason> reason;          // set when not available
        std::vector<Candidate> rejected;       // in the order: values, defaults, overrides
    };

    std::string object;            // full object path
    std::string type;              // object type
    std::string context;           // type path of the parent, "" at the top
    std::string contextRuleParam;  // "" when the type has no context rule
    std::string contextRuleValue;  // the model's value of it
    std::vector<ChildAnswer> children;
    std::vector<ParamAnswer> parameters;

    // The first answer of that child type / parameter name, or null.
    const ChildAnswer* child(const std::string& childType) const;
    const ParamAnswer* parameter(const std::string& paramName) const;
};

}  // namespace kel
