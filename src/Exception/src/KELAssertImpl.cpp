#include <kel/exception/KELAssertImpl.h>

#include <cstdio>
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
}

KELAssertImpl::Handler KELAssertImpl::setHandler(Handler h) {
    return std::exchange(handler(), std::move(h));
}

}  // namespace kel
