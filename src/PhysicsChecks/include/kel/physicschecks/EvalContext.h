#pragma once

#include <kel/physicschecks/EvalCache.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class ModelTARN;

// Everything an evaluation needs besides the object: the model evaluated against and the
// cache of check results for that model. The model is not owned and must outlive the
// context; the model may be edited between evaluations (the cache notices). Not
// thread-safe; one context per thread.
class EvalContext : private NonCopyable {
public:
    explicit EvalContext(const ModelTARN& model) : m_model(&model), m_cache(model) {}

    const ModelTARN& getDB() const { return *m_model; }
    EvalCache* getCache() { return &m_cache; }

private:
    const ModelTARN* m_model;
    EvalCache m_cache;
};

}  // namespace kel
