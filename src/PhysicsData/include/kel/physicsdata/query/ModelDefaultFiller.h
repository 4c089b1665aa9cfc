#pragma once

#include <string>
#include <vector>

#include <kel/utilities/NonCopyable.h>

namespace kel {

class ModelTARN;
class PhysicsData;

// Completes a model with defaults: every essential parameter that is available on its
// object and not set gets its default as evaluated for that object (parameters without a
// default stay unset). Objects are filled from the top down, so a default that depends on
// an ancestor's value sees the filled value; within an object, setting one parameter
// (the context rule parameter, say) may make others available, which are then filled too.
//
// Ownership: the PhysicsData (and its rules and beta manager) must outlive the filler; the
// model is edited only during fill(). The walk is iterative, so any depth works.
// Exceptions of the checks and lists pass through, leaving the values set so far.
//
// Thread-safety: none; one filler is used from one thread.
class ModelDefaultFiller : private NonCopyable {
public:
    explicit ModelDefaultFiller(const PhysicsData& physics);

    // Fills the model; returns the parameter paths set ("object path/parameter"), in the
    // order set. Objects the PHYSICS data does not describe are left alone.
    std::vector<std::string> fill(ModelTARN& model) const;

private:
    const PhysicsData& m_physics;
};

}  // namespace kel
