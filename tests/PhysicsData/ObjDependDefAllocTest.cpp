// Walking a definition's records with the cursors and evaluating their checks is what a
// host does on every edit; it must not allocate. This program counts every allocation
// made through the global operator new.
#include <atomic>
#include <cstdlib>
#include <new>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "ObjDependDefTestData.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The library's sorts take their buffers through the nothrow form: it must pair with the
// deletes above.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace kel {
namespace {

// Walks every record as a host does and evaluates the applicable ones; returns how many
// records were visited.
int walk(const ObjDependDef& def, const TARNContext& object, EvalContext& eval) {
    int visited = 0;
    PACursor params;
    for (auto r = def.firstParamAvail(params); r.first; r = def.nextParamAvail(params, "a")) {
        if (r.second) r.first->evaluate(object, &eval);
        ++visited;
    }
    CACursor children;
    for (auto r = def.firstChildAvail(children, "a"); r.first; r = def.nextChildAvail(children)) {
        if (r.second) r.first->evaluate(object, &eval);
        ++visited;
    }
    return visited;
}

TEST(ObjDependDefAllocTest, WalkingAndEvaluatingRecordsDoesNotAllocate) {
    const InternalTARNDatastore ds(testing::kRules, InternalTARNDatastore::TEXT);
    const ModelRules rules(&ds);
    const testing::ObjDependDefTestSource source(testing::kChecks);
    const ObjDependDef def("BOX", testing::boxData(), &rules, &source, true);
    const auto model =
        TARNModel::fromText("BOX: b1\n  Mode = a\n  Size = 20\n  Colour = red\nEND\n");
    EvalContext eval(*model);
    const TARNContext object("/BOX:b1");

    walk(def, object, eval);  // the first evaluation may fill the check engine's cache
    const long before = g_allocations.load();
    int visited = 0;
    for (int i = 0; i < 100; ++i)
        visited += walk(def, object, eval);
    EXPECT_EQ(visited, 800);
    EXPECT_EQ(g_allocations.load() - before, 0);

    eval.getCache()->enable(false);  // every evaluation now runs the checks themselves
    const long uncachedBefore = g_allocations.load();
    for (int i = 0; i < 100; ++i)
        walk(def, object, eval);
    EXPECT_EQ(g_allocations.load() - uncachedBefore, 0);

    // The counter sees allocations made inside the library.
    const long probe = g_allocations.load();
    EXPECT_EQ(def.getOrderedParamNames().size(), 4u);
    EXPECT_GT(g_allocations.load(), probe);
}

}  // namespace
}  // namespace kel
