// The terminal view of pixmora-batch.
#include "cli/terminal_view.h"

#include "collect/file_list.h"
#include "collect/file_list_view.h"

namespace pixmora {

namespace {

// The list as a terminal has it: nothing to draw and no preview.
class SilentListView : public FileListView {
public:
    void ClearItems() override { items_ = 0; }
    void AddItem(const std::string&) override { ++items_; }
    int ItemCount() const override { return items_; }
    void SelectItem(int) override {}
    void SetHeaderText(const std::string&) override {}
    void SetDropHintVisible(bool) override {}
    void ListClicked() override {}

private:
    int items_ = 0;
};

}  // namespace

TerminalView::TerminalView(std::vector<TListe_File>& files, RunState& state, std::ostream& err,
                           bool err_is_terminal, const volatile std::sig_atomic_t* interrupts,
                           int32_t ratio, bool fixed_folder_mode, std::string fixed_folder)
    : files_(files),
      state_(state),
      err_(err),
      err_is_terminal_(err_is_terminal),
      interrupts_(interrupts),
      ratio_(ratio),
      fixed_folder_mode_(fixed_folder_mode),
      fixed_folder_(std::move(fixed_folder)) {}

bool TerminalView::AllWritten() const {
    return failures_ == 0 && written_.size() == static_cast<std::size_t>(state_.FileCount);
}

void TerminalView::Finish() { EndProgressLine(); }

void TerminalView::RefreshFileList() {
    SilentListView list;
    pixmora::RefreshFileList(files_, list);
    written_.clear();  // a rebuild clears every mark
}

void TerminalView::SetLineText(int32_t index, const std::string& text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "|1") == 0) written_.insert(index);
}

void TerminalView::SetStatusCaption(const std::string& text) {
    PollInterrupt();
    if (err_is_terminal_) {
        err_ << '\r' << text << "\x1b[K" << std::flush;
        progress_line_open_ = true;
    } else {
        err_ << text << '\n' << std::flush;
    }
}

void TerminalView::ShowFailureMessage(const std::string& text) {
    EndProgressLine();
    err_ << text << '\n' << std::flush;
    ++failures_;
}

void TerminalView::PollInterrupt() {
    if (interrupts_ == nullptr || *interrupts_ == 0) return;
    state_.StopRequested = true;
    if (!stop_announced_) {
        EndProgressLine();
        err_ << "pixmora-batch: stopping after the file in progress (Ctrl-C again quits at once)\n"
             << std::flush;
        stop_announced_ = true;
    }
}

void TerminalView::EndProgressLine() {
    if (!progress_line_open_) return;
    err_ << '\n' << std::flush;
    progress_line_open_ = false;
}

}  // namespace pixmora
