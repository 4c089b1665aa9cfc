#pragma once

#include <cstddef>
#include <cstdint>

namespace kel {

class ModelTARN;
class PhysicsData;

// Asks a loaded physics data set every question a host asks while a user edits a model,
// object by object in breadth-first model order: child and parameter availability through
// the definition's cursors (with the object's context rule value), allowed and default
// names of available children, allowed values, default, override and bounds of available
// parameters, and the same through ObjectQuery with explanations; then every CHECK and
// LIST once, on the first object whose path holds its required context, the model's
// validation, and the pertinent global checks over the whole model.
//
// Every answer is folded into a digest, so that two sweeps of equal data over equal models
// can be compared. The walk stops after a budget of answers so that a huge model or schema keeps
// one call short. Stateless; every call uses its own evaluation context. The physics data, its
// rules and the model must outlive the call and must not be used by another thread
// during it (the library's threading contract). Library exceptions propagate.
class QuerySweep {
public:
    struct Result {
        std::size_t answers = 0;   // at most about the budget
        std::uint64_t digest = 0;  // of every answer, in order
    };

    static Result run(const PhysicsData& physics, const ModelTARN& model, std::size_t maxAnswers);
};

}  // namespace kel
