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
    // The context of a child of the parent's object (name empty, or equal to the type, when
    // unnamed), built on the parent's worked-out paths instead of reading a path again.
    TARNContext(const TARNContext& parent, std::string_view type, std::string_view name);
    // Makes this context what that constructor makes, reusing the storage this context
    // holds (for walks that make a context per object).
    void assignChild(const TARNContext& parent, std::string_view type, std::string_view name);

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
