// The terminal view of pixmora-batch.
#include "cli/terminal_view.h"

#include "cli/escaped_text.h"
#include "cli/failure_text.h"

namespace pixmora {

TerminalView::TerminalView(std::ostream& err, bool err_is_terminal)
    : err_(err), err_is_terminal_(err_is_terminal) {}

void TerminalView::Finish() { EndProgressLine(); }

void TerminalView::SetStatusCaption(const std::string& text) {
    if (err_is_terminal_) {
        err_ << '\r' << text << "\x1b[K" << std::flush;
        progress_line_open_ = true;
    } else {
        err_ << text << '\n' << std::flush;
    }
}

void TerminalView::ShowFileFailure(const std::string& path, const FailureReason& reason) {
    EndProgressLine();
    err_ << EscapeControlCharacters(path + ": " + RunFailureText(reason)) << '\n' << std::flush;
}

void TerminalView::ShowStopping() {
    EndProgressLine();
    err_ << "pixmora-batch: stopping after the file in progress (Ctrl-C again quits at once)\n"
         << std::flush;
}

void TerminalView::EndProgressLine() {
    if (!progress_line_open_) return;
    err_ << '\n' << std::flush;
    progress_line_open_ = false;
}

}  // namespace pixmora
