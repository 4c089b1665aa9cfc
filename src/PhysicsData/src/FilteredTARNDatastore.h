#pragma once

#include <set>
#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// A view of a datastore with some objects (and everything below them) left out: they
// are neither found nor listed among their parent's children. Used to build what is left
// of faulty data once the faulty objects are known.
//
// Borrows the underlying datastore, which must outlive the view. Safe for concurrent
// const use as far as the underlying datastore is.
class FilteredTARNDatastore : public TARNDatastore {
public:
    FilteredTARNDatastore(const TARNDatastore& data, std::set<std::string> hiddenPaths);
    ~FilteredTARNDatastore() override;

    bool hasObject(const std::string& path) const override;
    bool hasParameter(const std::string& path, const std::string& name) const override;
    std::string getParameterValue(const std::string& path, const std::string& name) const override;
    std::vector<std::string> getParameterValueAsList(const std::string& path,
                                                     const std::string& name) const override;
    ParameterMap getParameterMap(const std::string& path) const override;
    std::vector<std::string> getChildObjectNamesByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPathsByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPaths(const std::string& path) const override;
    SourceLocation objectLocation(const std::string& path) const override;
    SourceLocation parameterLocation(const std::string& path,
                                     const std::string& name) const override;

private:
    // True when path is hidden or lies below a hidden object.
    bool isHidden(const std::string& path) const;
    std::vector<std::string> visible(std::vector<std::string> paths) const;

    const TARNDatastore& m_data;
    std::set<std::string> m_hidden;
};

}  // namespace kel
