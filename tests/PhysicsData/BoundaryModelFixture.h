#pragma once

// A fixture for tests of the parameter dependency definitions: RULES given as text, a model
// whose BOUNDARY objects each select one option of the context rule "Kind" (in: Inlet,
// out: Outlet, wall: Wall, bare: none), an evaluation context over that model and a fake
// check engine.

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNModel.h>

#include "FakeCheckEngine.h"
#include "TestSupport.h"

namespace kel::testing {

inline const std::string kBoundaryModel = test::tarn(R"(
FLOW:
  BOUNDARY: in { Kind = Inlet }
  BOUNDARY: out { Kind = Outlet }
  BOUNDARY: wall { Kind = Wall }
  BOUNDARY: bare {}
END
)");

class BoundaryModelFixture : public ::testing::Test {
protected:
    explicit BoundaryModelFixture(const std::string& rules,
                                  const ModelRules::ExtraRulesDef& extra = {})
        : m_ds(rules, InternalTARNDatastore::TEXT),
          m_rules(&m_ds, extra),
          m_model(TARNModel::fromText(kBoundaryModel)),
          m_eval(*m_model) {}

    InternalTARNDatastore m_ds;
    ModelRules m_rules;
    std::unique_ptr<TARNModel> m_model;
    EvalContext m_eval;
    FakeSource m_source;
};

}  // namespace kel::testing
