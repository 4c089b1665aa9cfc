// Uses the installed headers and libraries the way a host would.
#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/utilities/DependencyGraph.h>
#include <kel/utilities/NonCopyable.h>
#include <kel/utilities/StringUtilities.h>
#include <kel/utilities/refcnt_ptr.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "consumer: failed: %s\n", what);
        ++failures;
    }
}

}  // namespace

int main() {
    using kel::StringUtilities;

    const std::vector<std::string> items = StringUtilities::splitValueNoEmpty("(a,b), c,,d");
    expect(items == std::vector<std::string>{"(a,b)", "c", "d"}, "splitValueNoEmpty");
    expect(StringUtilities::floatAndUnitsToString(0.1f, "m") == "0.1 [m]", "floatAndUnitsToString");

    kel::DependencyGraph graph;
    graph.addDependency("CHECK:a", {"CHECK:b"});
    std::string node;
    expect(graph.isAcyclic(node), "isAcyclic");

    const kel::refcnt_ptr<const std::string> shared = std::make_shared<const std::string>("x");
    expect(*shared == "x", "refcnt_ptr");

    try {
        throw kel::PhysicsException("Consumer::main - thrown across the library boundary");
    } catch (const std::exception& e) {
        expect(std::string(e.what()).rfind("Consumer::main - ", 0) == 0, "PhysicsException");
    }

    int asserted = 0;
    kel::KELAssertImpl::setHandler([&](const char*, const char*, int) { ++asserted; });
    KEL_ASSERT(items.empty());
    kel::KELAssertImpl::setHandler({});
    expect(asserted == 1, "KELAssertImpl handler");

    if (failures == 0) std::printf("consumer: installed package works\n");
    return failures == 0 ? 0 : 1;
}
