#include "platform/win/UserPrompts.h"

namespace win {

namespace {

class SilentPrompts final : public UserPrompts {
public:
    int ShowMessageBox(const MessageBoxRequest& request) override {
        switch (request.buttons) {
            case Buttons::Ok: return IDOK;
            case Buttons::YesNo: return IDNO;
            default: return IDCANCEL;
        }
    }
    std::optional<std::uint32_t> ChooseColor(QWidget*, std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseOpenFile(const FileChooserRequest&) override { return std::nullopt; }
    std::optional<std::string> ChooseSaveFile(const FileChooserRequest&) override { return std::nullopt; }
    std::optional<std::string> PromptText(const TextPromptRequest&) override { return std::nullopt; }
    bool IsShiftDown() override { return false; }
};

std::unique_ptr<UserPrompts>& Installed() {
    static std::unique_ptr<UserPrompts> installed = std::make_unique<SilentPrompts>();
    return installed;
}

}  // namespace

UserPrompts& Prompts() { return *Installed(); }

std::unique_ptr<UserPrompts> InstallPrompts(std::unique_ptr<UserPrompts> prompts) {
    if (!prompts) prompts = std::make_unique<SilentPrompts>();
    std::swap(Installed(), prompts);
    return prompts;
}

int MessageBox(QWidget* owner, const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
    return Prompts().ShowMessageBox({owner, text, caption, buttons, icon});
}

}  // namespace win
