#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

class ModelTARN;

// Walks of a model tree and cheap reads of full path texts ("/A:a/B"). Stateless.
class ModelScan {
public:
    // Full paths of every object of that type, in model order (parents before children,
    // children in the model's order). Iterative: no depth limit.
    static std::vector<std::string> objectsOfType(const ModelTARN& model, std::string_view type);
    // Whether any object of the type exists; stops at the first.
    static bool anyObjectOfType(const ModelTARN& model, std::string_view type);

    // Type and name of the last component of a full path.
    static std::string_view lastType(std::string_view path);
    static std::string_view lastName(std::string_view path);
    // The path without its last component ("" for a top-level object).
    static std::string_view parentPath(std::string_view path);

private:
    // Preorder walk of the whole model; visit returns true to stop.
    static void forEachObject(const ModelTARN& model,
                              const std::function<bool(const std::string&)>& visit);
};

}  // namespace kel
