#include "ModelScan.h"

#include <algorithm>

#include <kel/physicsutils/ModelTARN.h>

namespace kel {

void ModelScan::forEachObject(const ModelTARN& model,
                              const std::function<bool(const std::string&)>& visit) {
    model.forEachObjectPath(visit);
}

std::vector<std::string> ModelScan::objectsOfType(const ModelTARN& model, std::string_view type) {
    std::vector<std::string> found;
    forEachObject(model, [&](const std::string& path) {
        if (lastType(path) == type) found.push_back(path);
        return false;
    });
    return found;
}

bool ModelScan::anyObjectOfType(const ModelTARN& model, std::string_view type) {
    bool found = false;
    forEachObject(model, [&](const std::string& path) { return found = (lastType(path) == type); });
    return found;
}

std::string_view ModelScan::lastType(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return last.substr(0, last.find(':'));
}

std::string_view ModelScan::lastName(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t colon = last.find(':');
    return colon == std::string_view::npos ? std::string_view() : last.substr(colon + 1);
}

std::string_view ModelScan::parentPath(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

}  // namespace kel
