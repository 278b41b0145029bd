#pragma once
// The signals that end a desktop program from outside (SIGTERM of a logout or a service manager,
// SIGINT of a terminal's Ctrl+C), turned into a call on the main thread: the signal handler only
// writes the signal's number into a pipe, and a socket notifier of the event loop reads it and calls
// the callback, where anything may be done. One object at a time; its end restores the handlers that
// were there before.

#include <QSocketNotifier>
#include <csignal>
#include <functional>
#include <memory>

namespace win {

class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void(int signal)> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the pipe could not be made (the signals then keep their previous handlers).
    bool Installed() const { return m_notifier != nullptr; }

private:
    void Drain();

    std::function<void(int)> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
    struct sigaction m_previousTerm {};
    struct sigaction m_previousInt {};
};

}  // namespace win
