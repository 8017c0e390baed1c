// A signal without SA_RESTART breaks the reading thread's blocked read() with EINTR; the flag its
// handler sets on that thread tells File::Read not to read again.
#include "platform/read_interrupt.h"

#include <pthread.h>
#include <signal.h>

#include <csignal>
#include <mutex>

namespace {

constexpr int kInterruptSignal = SIGUSR2;
thread_local volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) {
    interrupted = 1;
}

} // namespace

void InterruptReads(std::thread& reader) {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action = {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(kInterruptSignal, &action, nullptr);
    });
    ::pthread_kill(reader.native_handle(), kInterruptSignal);
}

bool ReadsInterrupted() {
    return interrupted != 0;
}
