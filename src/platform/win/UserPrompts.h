#pragma once
// The one seam through which the system waits for a person: message boxes, the colour chooser, the
// file choosers, the name prompt and the SHIFT key state. The application installs the Qt
// implementation at start-up; tests install ScriptedPrompts, which answers from a queue and records
// every question. Texts are UTF-8 (converted from code page 932 by the caller where needed).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace win {

// Buttons and answers of a message box (the classic values, so callers can compare them directly).
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Icon { None, Information, Warning, Error, Question };
enum Answer : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    std::string text;
    std::string caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

struct FileChooserRequest {
    QWidget* owner = nullptr;
    std::string caption;
    std::string filter;       // Qt filter text, e.g. "シーンデータ (*.mrs)"
    std::string initialPath;  // folder or file the chooser starts at
    // Save chooser only: the extension (without the dot) the chooser itself adds to a name typed
    // without one, before it asks about overwriting, so that the question is about the file that
    // will be written. Once the person picks another filter, that filter's first pattern gives it;
    // the chooser opens on the filter that matches the initial file's extension. Empty: none added.
    std::string defaultSuffix;
};

struct TextPromptRequest {
    QWidget* owner = nullptr;
    std::string caption;
    std::string label;
    std::string initialText;
    // The most characters the field takes (0: no limit).
    int maxLength = 0;
    // The cancel button's text ("" keeps the system's own).
    std::string cancelText;
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // Colour in window order 0x00BBGGRR; no value when the person cancels.
    virtual std::optional<std::uint32_t> ChooseColor(QWidget* owner, std::uint32_t initialBgr) = 0;
    virtual std::optional<std::string> ChooseOpenFile(const FileChooserRequest& request) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const FileChooserRequest& request) = 0;
    virtual std::optional<std::string> PromptText(const TextPromptRequest& request) = 0;
    virtual bool IsShiftDown() = 0;
};

// The installed implementation. Before anything is installed a silent default answers every
// question with its cancel/no/ok equivalent and reports SHIFT as released.
UserPrompts& Prompts();
// Installs `prompts` and returns the previous implementation (for tests that restore it).
std::unique_ptr<UserPrompts> InstallPrompts(std::unique_ptr<UserPrompts> prompts);

// Shorthand for the common case of a message box.
int MessageBox(QWidget* owner, const std::string& text, const std::string& caption = "Marisole",
               Buttons buttons = Buttons::Ok, Icon icon = Icon::None);

}  // namespace win
