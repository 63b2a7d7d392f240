#pragma once
// Signal dispositions and masks set for a while and put back after.
#include <signal.h>

namespace tolvaren {

class SignalIgnored {
public:
    explicit SignalIgnored(int signal) : signal_(signal) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(signal_, &ignore, &previous_);
    }
    ~SignalIgnored() { sigaction(signal_, &previous_, nullptr); }
    SignalIgnored(const SignalIgnored&) = delete;
    SignalIgnored& operator=(const SignalIgnored&) = delete;

private:
    int signal_;
    struct sigaction previous_;
};

// While it lives, signals that would end the process are held back, and a
// write past the file-size limit fails instead of killing it: a write it
// covers is never cut off half-way.
class InterruptionsHeld {
public:
    InterruptionsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &previousMask_);
    }
    ~InterruptionsHeld() { sigprocmask(SIG_SETMASK, &previousMask_, nullptr); }  // delivers what was held
    InterruptionsHeld(const InterruptionsHeld&) = delete;
    InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;

private:
    SignalIgnored fileSizeLimit_{SIGXFSZ};
    sigset_t previousMask_;
};

}  // namespace tolvaren
