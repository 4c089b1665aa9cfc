#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

class CheckDataSource;
struct CheckExplanation;
class DataVerifyInterface;
class EvalContext;
class ProductTypeInfo;
class TARNContext;

// A named predicate over one model object (a CHECK). Life: created by a factory,
// initialise (reads its keys; throws std::runtime_error naming the check and key),
// setUnresolved (resolves referenced names; the source is not kept), then evaluate any
// number of times. Owned by its ProductStore. Not thread-safe: evaluation may fill caches.
class Check {
public:
    virtual ~Check();
    virtual const std::string& getName() const = 0;
    virtual void initialise(const std::string& name, const ParameterMap& map,
                            DataVerifyInterface* verify) = 0;
    // Object types that must be on the evaluated object's path (itself or an ancestor).
    virtual std::set<std::string> getRequiredContext() const = 0;
    virtual std::vector<std::string> getCheckNamesDependOn() const = 0;
    virtual std::vector<std::string> getListNamesDependOn() const = 0;
    virtual void setUnresolved(const CheckDataSource* source) = 0;
    // evalContext supplies the model (getDB) and the result cache; it must not be null.
    virtual bool evaluate(const TARNContext& context, EvalContext* evalContext) = 0;
    // The same result as evaluate, with why it came out so: the deciding check (through
    // All, Any and Not, the leaf), its kind, the parameters it read and what it wanted.
    // Explaining logs no beta messages of its own. The default names this check only.
    virtual bool explain(const TARNContext& context, EvalContext* evalContext,
                         CheckExplanation& why);

    // "CHECK".
    static const ProductTypeInfo& productKind();

    // Evaluation recurses once per level of CHECKs and LISTs naming one another, so a
    // loader rejects data nested deeper than this (a CHECK or LIST naming none has depth
    // 1). At this depth an evaluation, through a beta availability proxy, fits in a
    // 256 KB thread stack with ample room for the host's own frames.
    static constexpr std::size_t s_maxNestingDepth = 100;
};

}  // namespace kel
