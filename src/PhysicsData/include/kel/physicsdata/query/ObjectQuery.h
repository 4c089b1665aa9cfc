#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <kel/physicsdata/query/ObjectAnswer.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class EvalContext;
class ModelTARN;
class PhysicsData;

// Answers, for one object of a model, everything a host asks on every edit (see
// ObjectAnswer), in one call: the children and parameters in the order the object's
// definition offers them, with the object's context rule value read from the model, each
// availability evaluated against the object, and, for every available parameter, its
// allowed values, default, override and bounds. With explanations on, every item that is
// not available and every written candidate value, default or override that does not
// apply also says why.
//
// Ownership: the PhysicsData (with its rules and beta manager) and the model belong to the
// host and must outlive the query. The query owns its evaluation context, whose cache of
// check results is kept between calls and dropped when the model's revision changes, so
// the model may be edited between calls.
//
// Beta: when the PhysicsData has a beta manager, each call empties its logging controller's
// messages first, so that an item's explanations are exactly those its own evaluation
// kept.
//
// Thread-safety: none; one query, its PhysicsData and its model are used from one thread.
class ObjectQuery : private NonCopyable {
public:
    ObjectQuery(const PhysicsData& physics, const ModelTARN& model);
    ~ObjectQuery();

    // Reasons for whatever does not apply (off by default: it costs extra evaluations).
    void setExplain(bool explain);
    bool isExplaining() const;

    // The answer for the object at objectPath ("/TYPE:name/..."). Throws PhysicsException
    // when the model has no such object or the PHYSICS data defines no object of its type
    // path; exceptions of the checks and lists pass through.
    ObjectAnswer ask(const std::string& objectPath);

    // The evaluation context the query evaluates with (for further questions about the
    // same model sharing its cache).
    EvalContext& evalContext();

    // Bounds as ParamValueDef::evaluateBounds gives them (a side the RULES leave open holds
    // the kind's limit number) with each open side absent; nothing when both are.
    static std::optional<ObjectAnswer::Bounds> boundSides(
        const std::pair<std::string, std::string>& bounds);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kel
