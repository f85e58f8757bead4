#pragma once
// What system calls a piece of code makes, for tests of code that must make
// none but a few known ones (the output thread's tick). The code runs in a
// child process under a seccomp filter: every system call kills the child,
// except exit_group and the expected ones, which are counted instead of made
// and answered as the test says.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvane::test {

struct ExpectedCall {
    const char* name;    // for messages
    long number;         // __NR_...
    int argument = -1;   // an argument that must hold `value` (-1: any call)
    uint64_t value = 0;  // compared on its low 32 bits: descriptors, requests
    int answerFrom = -1; // the answer is this argument (a write's count), or
    long answer = 0;     // this value
};

struct CallCounts {
    // False: this machine cannot filter system calls (then `why`).
    bool checked = false;
    std::string why;
    // The child ended normally after the work; else how it was stopped (a
    // SIGSYS kill is a system call that was not expected).
    bool completed = false;
    std::string ending;
    std::vector<uint64_t> counts; // one per expected call
};

CallCounts countSystemCalls(const std::vector<ExpectedCall>& expected,
                            const std::function<void()>& work);

} // namespace orvane::test
