#pragma once

#include "ListBase.h"

namespace kel {

// LIST "Fixed": Value List, given back as written (empty items dropped).
class FixedList : public ListBase {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;

protected:
    std::vector<std::string> doEvaluate(const TARNContext&, EvalContext&) override {
        return m_values;
    }

private:
    std::vector<std::string> m_values;
};

}  // namespace kel
