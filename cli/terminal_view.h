// The batch run's view on a terminal: progress and failure messages on the error stream,
// Ctrl-C as the Stop button.
#pragma once

#include <csignal>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "engine/batch_view.h"
#include "engine/file_entry.h"
#include "engine/run_state.h"

namespace pixmora {

class TerminalView : public BatchView {
public:
    // interrupts counts the Ctrl-C presses (set by the signal handler); on a terminal the
    // progress line is redrawn in place.
    TerminalView(std::vector<TListe_File>& files, RunState& state, std::ostream& err,
                 bool err_is_terminal, const volatile std::sig_atomic_t* interrupts, int32_t ratio,
                 bool fixed_folder_mode, std::string fixed_folder);

    // True when every file of the run was written and nothing failed.
    bool AllWritten() const;
    // Ends an open progress line.
    void Finish();

    void SetStartEnabled(bool) override {}
    void SetStopEnabled(bool) override {}
    void RefreshFileList() override;
    void SelectLine(int32_t) override {}
    void SetLineText(int32_t index, const std::string& text) override;
    int32_t SelectedLine() const override { return -1; }
    void ClearPicture() override {}
    void ShowImage(const TJPEGImage&) override {}
    void LoadPicture(const std::string&) override {}
    void ProcessPendingEvents() override { PollInterrupt(); }
    void SetMeasureText(MeasureLabel, const std::string&) override {}
    void SetStatusCaption(const std::string& text) override;
    void SetProgressMax(int32_t) override {}
    void SetProgressValue(int32_t) override { PollInterrupt(); }
    void RepaintProgress() override {}
    void ShowFailureMessage(const std::string& text) override;
    int32_t RatioInteger() const override { return ratio_; }
    bool FixedFolderMode() const override { return fixed_folder_mode_; }
    std::string FixedFolder() const override { return fixed_folder_; }

private:
    // A Ctrl-C counts as a Stop click handled now.
    void PollInterrupt();
    void EndProgressLine();

    std::vector<TListe_File>& files_;
    RunState& state_;
    std::ostream& err_;
    bool err_is_terminal_;
    const volatile std::sig_atomic_t* interrupts_;
    int32_t ratio_;
    bool fixed_folder_mode_;
    std::string fixed_folder_;
    bool progress_line_open_ = false;
    bool stop_announced_ = false;
    int failures_ = 0;
    std::set<int32_t> written_;
};

}  // namespace pixmora
