#pragma once

#include <kel/physicschecks/GlobalCheck.h>

namespace kel {

class Check;

// GLOBAL CHECK "For Each Object": Object Type, Check, Message. Evaluating a model gives,
// for every object of the type (in model order) for which the CHECK fails,
// Message + " (" + object path + ")".
class ForEachObjectCheck : public GlobalCheck {
public:
    const std::string& getName() const override { return m_name; }
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    void setUnresolved(const CheckDataSource* source) override;
    std::vector<std::string> evaluate(const ModelTARN& model) override;

private:
    std::string m_name;
    std::string m_type;
    std::string m_checkName;
    std::string m_message;
    Check* m_check = nullptr;
};

}  // namespace kel
