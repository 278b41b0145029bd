#include "platform/win/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

namespace win {

namespace {

// The pipe between the handler and the event loop: [0] read end, [1] write end.
int g_pipe[2] = {-1, -1};

void OnSignal(int signal) {
    // Only async-signal-safe calls here: one write, errno kept for the interrupted code.
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal) : m_onSignal(std::move(onSignal)) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Drain(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &m_previousTerm);
    ::sigaction(SIGINT, &action, &m_previousInt);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier) return;
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::Drain() {
    unsigned char number = 0;
    while (::read(g_pipe[0], &number, 1) == 1) {
        if (m_onSignal) m_onSignal(number);
    }
}

}  // namespace win
