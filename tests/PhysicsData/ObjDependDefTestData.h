#pragma once

#include <kel/physicsutils/InternalTARNDatastore.h>

#include "../PhysicsChecks/CheckEngineHarness.h"
#include "FakeCheckEngine.h"

namespace kel::testing {

// BOX has a context rule (Mode: a, b, c) with option-dependent parameters and children;
// PLAIN has none.
inline const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Size { Parameter Type = Real }
  PARAMETER: Depth { Parameter Type = Real }
  PARAMETER: Extra { Parameter Type = Real }
  PARAMETER: Colour { Parameter Type = String }
  PARAMETER: Mode { Parameter Type = String; Allowed String List = a, b, c }
  SINGLETON: ROOT { Optional Child List = BOX, PLAIN }
  OBJECT: BOX
    Context Rule = Mode
    Allowed Option List = a, b, c
    Essential Parameter List = Mode, Size
    Optional Parameter List = Colour, Extra
    Essential Child List = LID
    Optional Child List = ITEM, LABEL
    CONTEXT: a { Optional Parameter List = Depth; Optional Child List = TAG }
    CONTEXT: b { Essential Parameter List = Depth }
  END
  OBJECT: PLAIN { Essential Parameter List = Size; Optional Parameter List = Colour
    Optional Child List = ITEM, LABEL }
  SINGLETON: LID {}
  OBJECT: ITEM {}
  OBJECT: LABEL {}
  OBJECT: TAG {}
END
)");

inline const std::string kChecks = test::tarn(R"(
PHYSICS:
  CHECK DATA:
    CHECK: IsBig { Type = Numeric Test; Parameter = Size; Operator = >; Value = 10 }
    CHECK: IsRed { Type = Parameter Value; Parameter = Colour; Value List = red }
    LIST: ItemNames { Type = Fixed; Value List = i1, i2 }
    LIST: LidNames { Type = Fixed; Value List = top }
  END
END
)");

// A complete, valid BOX definition; tests change single keys of it.
inline std::map<std::string, std::string> boxData() {
    return {
        {"Ordered Allowed Option List", "b, a, c"},
        {"Default Option", "a"},
        {"Allowed Option Check List", "a, IsBig, b, ()"},
        {"Override Option Check List", "*Chosen, IsRed"},
        {"Subset Allowed Option List", "a, b"},
        {"Ordered Required Parameter List", "Mode, Size, Depth"},
        {"Ordered Optional Parameter List", "Colour"},
        {"Parameter Check List", "Colour, IsBig, Depth, (IsBig, IsRed)"},
        {"Relaxed Validation Parameter List", "Size"},
        {"Unused Parameter List", "Extra"},
        {"Ordered Required Child List", "LID"},
        {"Ordered Optional Child List", "ITEM, LABEL, TAG"},
        {"Coupled Optional Child List", "LABEL"},
        {"Relaxed Validation Child List", "TAG, NOWHERE"},
        {"Child Check List", "ITEM, IsBig, TAG, IsRed, ITEM, IsRed"},
        {"Child Name List", "ITEM, ItemNames"},
    };
}

// Real checks and lists of the engine, created from the CHECK and LIST objects under
// /PHYSICS/CHECK DATA of the given text and looked up by name as the physics data does.
class ObjDependDefTestSource : public PlainAvailSource {
public:
    explicit ObjDependDefTestSource(const std::string& physics) {
        const InternalTARNDatastore ds(physics, InternalTARNDatastore::TEXT);
        const std::string folder = "/PHYSICS/CHECK DATA";
        for (const std::string& name : ds.getChildObjectNamesByType(folder, "CHECK"))
            m_engine.checks.create(name, ds.getParameterMap(folder + "/CHECK:" + name));
        for (const std::string& name : ds.getChildObjectNamesByType(folder, "LIST"))
            m_engine.lists.create(name, ds.getParameterMap(folder + "/LIST:" + name));
        m_engine.resolve();
    }

    Check* getCheck(const std::string& name, bool mustExist) const override {
        return m_engine.getCheck(name, mustExist);
    }
    List* getList(const std::string& name, bool mustExist) const override {
        return m_engine.getList(name, mustExist);
    }
    GlobalCheck* getGlobalCheck(const std::string&, bool) const override { return nullptr; }
    const ParamRHSFunc* getParamRHSFunction(const std::string& name, bool) const override {
        return m_engine.getParamRHSFunction(name, false);
    }

private:
    test::Engine m_engine;
};

}  // namespace kel::testing
