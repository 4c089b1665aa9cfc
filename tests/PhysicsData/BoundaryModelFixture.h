#pragma once

// A fixture for tests of the parameter dependency definitions: RULES given as text, a model
// whose BOUNDARY objects each select one option of the context rule "Kind" (in: Inlet,
// out: Outlet, wall: Wall, bare: none), an evaluation context over that model and a fake
// check engine.

#include <memory>

#include <gtest/gtest.h>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNModel.h>

#include "FakeCheckEngine.h"

namespace kel::testing {

inline constexpr const char* kBoundaryModel = R"(
FLOW:
  BOUNDARY: in
    Kind = Inlet
  END
  BOUNDARY: out
    Kind = Outlet
  END
  BOUNDARY: wall
    Kind = Wall
  END
  BOUNDARY: bare
  END
END
)";

class BoundaryModelFixture : public ::testing::Test {
protected:
    explicit BoundaryModelFixture(const char* rules, const ModelRules::ExtraRulesDef& extra = {})
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
