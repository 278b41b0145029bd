#include "platform/win/ScriptedPrompts.h"

namespace win {

namespace {

template <typename T>
T TakeFront(std::deque<T>& queue, T whenEmpty) {
    if (queue.empty()) return whenEmpty;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

int CancelAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok: return IDOK;
        case Buttons::YesNo: return IDNO;
        default: return IDCANCEL;
    }
}

}  // namespace

int ScriptedPrompts::ShowMessageBox(const MessageBoxRequest& r) {
    asked.push_back({"message", r.text, r.caption, r.buttons, r.owner, {}, {}});
    return TakeFront(messageAnswers, CancelAnswer(r.buttons));
}

std::optional<std::uint32_t> ScriptedPrompts::ChooseColor(QWidget* owner, std::uint32_t) {
    asked.push_back({"color", "", "", Buttons::Ok, owner, {}, {}});
    return TakeFront(colorAnswers, std::optional<std::uint32_t>{});
}

std::optional<std::string> ScriptedPrompts::ChooseOpenFile(const FileChooserRequest& r) {
    asked.push_back({"open", r.caption, r.filter, Buttons::Ok, r.owner, r.initialPath, {}});
    return TakeFront(fileAnswers, std::optional<std::string>{});
}

std::optional<std::string> ScriptedPrompts::ChooseSaveFile(const FileChooserRequest& r) {
    asked.push_back({"save", r.caption, r.filter, Buttons::Ok, r.owner, r.initialPath, r.defaultSuffix});
    return TakeFront(fileAnswers, std::optional<std::string>{});
}

std::optional<std::string> ScriptedPrompts::PromptText(const TextPromptRequest& r) {
    asked.push_back({"text", r.label, r.caption, Buttons::Ok, r.owner, r.initialText, {}});
    return TakeFront(textAnswers, std::optional<std::string>{});
}

bool ScriptedPrompts::IsShiftDown() {
    ++shiftQueries;
    return TakeFront(shiftAnswers, shiftDown);
}

std::vector<std::string> ScriptedPrompts::MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& q : asked)
        if (q.kind == "message") texts.push_back(q.text);
    return texts;
}

ScopedPrompts::ScopedPrompts() {
    auto scripted = std::make_unique<ScriptedPrompts>();
    m_scripted = scripted.get();
    m_previous = InstallPrompts(std::move(scripted));
}

ScopedPrompts::~ScopedPrompts() { InstallPrompts(std::move(m_previous)); }

}  // namespace win
