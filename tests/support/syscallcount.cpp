#include "support/syscallcount.h"

#include <csignal>
#include <cstddef>
#include <cstring>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

namespace orvane::test {

namespace {

constexpr int kMaxCalls = 16;
constexpr int kChildSkipped = 3;

struct Shared {
    uint64_t counts[kMaxCalls];
};

// The child's copy of the table (set before the filter goes on).
ExpectedCall g_expected[kMaxCalls];
Shared* g_shared = nullptr;

#if defined(__x86_64__)
constexpr uint32_t kAuditArch = AUDIT_ARCH_X86_64;
greg_t& resultRegister(ucontext_t* uc) {
    return uc->uc_mcontext.gregs[REG_RAX];
}
long argumentRegister(ucontext_t* uc, int i) {
    static const int regs[] = {REG_RDI, REG_RSI, REG_RDX, REG_R10, REG_R8, REG_R9};
    return long(uc->uc_mcontext.gregs[regs[i]]);
}
#elif defined(__aarch64__)
constexpr uint32_t kAuditArch = AUDIT_ARCH_AARCH64;
unsigned long long& resultRegister(ucontext_t* uc) {
    return uc->uc_mcontext.regs[0];
}
long argumentRegister(ucontext_t* uc, int i) {
    return long(uc->uc_mcontext.regs[i]);
}
#else
constexpr uint32_t kAuditArch = 0;
#endif

#if defined(__x86_64__) || defined(__aarch64__)
// The trapped call's index in the table comes in si_errno (the filter's data).
void onTrappedCall(int, siginfo_t* info, void* context) {
    int index = info->si_errno;
    auto* uc = static_cast<ucontext_t*>(context);
    if (index < 0 || index >= kMaxCalls) {
        syscall(SYS_exit_group, 4);
        return;
    }
    __atomic_add_fetch(&g_shared->counts[index], 1, __ATOMIC_RELAXED);
    const ExpectedCall& call = g_expected[index];
    resultRegister(uc) = call.answerFrom >= 0 ? argumentRegister(uc, call.answerFrom) : call.answer;
}
#endif

void add(std::vector<sock_filter>& f, sock_filter s) {
    f.push_back(s);
}

// Loads the syscall number, then for each expected call: if the number (and
// the argument's low 32 bits) match, trap with its index.
std::vector<sock_filter> filterFor(const std::vector<ExpectedCall>& expected) {
    std::vector<sock_filter> f;
    add(f, BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)));
    add(f, BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0));
    add(f, BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ExpectedCall& call = expected[i];
        add(f, BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
        if (call.argument < 0) {
            add(f, BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, uint32_t(call.number), 0, 1));
        } else {
            add(f, BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, uint32_t(call.number), 0, 3));
            add(f, BPF_STMT(BPF_LD | BPF_W | BPF_ABS,
                            uint32_t(offsetof(seccomp_data, args) + 8 * call.argument)));
            add(f, BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, uint32_t(call.value), 0, 1));
        }
        add(f, BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRAP | uint32_t(i)));
    }
    add(f, BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
    add(f, BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_exit_group, 2, 0));
    add(f, BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_rt_sigreturn, 1, 0));
    add(f, BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS));
    add(f, BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    return f;
}

bool installFilter(const std::vector<ExpectedCall>& expected) {
#if defined(__x86_64__) || defined(__aarch64__)
    struct sigaction action {};
    action.sa_sigaction = onTrappedCall;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGSYS, &action, nullptr) != 0)
        return false;
    sigset_t sys;
    sigemptyset(&sys);
    sigaddset(&sys, SIGSYS);
    pthread_sigmask(SIG_UNBLOCK, &sys, nullptr);
    std::vector<sock_filter> f = filterFor(expected);
    sock_fprog program{static_cast<unsigned short>(f.size()), f.data()};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
#else
    (void)expected;
    return false;
#endif
}

std::string endingOf(int status) {
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGSYS
                   ? std::string("killed by SIGSYS: a system call that was not expected")
                   : "killed by signal " + std::to_string(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

} // namespace

CallCounts countSystemCalls(const std::vector<ExpectedCall>& expected,
                            const std::function<void()>& work) {
    CallCounts result;
    if (expected.size() > std::size_t(kMaxCalls)) {
        result.why = "too many expected calls";
        return result;
    }
    void* page =
        mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED) {
        result.why = "no shared memory";
        return result;
    }
    auto* shared = new (page) Shared{};
    pid_t child = fork();
    if (child == 0) {
        g_shared = shared;
        std::copy(expected.begin(), expected.end(), g_expected);
        if (!installFilter(expected))
            syscall(SYS_exit_group, kChildSkipped);
        work();
        syscall(SYS_exit_group, 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        result.why = "no child process";
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == kChildSkipped) {
        result.why = "no seccomp filter here: the system calls were not checked";
    } else {
        result.checked = true;
        result.completed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        result.ending = endingOf(status);
        result.counts.assign(shared->counts, shared->counts + expected.size());
    }
    munmap(page, sizeof(Shared));
    return result;
}

} // namespace orvane::test
