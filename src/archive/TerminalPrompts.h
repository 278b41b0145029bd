#pragma once
// Prompts for a command run from a terminal: every message is printed, every question is answered
// the careful way (Abort, Cancel, No), nothing waits for a person.

#include <ostream>

#include "platform/win/UserPrompts.h"

class TerminalPrompts : public win::UserPrompts {
  public:
    explicit TerminalPrompts(std::ostream& out) : m_out(out) {}
    int ShowMessageBox(const win::MessageBoxRequest& request) override;
    std::optional<std::uint32_t> ChooseColor(QWidget*, std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseOpenFile(const win::FileChooserRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const win::FileChooserRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> PromptText(const win::TextPromptRequest&) override { return std::nullopt; }
    bool IsShiftDown() override { return false; }

  private:
    std::ostream& m_out;
};
