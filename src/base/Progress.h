#pragma once
// How a long operation reports its progress without knowing who shows it. The application's
// progress window implements it (and pumps the event loop in SetPos); the command line prints;
// tests record. Texts are UTF-8.

#include <string>

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetTitle(const std::string& text) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPos(int position) = 0;
};

// Reports nothing; for callers that have no one to show progress to.
class NullProgress final : public ProgressSink {
public:
    void SetTitle(const std::string&) override {}
    void SetText(const std::string&) override {}
    void SetRange(int, int) override {}
    void SetPos(int) override {}
};
