#include "platform/posix/signals.h"

#include <initializer_list>

namespace tolvaren {
namespace {

int g_holds = 0;
bool g_masked = false;  // the signals are held back
bool g_waitForTheOutcome = false;
sigset_t g_maskBefore;
struct sigaction g_fileSizeLimitBefore;

sigset_t SignalsThatEndTheProcess() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGALRM, SIGTERM, SIGUSR1, SIGUSR2,
                             SIGIO, SIGPROF, SIGVTALRM, SIGXCPU})
        sigaddset(&signals, signal);
#ifdef SIGSTKFLT
    sigaddset(&signals, SIGSTKFLT);
#endif
#ifdef SIGPWR
    sigaddset(&signals, SIGPWR);
#endif
#ifdef SIGRTMIN
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaddset(&signals, signal);
#endif
    return signals;
}

void LetHeldSignalsAct() {
    if (!g_masked) return;
    g_masked = false;
    sigaction(SIGXFSZ, &g_fileSizeLimitBefore, nullptr);
    sigprocmask(SIG_SETMASK, &g_maskBefore, nullptr);  // delivers what was held
}

}  // namespace

void HoldInterruptions() {
    ++g_holds;
    if (g_masked) return;
    g_masked = true;
    const sigset_t held = SignalsThatEndTheProcess();
    sigprocmask(SIG_BLOCK, &held, &g_maskBefore);
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
