#pragma once

#include <functional>

namespace kel {

// Reporting of broken internal invariants. assertFail never aborts: it reports the
// condition text, source file and line to the installed handler (by default one line on
// standard error) and returns, so execution continues. Tests install a handler to capture
// failures. The handler is process-wide and not synchronised; set it from one thread.
class KELAssertImpl {
public:
    using Handler = std::function<void(const char* condition, const char* file, int line)>;

    static void assertFail(const char* condition, const char* file, int line);

    // Installs a handler (an empty one restores the default) and returns the previous one.
    static Handler setHandler(Handler handler);
};

}  // namespace kel

// Asserts an invariant, naming the given source file and line in the report.
#define KEL_ASSERT_AT(condition, file, line) \
    ((condition) ? static_cast<void>(0) : ::kel::KELAssertImpl::assertFail(#condition, file, line))

// Asserts an invariant at this point of the source.
#define KEL_ASSERT(condition) KEL_ASSERT_AT(condition, __FILE__, __LINE__)
