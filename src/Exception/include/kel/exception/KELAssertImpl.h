#pragma once

#include <functional>

namespace kel {

// Reporting of broken internal invariants (never of faults in data: those are
// exceptions). assertFail reports the condition text, source file and line to the
// installed handler, or by default as one line on standard error, and returns, so
// execution continues. Sanitizer and fuzz builds (compiled with KEL_ASSERT_ABORTS) abort
// after the default report instead, so that a run stops where the invariant broke. Tests
// install a handler to capture failures. The handler is process-wide and not
// synchronised; set it from one thread.
class KELAssertImpl {
public:
    using Handler = std::function<void(const char* condition, const char* file, int line)>;

    static void assertFail(const char* condition, const char* file, int line);

    // True when a failure reported without a handler aborts (KEL_ASSERT_ABORTS builds).
    static bool abortsOnFailure();

    // Installs a handler (an empty one restores the default) and returns the previous one.
    static Handler setHandler(Handler handler);
};

}  // namespace kel

// Asserts an invariant, naming the given source file and line in the report.
#define KEL_ASSERT_AT(condition, file, line) \
    ((condition) ? static_cast<void>(0) : ::kel::KELAssertImpl::assertFail(#condition, file, line))

// Asserts an invariant at this point of the source.
#define KEL_ASSERT(condition) KEL_ASSERT_AT(condition, __FILE__, __LINE__)
