#pragma once
// Signal dispositions and masks set for a while and put back after.
#include <signal.h>

#include <cstdint>

namespace tolvaren {

class SignalIgnored {
public:
    explicit SignalIgnored(int signal) : signal_(signal) {
        ignore_.sa_handler = SIG_IGN;
        sigaction(signal_, &ignore_, &previous_);
    }
    // One that arrived while held back is still pending: ignoring it once
    // more drops it, as meant, before the old action is put back.
    ~SignalIgnored() {
        sigaction(signal_, &ignore_, nullptr);
        sigaction(signal_, &previous_, nullptr);
    }
    SignalIgnored(const SignalIgnored&) = delete;
    SignalIgnored& operator=(const SignalIgnored&) = delete;

private:
    int signal_;
    struct sigaction ignore_ {};
    struct sigaction previous_;
};

// While a file is held for a switch (from its open without sharing until it
// is closed), every signal whose default action ends or stops the process
// is held back (all but the uncatchable ones and the synchronous faults),
// and a write past the file-size limit fails instead of killing the
// process: a write is never cut off or left half-way by them, nor a lease
// kept by a stopped process. The process's signal mask is one, so is this:
// whoever runs switches owns it and hands it to its file system.
class SignalHold {
public:
    // WhenDone: what was held acts only when this object ends, so that a
    // process tells what it did (or why it failed) first.
    enum class Release { WithTheLastHold, WhenDone };
    explicit SignalHold(Release release = Release::WithTheLastHold) : release_(release) {}
    ~SignalHold() { LetHeldSignalsAct(); }
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

    // Holds nest.
    void Hold();
    void Let();

private:
    void LetHeldSignalsAct();

    const Release release_;
    int holds_ = 0;
    bool masked_ = false;
    std::uint64_t maskBefore_ = 0;  // the kernel's signal set
    struct sigaction fileSizeLimitBefore_ {};
};

}  // namespace tolvaren
