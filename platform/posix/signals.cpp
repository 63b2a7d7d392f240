#include "platform/posix/signals.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <initializer_list>

namespace tolvaren {
namespace {

// The kernel's own signal set: one bit a signal, 64 signals on Linux. glibc
// silently keeps the two signals it reserves for its threads (32 and 33) out
// of every mask it is given, and both end a process by default: the mask is
// set through the kernel itself, so that every signal held is held.
using KernelSignalSet = std::uint64_t;
constexpr int kLastSignal = 64;
constexpr int kFirstRealTimeSignal = 32;

KernelSignalSet Bit(int signal) { return KernelSignalSet{1} << (signal - 1); }

int g_holds = 0;
bool g_masked = false;  // the signals are held back
bool g_waitForTheOutcome = false;
KernelSignalSet g_maskBefore = 0;
struct sigaction g_fileSizeLimitBefore;

// Every signal that ends the process by default, but the uncatchable and
// the synchronous faults, and those that stop it: a switch is never cut off
// half-way, nor left half-way while the process is stopped.
KernelSignalSet SignalsHeldDuringAWrite() {
    KernelSignalSet held = 0;
    for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2,
                             SIGIO, SIGPROF, SIGVTALRM, SIGXCPU, SIGSTKFLT, SIGPWR, SIGTSTP,
                             SIGTTIN, SIGTTOU})
        held |= Bit(signal);
    for (int signal = kFirstRealTimeSignal; signal <= kLastSignal; ++signal) held |= Bit(signal);
    return held;
}

void SetKernelMask(int how, const KernelSignalSet& mask, KernelSignalSet* before) {
    ::syscall(SYS_rt_sigprocmask, how, &mask, before, sizeof mask);
}

void LetHeldSignalsAct() {
    if (!g_masked) return;
    g_masked = false;
    sigaction(SIGXFSZ, &g_fileSizeLimitBefore, nullptr);
    SetKernelMask(SIG_SETMASK, g_maskBefore, nullptr);  // delivers what was held
}

}  // namespace

void HoldInterruptions() {
    ++g_holds;
    if (g_masked) return;
    g_masked = true;
    SetKernelMask(SIG_BLOCK, SignalsHeldDuringAWrite(), &g_maskBefore);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &g_fileSizeLimitBefore);
}

void ReleaseInterruptions() {
    if (g_holds == 0 || --g_holds > 0 || g_waitForTheOutcome) return;
    LetHeldSignalsAct();
}

InterruptionsWaitForTheOutcome::InterruptionsWaitForTheOutcome() { g_waitForTheOutcome = true; }

InterruptionsWaitForTheOutcome::~InterruptionsWaitForTheOutcome() {
    g_waitForTheOutcome = false;
    if (g_holds == 0) LetHeldSignalsAct();
}

}  // namespace tolvaren
