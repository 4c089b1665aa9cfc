// CHECKs and LISTs naming one another: as deep as a load accepts, loading (with
// validation) and evaluating, through a beta availability proxy too, fit on a thread with
// a 256 KB stack; deeper data is refused at load, and wide or long shapes load in time
// proportional to their size.

#include <pthread.h>

#include <exception>
#include <functional>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/List.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaLoggingController.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "TestSupport.h"

namespace kel {
namespace {

constexpr std::size_t kLimit = Check::s_maxNestingDepth;

const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Kind { Parameter Type = String; Allowed String List = Hot, Cold }
  PARAMETER: Enabled { Parameter Type = Logical }
  SINGLETON: ROOT { Optional Child List = BOX }
  OBJECT: BOX { Essential Parameter List = Kind; Optional Parameter List = Enabled }
END
)");

// One CHECK or LIST in the one-line form test::tarn expands.
std::string object(const char* type, const std::string& name, const std::string& body) {
    return std::string("    ") + type + ": " + name + " { " + body + " }\n";
}

std::string name(char prefix, std::size_t i) {
    return prefix + std::to_string(i);
}

// "Kind is Hot" read from the enclosing BOX: a check that needs BOX as context.
const std::string kIsHot =
    "Type = Parameter Value; Object Type = BOX; Parameter = Kind; Value List = Hot";

// A0 .. A(depth-1): All, Any and Not in turn, then a beta check over "Kind is Hot"; and
// V, a Value In List check over the union lists L0 .. L(depth-2), the last one fixed.
// Both A0 and V nest depth levels deep.
std::string chains(std::size_t depth) {
    static const char* const kinds[] = {"All", "Any", "Not"};
    std::string data;
    for (std::size_t i = 0; i + 2 < depth; ++i) {
        data +=
            object("CHECK", name('A', i),
                   std::string("Type = ") + kinds[i % 3] + "; Check List = " + name('A', i + 1));
        data += object("LIST", name('L', i), "Type = Union; List Names = " + name('L', i + 1));
    }
    data += object("CHECK", name('A', depth - 2),
                   "Type = Beta; Message = Hot is beta; Check = " + name('A', depth - 1));
    data += object("CHECK", name('A', depth - 1), kIsHot);
    data += object("CHECK", "V",
                   "Type = Value In List; Object Type = BOX; Parameter = Kind; List = L0");
    return data + object("LIST", name('L', depth - 2), "Type = Fixed; Value List = Hot");
}

// depth levels of two checks each, each check naming both of the level below: 2^depth
// paths through the graph. At the bottom, a beta check (so nothing above it is cached)
// and "Kind is Hot".
std::string ladder(std::size_t depth) {
    std::string data;
    for (std::size_t i = 0; i + 1 < depth; ++i) {
        const std::string below = "; Check List = " + name('X', i + 1) + ", " + name('Y', i + 1);
        data += object("CHECK", name('X', i), "Type = All" + below);
        data += object("CHECK", name('Y', i), "Type = Any" + below);
    }
    data += object("CHECK", name('X', depth - 1), "Type = Beta; Message = Ladders are beta");
    return data + object("CHECK", name('Y', depth - 1), kIsHot);
}

// The same shape of Union LISTs (P, Q), fixed at the bottom, and W, a Value In List check
// over P0.
std::string unionLadder(std::size_t depth) {
    std::string data = object(
        "CHECK", "W", "Type = Value In List; Object Type = BOX; Parameter = Kind; List = P0");
    for (std::size_t i = 0; i + 1 < depth; ++i) {
        const std::string below =
            "Type = Union; List Names = " + name('P', i + 1) + ", " + name('Q', i + 1);
        data += object("LIST", name('P', i), below);
        data += object("LIST", name('Q', i), below);
    }
    data += object("LIST", name('P', depth - 1), "Type = Fixed; Value List = Hot");
    return data + object("LIST", name('Q', depth - 1), "Type = Fixed; Value List = Cold");
}

// Every CHECK names the one after it.
std::string longChain(std::size_t length) {
    std::string data;
    for (std::size_t i = 0; i + 1 < length; ++i)
        data += object("CHECK", name('C', i), "Type = Not; Check List = " + name('C', i + 1));
    return data + object("CHECK", name('C', length - 1), "Type = Constant; Value = true");
}

std::string physics(const std::string& checkData, const std::string& guard) {
    return test::tarn("PHYSICS:\n  CHECK DATA:\n" + checkData +
                      "  END\n  DEPENDENCIES:\n    OBJECT DEPENDENCY: BOX { Ordered Required "
                      "Parameter List = Kind; Ordered Optional Parameter List = Enabled; "
                      "Parameter Check List = Enabled, " +
                      guard + " }\n  END\nEND\n");
}

// Runs work on a new thread whose stack is 256 KB, and rethrows what it throws.
void onSmallStack(const std::function<void()>& work) {
    struct Job {
        const std::function<void()>& work;
        std::exception_ptr failure;
    } job{work, nullptr};
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
    const auto run = [](void* arg) -> void* {
        Job& job = *static_cast<Job*>(arg);
        try {
            job.work();
        } catch (...) {
            job.failure = std::current_exception();
        }
        return nullptr;
    };
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    if (job.failure) std::rethrow_exception(job.failure);
}

class CheckNestingTest : public ::testing::Test {
protected:
    CheckNestingTest() { m_beta.enableBetaLogging(); }

    std::unique_ptr<PhysicsData> load(const std::string& text) {
        m_physicsDs = std::make_unique<InternalTARNDatastore>(text, InternalTARNDatastore::TEXT);
        return std::make_unique<PhysicsData>(m_physicsDs.get(), &m_rules, &m_functions, &m_beta,
                                             PhysicsDataOptions{true});
    }

    InternalTARNDatastore m_rulesDs{kRules, InternalTARNDatastore::TEXT};
    ModelRules m_rules{&m_rulesDs};
    PhysicsFunctionStore m_functions;
    BetaPhysicsManager m_beta;
    std::unique_ptr<InternalTARNDatastore> m_physicsDs;
};

TEST_F(CheckNestingTest, DeepestAcceptedDataLoadsAndEvaluatesOnA256KBStack) {
    onSmallStack([&] {
        auto data = load(physics(chains(kLimit), "A0"));
        auto model =
            TARNModel::fromText("BOX: hot\n  Kind = Hot\nEND\nBOX: cold\n  Kind = Cold\nEND\n");
        EvalContext eval(*model);
        // A0 .. A(limit-3) are limit-2 combinators, every third of them a "Not".
        const bool hotResult = ((kLimit - 2) / 3) % 2 == 0;
        Check* proxy = data->getParamAvailCheck("A0", "Enabled", true);
        EXPECT_NE(proxy, data->getCheck("A0", true));
        EXPECT_EQ(proxy->evaluate(TARNContext("/BOX:hot"), &eval), hotResult);
        EXPECT_EQ(proxy->evaluate(TARNContext("/BOX:cold"), &eval), !hotResult);
        EXPECT_TRUE(data->getCheck("V", true)->evaluate(TARNContext("/BOX:hot"), &eval));
        EXPECT_FALSE(data->getCheck("V", true)->evaluate(TARNContext("/BOX:cold"), &eval));
        EXPECT_THAT(data->getList("L0", true)->evaluate(TARNContext("/BOX:hot"), &eval),
                    ElementsAre("Hot"));
    });
}

TEST_F(CheckNestingTest, DeeperDataIsRefusedNamingTheObjectAndTheLimit) {
    EXPECT_THAT([&] { load(physics(chains(kLimit + 1), "A0")); },
                ThrowsMessage<PhysicsException>(
                    StrEq("PhysicsData::initialiseChecks - the object \"CHECK:A0\" nests CHECK or "
                          "LIST objects more than " +
                          std::to_string(kLimit) + " levels deep, the limit.")));
    // A long chain is refused as quickly as it is read.
    EXPECT_THAT([&] { load(physics(longChain(5000), "C0")); },
                ThrowsMessage<PhysicsException>(HasSubstr("\"CHECK:C0\" nests")));
}

TEST_F(CheckNestingTest, SharedSubChecksAreVisitedOncePerLoadAndEvaluation) {
    onSmallStack([&] {
        auto data = load(physics(ladder(kLimit), "X0"));
        EXPECT_THAT(data->getCheck("X0", true)->getRequiredContext(), ElementsAre("BOX"));
        auto model = TARNModel::fromText("BOX: hot\n  Kind = Hot\nEND\n");
        EvalContext eval(*model);
        // Passes with beta and fails without: both evaluations run, uncached.
        EXPECT_TRUE(data->getParamAvailCheck("X0", "Enabled", true)
                        ->evaluate(TARNContext("/BOX:hot"), &eval));
        EXPECT_THAT(m_beta.getLoggingController()->getParamAvailMessages("Enabled"),
                    ElementsAre("Ladders are beta"));
        EXPECT_TRUE(data->getCheck("Y0", true)->evaluate(TARNContext("/BOX:hot"), &eval));

        auto lists = load(physics(unionLadder(kLimit - 1), "W"));
        EXPECT_TRUE(lists->getCheck("W", true)->evaluate(TARNContext("/BOX:hot"), &eval));
    });
}

}  // namespace
}  // namespace kel
