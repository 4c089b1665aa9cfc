#pragma once

#include <memory>
#include <string>
#include <vector>

#include <kel/physicsdata/query/ModelViolation.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class ModelTARN;
class PhysicsData;

// Checks a whole model against the RULES and PHYSICS data and reports every violation
// (see ModelViolation for the codes), in model order: for each object, its parameters,
// then its children. The top-level objects are checked against the RULES' ROOT type; every
// other object against its definition as ObjectQuery would answer it, evaluated only as
// far as the model needs (an absent optional item is never evaluated). The content of an
// object whose type its parent cannot hold is not checked further.
//
// Ownership: the PhysicsData (and its rules and beta manager) must outlive the validator;
// the model is only read during validate(). The validator keeps what it works out about
// each object type path of the PHYSICS data (its definition, its records under each
// context rule value, its parameters' value definitions and fixed bounds), which depends
// on the PhysicsData alone, so a validator kept for many runs pays for it once. The walk
// is iterative, so any depth works. Exceptions of the checks and lists pass through.
//
// Thread-safety: none; one validator is used from one thread.
class ModelValidator : private NonCopyable {
public:
    explicit ModelValidator(const PhysicsData& physics);
    ~ModelValidator();

    // Every violation of the model. Each is located where the model says its object (or
    // parameter) was written (ModelTARN::objectLocation / parameterLocation; line 0 when
    // unknown); a non-empty `file` replaces the file name the model gives.
    std::vector<ModelViolation> validate(const ModelTARN& model,
                                         const std::string& file = std::string()) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kel
