#pragma once
// The UserPrompts of the running application: Qt message boxes, colour and file dialogs, an input
// dialog, and the keyboard modifiers for SHIFT.

#include "platform/win/UserPrompts.h"

namespace win {

class QtPrompts final : public UserPrompts {
public:
    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::uint32_t> ChooseColor(QWidget* owner, std::uint32_t initialBgr) override;
    std::optional<std::string> ChooseOpenFile(const FileChooserRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const FileChooserRequest& request) override;
    std::optional<std::string> PromptText(const TextPromptRequest& request) override;
    bool IsShiftDown() override;
};

}  // namespace win
