#include "platform/sys/Debug.h"

#include <cstdio>

namespace platform {

void ReportFailedAssertion(const char* expression, const char* file, int line) {
    std::fprintf(stderr, "assertion failed: %s (%s:%d)\n", expression, file, line);
}

} // namespace platform
