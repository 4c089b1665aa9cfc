#pragma once

#include <string>

#include <kel/physicschecks/CheckDataSource.h>

namespace kel {

// The source through which dependency definitions resolve the names of checks, lists and
// functions while they are built. Beyond the plain look-ups it answers, per availability
// question, the check that decides it: either the plain check of that name or a stand-in
// for exactly that question (a beta proxy); callers treat both alike.
//
// Contract of every look-up: a non-null pointer for a name the source holds; otherwise
// an exception when mustExist is true, null when it is false. The pointers stay owned by
// the source's owner (the physics data). Stateless interface; deleted only through a
// derived class. Used on one thread at a time.
class AvailabilityCheckDataSource : public CheckDataSource {
public:
    AvailabilityCheckDataSource() = default;
    AvailabilityCheckDataSource(const AvailabilityCheckDataSource&) = default;
    AvailabilityCheckDataSource& operator=(const AvailabilityCheckDataSource&) = default;

    // The check that decides whether child `childType` is available.
    virtual Check* getObjAvailCheck(const std::string& checkName, const std::string& childType,
                                    bool mustExist) const = 0;
    // The check that decides whether parameter `paramName` is available.
    virtual Check* getParamAvailCheck(const std::string& checkName, const std::string& paramName,
                                      bool mustExist) const = 0;
    // The check that decides whether `value` of parameter `paramName` is available.
    virtual Check* getParamValAvailCheck(const std::string& checkName, const std::string& paramName,
                                         const std::string& value, bool mustExist) const = 0;

protected:
    ~AvailabilityCheckDataSource() override;
};

}  // namespace kel
