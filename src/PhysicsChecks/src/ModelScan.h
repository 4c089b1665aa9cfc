#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kel {

class ModelTARN;

// Walks of a model tree and cheap reads of full path texts ("/A:a/B"). Stateless.
class ModelScan {
public:
    // Full paths of every object of that type, in model order (parents before children,
    // children in the model's order). Iterative: no depth limit.
    static std::vector<std::string> objectsOfType(const ModelTARN& model, std::string_view type);
    // Every object of the model filed under its type, in model order, in one walk. The map
    // uses a transparent hash so that it can be searched by string_view.
    template <class Map>
    static void indexByType(const ModelTARN& model, Map& index) {
        index.clear();
        walkAll(model, [&](const std::string& path) {
            const std::string_view type = lastType(path);
            auto it = index.find(type);
            if (it == index.end())
                it = index.emplace(std::string(type), typename Map::mapped_type()).first;
            it->second.push_back(path);
        });
    }
    // Whether any object of the type exists; stops at the first.
    static bool anyObjectOfType(const ModelTARN& model, std::string_view type);

    // Type and name of the last component of a full path.
    static std::string_view lastType(std::string_view path);
    static std::string_view lastName(std::string_view path);
    // The path without its last component ("" for a top-level object).
    static std::string_view parentPath(std::string_view path);

private:
    template <class Visit>
    static void walkAll(const ModelTARN& model, Visit&& visit) {
        forEachObject(model, [&](const std::string& path) {
            visit(path);
            return false;
        });
    }
    // Preorder walk of the whole model; visit returns true to stop.
    static void forEachObject(const ModelTARN& model,
                              const std::function<bool(const std::string&)>& visit);
};

}  // namespace kel
