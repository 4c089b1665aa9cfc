// Separate instances share nothing unguarded: threads that each load their own ModelRules
// and PhysicsData from the same text and ask the same questions get the same answers, and
// a ThreadSanitizer build (the tsan preset) reports no race. The sanitizer build asks
// 100,000 questions per thread; plain builds ask fewer so that the test stays fast.

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <kel/physicsutils/TARNModel.h>

#include "LoadedHost.h"
#include "QuerySweep.h"

#if defined(__SANITIZE_THREAD__)
#define KEL_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KEL_UNDER_TSAN 1
#endif
#endif

namespace kel {
namespace {

#ifdef KEL_UNDER_TSAN
constexpr std::size_t kQuestionsPerThread = 100000;
#else
constexpr std::size_t kQuestionsPerThread = 2000;
#endif
constexpr int kThreads = 8;

std::string readExample(const std::string& name) {
    std::ifstream in(std::string(KEL_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Texts {
    std::string rules = readExample("rules.tarn");
    std::string physics = readExample("physics.tarn");
    std::string model = readExample("model.tarn");
};

// One host's whole life: its own stores, rules, beta manager, physics data and model,
// then whole sweeps over the model until at least `questions` answers have been given.
// Returns the digest of every sweep (all equal unless something leaked between sweeps or
// hosts).
std::vector<std::uint64_t> hostSession(const Texts& texts, std::size_t questions) {
    const LoadedHost host(texts.rules, texts.physics, true);
    const std::unique_ptr<TARNModel> model = TARNModel::fromText(texts.model);

    std::vector<std::uint64_t> digests;
    for (std::size_t asked = 0; asked < questions;) {
        const QuerySweep::Result result =
            QuerySweep::run(host.physics, *model, std::numeric_limits<std::size_t>::max());
        if (result.answers == 0) break;
        asked += result.answers;
        digests.push_back(result.digest);
    }
    return digests;
}

TEST(ThreadIsolation, HostsOnSeparateThreadsGiveTheSameAnswers) {
    // Validation on exercises the verifiers as well; the switch is read while loading.
    ASSERT_EQ(setenv("KEL_PHYSICS_VALIDATE_DATA", "1", 1), 0);
    const Texts texts;
    ASSERT_FALSE(texts.model.empty()) << "examples not found in " << KEL_EXAMPLES_DIR;
    const std::vector<std::uint64_t> reference = hostSession(texts, 1);
    ASSERT_EQ(reference.size(), 1u);

    std::vector<std::vector<std::uint64_t>> digests(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back(
            [&texts, &digests, i] { digests[i] = hostSession(texts, kQuestionsPerThread); });
    for (std::thread& thread : threads)
        thread.join();
    unsetenv("KEL_PHYSICS_VALIDATE_DATA");

    for (int i = 0; i < kThreads; ++i) {
        ASSERT_GT(digests[i].size(), 1u) << "thread " << i;
        for (std::size_t s = 0; s < digests[i].size(); ++s)
            EXPECT_EQ(digests[i][s], reference.front()) << "thread " << i << ", sweep " << s;
    }
}

}  // namespace
}  // namespace kel
