#pragma once

#include <cstdint>

#include "CheckBase.h"
#include "ParameterSource.h"

namespace kel {

// CHECK "Numeric Test": Parameter, Operator (< <= > >= == !=), Value, optional Object Type
// or Object Path. Passes when the parameter's number compares as asked with Value; units
// on either side are ignored. Numbers compare exactly: whole numbers as 64-bit integers,
// others in double precision (a whole number against a fraction compares by value, not
// after rounding either). Value must be a finite number, else initialise throws naming
// the check. A model value that is missing, not a number, "nan", "inf" or out of the
// double range cannot be compared: the check fails, whatever the operator (even "!=").
class NumericTestCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> computeRequiredContext() const override;
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;
    bool dependsOnObject() const override { return !m_source.isFixedObject(); }

private:
    enum class Op { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };

    ParameterSource m_source;
    Op m_op = Op::Equal;
    // A finite number as written: whole numbers keep their exact 64-bit value.
    struct Number {
        double real = 0;
        std::int64_t whole = 0;
        bool isWhole = false;
    };
    static bool parse(const std::string& text, Number& number);
    // -1, 0 or 1 as a is less than, equal to or greater than b.
    static int compare(const Number& a, const Number& b);

    Number m_value;
    std::string m_valueText;  // as written, for explanations
};

}  // namespace kel
