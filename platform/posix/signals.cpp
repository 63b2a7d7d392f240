#include "platform/posix/signals.h"

#include <sys/syscall.h>
#include <unistd.h>

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

// Every signal that ends the process by default, but the uncatchable and
// the synchronous faults, and those that stop it.
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

}  // namespace

void SignalHold::Hold() {
    ++holds_;
    if (masked_) return;
    masked_ = true;
    SetKernelMask(SIG_BLOCK, SignalsHeldDuringAWrite(), &maskBefore_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &fileSizeLimitBefore_);
}

void SignalHold::Let() {
    if (holds_ == 0 || --holds_ > 0 || release_ == Release::WhenDone) return;
    LetHeldSignalsAct();
}

void SignalHold::LetHeldSignalsAct() {
    if (!masked_) return;
    masked_ = false;
    sigaction(SIGXFSZ, &fileSizeLimitBefore_, nullptr);
    SetKernelMask(SIG_SETMASK, maskBefore_, nullptr);  // delivers what was held
}

}  // namespace tolvaren
