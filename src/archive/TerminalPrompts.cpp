#include "archive/TerminalPrompts.h"

int TerminalPrompts::ShowMessageBox(const win::MessageBoxRequest& request) {
    m_out << request.caption << ": " << request.text << '\n';
    switch (request.buttons) {
        case win::Buttons::Ok:
            return win::IDOK;
        case win::Buttons::YesNo:
            return win::IDNO;
        case win::Buttons::AbortRetryIgnore:
            return win::IDABORT;
        default:
            return win::IDCANCEL;
    }
}
