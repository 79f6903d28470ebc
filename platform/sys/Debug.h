#pragma once

// ASSERT: a check of a caller's obligation.  A debug build reports a failed
// check on stderr and goes on, so a wrong call shows up in a test log without
// stopping the program; a release build checks nothing.

namespace platform {
void ReportFailedAssertion(const char* expression, const char* file, int line);
} // namespace platform

#ifdef NDEBUG
#define ASSERT(expression) ((void)0)
#else
#define ASSERT(expression)                                                                                   \
    ((expression) ? (void)0 : ::platform::ReportFailedAssertion(#expression, __FILE__, __LINE__))
#endif
