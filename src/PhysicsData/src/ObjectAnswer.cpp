#include <kel/physicsdata/query/ObjectAnswer.h>

namespace kel {

const ObjectAnswer::ChildAnswer* ObjectAnswer::child(const std::string& childType) const {
    for (const auto& answer : children)
        if (answer.type == childType) return &answer;
    return nullptr;
}

const ObjectAnswer::ParamAnswer* ObjectAnswer::parameter(const std::string& paramName) const {
    for (const auto& answer : parameters)
        if (answer.name == paramName) return &answer;
    return nullptr;
}

}  // namespace kel
