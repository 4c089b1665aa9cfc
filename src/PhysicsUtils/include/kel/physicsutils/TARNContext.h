#pragma once

#include <string>
#include <string_view>

#include <kel/physicsutils/TARNPath.h>

namespace kel {

// The model object an evaluation is about: its path, with the full path, type path and
// object type worked out once. Value type.
class TARNContext {
public:
    explicit TARNContext(TARNPath path);
    explicit TARNContext(std::string_view fullPath);

    const TARNPath& getPath() const { return m_path; }
    const std::string& getFullPath() const { return m_fullPath; }
    const std::string& getTypePath() const { return m_typePath; }
    const std::string& getObjectType() const { return m_path.getLastType(); }
    const std::string& getObjectName() const { return m_path.getLastName(); }

private:
    TARNPath m_path;
    std::string m_fullPath;
    std::string m_typePath;
};

}  // namespace kel
