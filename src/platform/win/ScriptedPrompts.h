#pragma once
// A UserPrompts for tests: every question is recorded, every answer comes from a queue filled by the
// test. An empty queue answers like a person who cancels. Install it with ScopedPrompts.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/UserPrompts.h"

namespace win {

class ScriptedPrompts final : public UserPrompts {
public:
    struct Question {
        std::string kind;  // "message", "color", "open", "save", "text"
        std::string text;  // message text, chooser caption or prompt label
        std::string caption;
        Buttons buttons = Buttons::Ok;
        QWidget* owner = nullptr;
        std::string initial;  // a text prompt's initial text, a chooser's initial path
        std::string defaultSuffix;  // a save chooser's default extension
    };

    std::deque<int> messageAnswers;
    std::deque<std::optional<std::uint32_t>> colorAnswers;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::string>> textAnswers;
    // SHIFT state answers: each IsShiftDown() takes the front; when empty, `shiftDown` answers.
    std::deque<bool> shiftAnswers;
    bool shiftDown = false;

    std::vector<Question> asked;
    int shiftQueries = 0;

    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::uint32_t> ChooseColor(QWidget* owner, std::uint32_t initialBgr) override;
    std::optional<std::string> ChooseOpenFile(const FileChooserRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const FileChooserRequest& request) override;
    std::optional<std::string> PromptText(const TextPromptRequest& request) override;
    bool IsShiftDown() override;

    std::vector<std::string> MessageTexts() const;
};

// Installs a ScriptedPrompts for the lifetime of this object and restores the previous one after.
class ScopedPrompts {
public:
    ScopedPrompts();
    ~ScopedPrompts();
    ScopedPrompts(const ScopedPrompts&) = delete;
    ScopedPrompts& operator=(const ScopedPrompts&) = delete;
    ScriptedPrompts* operator->() { return m_scripted; }
    ScriptedPrompts& operator*() { return *m_scripted; }

private:
    ScriptedPrompts* m_scripted;
    std::unique_ptr<UserPrompts> m_previous;
};

}  // namespace win
