#pragma once
// The UserPrompts of the running application: Qt message boxes, colour and file dialogs, an input
// dialog, and the keyboard modifiers for SHIFT.

#include <QString>

#include "platform/win/UserPrompts.h"

class QFileDialog;

namespace win {

class QtPrompts final : public UserPrompts {
public:
    int ShowMessageBox(const MessageBoxRequest& request) override;
    std::optional<std::uint32_t> ChooseColor(QWidget* owner, std::uint32_t initialBgr) override;
    std::optional<std::string> ChooseOpenFile(const FileChooserRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const FileChooserRequest& request) override;
    std::optional<std::string> PromptText(const TextPromptRequest& request) override;
    bool IsShiftDown() override;

    // Makes `dialog` the save chooser of `request`: save mode, and the default suffix that follows
    // the chosen filter (see FileChooserRequest::defaultSuffix).
    static void ConfigureSaveChooser(QFileDialog& dialog, const FileChooserRequest& request);
    // The extension of a filter's first "*.ext" pattern ("PNG (*.png)" → "png"); empty when none.
    static QString SuffixOfFilter(const QString& filter);
};

}  // namespace win
