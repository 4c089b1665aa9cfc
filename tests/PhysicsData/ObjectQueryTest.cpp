// The host's questions through the library: one object's answer (ObjectQuery), a whole
// model's violations (ModelValidator), defaults filled in (ModelDefaultFiller), and the
// options that replace the environment switches (PhysicsDataOptions).

#include <kel/physicsdata/query/ObjectQuery.h>

#include <sstream>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/query/ModelDefaultFiller.h>
#include <kel/physicsdata/query/ModelValidator.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNModel.h>

#include "TestSupport.h"

namespace kel {
namespace {

// ROOT -> BOX (named, context rule Kind = Hot/Cold) -> LID (singleton, its Sealed unused
// by the PHYSICS data), TAG (names from a LIST), VENT (only for hot boxes, and only with
// beta features).
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Kind { Parameter Type = String; Allowed String List = Hot, Cold }
  PARAMETER: Size { Parameter Type = Real; Lower Bound = 0 [m]; Default = 1 [m] }
  PARAMETER: Count { Parameter Type = Integer; Lower Bound = 1; Upper Bound = 9; Default = 3 }
  PARAMETER: Sealed { Parameter Type = Logical }
  PARAMETER: Colour { Parameter Type = String; Allowed String List = Red, Blue }
  SINGLETON: ROOT { Essential Child List = BOX }
  OBJECT: BOX
    Context Rule = Kind
    Allowed Option List = Hot, Cold
    Essential Parameter List = Kind, Size
    Optional Parameter List = Sealed, Colour
    Optional Child List = LID, TAG, VENT
    CONTEXT: Hot { Essential Parameter List = Count }
  END
  SINGLETON: LID { Optional Parameter List = Sealed }
  OBJECT: TAG {}
  OBJECT: VENT {}
END
)");

const std::string kPhysics = test::tarn(R"(
PHYSICS:
  CHECK DATA:
    CHECK: IsHot { Type = Parameter Value; Parameter = Kind; Value List = Hot }
    CHECK: NotHot { Type = Not; Check List = IsHot }
    CHECK: VentBeta { Type = Beta; Message = Vents are a beta feature.; Check = IsHot }
    LIST: TagNames { Type = Fixed; Value List = front, back }
  END
  DEPENDENCIES:
    OBJECT DEPENDENCY: BOX { Ordered Allowed Option List = Hot, Cold; Default Option = Cold
      Ordered Required Parameter List = Kind, Size, Count
      Ordered Optional Parameter List = Sealed, Colour
      Ordered Optional Child List = LID, TAG, VENT; Child Check List = VENT, VentBeta
      Parameter Check List = Colour, NotHot; Child Name List = TAG, TagNames }
    OBJECT DEPENDENCY: LID { Unused Parameter List = Sealed }
    OBJECT DEPENDENCY: TAG {}
    OBJECT DEPENDENCY: VENT {}
  END
END
)");

class ObjectQueryTest : public ::testing::Test {
protected:
    ObjectQueryTest() { m_beta.enableBetaLogging(); }

    // Each violation as "code path line", located in the model text.
    Strings violations(const std::string& text) {
        const auto m = TARNModel::fromText(text);
        Strings result;
        for (const auto& v : ModelValidator(m_physics).validate(*m)) {
            EXPECT_EQ(v.file, v.line ? "<text>" : "");  // no place: no file either
            result.push_back(v.code + " " + v.path + " " + std::to_string(v.line));
        }
        return result;
    }

    InternalTARNDatastore m_rulesDs{kRules, InternalTARNDatastore::TEXT};
    ModelRules m_rules{&m_rulesDs};
    InternalTARNDatastore m_physicsDs{kPhysics, InternalTARNDatastore::TEXT};
    PhysicsFunctionStore m_functions;
    BetaPhysicsManager m_beta;
    PhysicsData m_physics{&m_physicsDs, &m_rules, &m_functions, &m_beta, PhysicsDataOptions{}};
};

// Every field of an answer, in the order offered, is pinned on the example data by the
// tool's query tests (tests/tool/query); here what a small model's edits and switches change.
TEST_F(ObjectQueryTest, ExplainsWhatIsNotAvailableDownToTheDecidingCheck) {
    auto m = TARNModel::fromText("BOX: b\n  Kind = Hot\n  Size = 2 [m]\nEND\n");
    ObjectQuery query(m_physics, *m);
    EXPECT_FALSE(query.ask("/BOX:b").parameter("Colour")->reason.has_value());  // off by default
    query.setExplain(true);

    using Reason = ObjectAnswer::Reason;
    const auto same = [](const Reason& a, const Reason& b) {
        return a.check == b.check && a.kind == b.kind && a.values == b.values &&
               a.wanted == b.wanted;
    };
    // Through Not to the leaf it negates.
    ObjectAnswer hot = query.ask("/BOX:b");
    ASSERT_TRUE(hot.parameter("Colour")->reason.has_value());
    EXPECT_TRUE(
        same(*hot.parameter("Colour")->reason,
             Reason{"IsHot", "Parameter Value", {{"Kind", "Hot"}}, "not (Kind one of Hot)"}));
    EXPECT_FALSE(hot.parameter("Size")->reason.has_value());
    EXPECT_TRUE(hot.parameter("Count")->applicable && hot.child("VENT")->available);

    // Through the beta proxy and the beta check to the check it wraps; then the beta
    // switch itself; and the context rule for what the option does not offer.
    m->setParameterValue("/BOX:b", "Kind", "Cold");
    ObjectAnswer cold = query.ask("/BOX:b");  // the answers of the old model are not reused
    EXPECT_FALSE(cold.child("VENT")->available || cold.child("VENT")->betaDependent);
    EXPECT_FALSE(cold.parameter("Count")->applicable || cold.parameter("Count")->available);
    EXPECT_FALSE(cold.parameter("Count")->bounds.has_value());
    EXPECT_TRUE(same(*cold.child("VENT")->reason,
                     Reason{"IsHot", "Parameter Value", {{"Kind", "Cold"}}, "Kind one of Hot"}));
    EXPECT_EQ(cold.parameter("Count")->reason->kind, "Context Rule");
    EXPECT_EQ(cold.parameter("Count")->reason->values.at("Kind"), "Cold");

    m->setParameterValue("/BOX:b", "Kind", "Hot");
    m_beta.getLoggingController()->overrideGlobalBetaEnabled(false);
    EXPECT_FALSE(query.ask("/BOX:b").child("VENT")->available);
    EXPECT_TRUE(same(*query.ask("/BOX:b").child("VENT")->reason,
                     Reason{"VentBeta", "Beta", {}, "beta features enabled"}));

    // Objects the model lacks are refused.
    for (const char* path : {"/BOX:other", "", "/"})
        EXPECT_THAT(test::errorOf<PhysicsException>([&] { query.ask(path); }),
                    HasSubstr("ObjectQuery::ask - the model has no object"))
            << path;
}

TEST_F(ObjectQueryTest, ValidatorReportsEveryViolationWithItsPlace) {
    EXPECT_THAT(violations(""), ElementsAre("missing-child / 0"));
    EXPECT_EQ(
        violations(test::tarn(R"(
BOX: b
  Kind = Cold
  Size = -1 [m]
  Count = 4
  Sealed = maybe
  Colour = Green
  Weight = 3
  LID: {}
  LID: second {}
  TAG: side {}
  VENT: v {}
  PANEL: p {}
END
BOX: c { Kind = Hot; Size = big }
)")),
        (Strings{"out-of-bounds /BOX:b 4", "parameter-not-available /BOX:b 5",
                 "wrong-type /BOX:b 6", "value-not-allowed /BOX:b 7", "unknown-parameter /BOX:b 8",
                 "duplicate-singleton /BOX:b/LID:second 11", "name-not-allowed /BOX:b/TAG:side 13",
                 "child-not-available /BOX:b/VENT:v 15", "unknown-child /BOX:b/PANEL:p 17",
                 "wrong-type /BOX:c 22", "missing-parameter /BOX:c 20"}));
}

TEST_F(ObjectQueryTest, FillerSetsAvailableEssentialDefaultsOnly) {
    auto m = TARNModel::fromText("BOX: b\nEND\nBOX: c\n  Kind = Hot\n  Size = 5 [m]\nEND\n");
    const Strings filled = ModelDefaultFiller(m_physics).fill(*m);
    // The context rule value comes first and decides what else is essential; the filled
    // model has no violation.
    EXPECT_EQ(filled, (Strings{"/BOX:b/Kind", "/BOX:b/Size", "/BOX:c/Count"}));
    EXPECT_EQ(m->getParameterValue("/BOX:b", "Kind"), "Cold");
    EXPECT_EQ(m->getParameterValue("/BOX:c", "Size"), "5 [m]");
    EXPECT_FALSE(m->hasParameter("/BOX:b", "Colour"));
    EXPECT_TRUE(ModelValidator(m_physics).validate(*m).empty());
}

TEST_F(ObjectQueryTest, UnusedReportGoesToTheStreamTheOptionsName) {
    std::ostringstream report;
    PhysicsData(&m_physicsDs, &m_rules, &m_functions, nullptr, {true, true, &report});
    EXPECT_THAT(report.str(), HasSubstr("UNUSED PHYSICS:     Unused parameters : Sealed"));
}

}  // namespace
}  // namespace kel
