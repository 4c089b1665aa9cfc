#include <kel/exception/KELAssertImpl.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kel {

namespace {

KELAssertImpl::Handler& handler() {
    static KELAssertImpl::Handler h;
    return h;
}

}  // namespace

void KELAssertImpl::assertFail(const char* condition, const char* file, int line) {
    if (const auto& h = handler()) {
        h(condition, file, line);
        return;
    }
    std::fprintf(stderr, "KEL assertion failed: %s (%s:%d)\n", condition ? condition : "",
                 file ? file : "", line);
    if (abortsOnFailure()) std::abort();
}

bool KELAssertImpl::abortsOnFailure() {
#ifdef KEL_ASSERT_ABORTS
    return true;
#else
    return false;
#endif
}

KELAssertImpl::Handler KELAssertImpl::setHandler(Handler h) {
    return std::exchange(handler(), std::move(h));
}

}  // namespace kel
