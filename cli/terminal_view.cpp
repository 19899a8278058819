// The terminal view of pixmora-batch and its printer thread.
#include "cli/terminal_view.h"

#include <condition_variable>
#include <deque>
#include <mutex>

#include "cli/escaped_text.h"
#include "cli/failure_text.h"

namespace pixmora {

namespace {

// Lines waiting beyond which a new progress line replaces the last waiting one.
constexpr std::size_t kWaitingLines = 64;

enum class LineKind { Progress, Message, EndProgress };

struct Line {
    LineKind kind;
    std::string text;
};

}  // namespace

// Shared with the printer thread, which may outlive the view when the stream blocks.
struct TerminalView::Printer {
    Printer(std::ostream& stream, bool terminal) : err(stream), err_is_terminal(terminal) {}

    void Add(Line line) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (line.kind == LineKind::Progress && waiting.size() >= kWaitingLines &&
                waiting.back().kind == LineKind::Progress)
                waiting.back() = std::move(line);
            else
                waiting.push_back(std::move(line));
        }
        changed.notify_all();
    }

    void Run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return !waiting.empty() || closing; });
            if (waiting.empty()) return;
            Line line = std::move(waiting.front());
            waiting.pop_front();
            printing = true;
            lock.unlock();
            Print(line);
            lock.lock();
            printing = false;
            changed.notify_all();
        }
    }

    // On the printer thread only.
    void Print(const Line& line) {
        switch (line.kind) {
            case LineKind::Progress:
                if (err_is_terminal) {
                    err << '\r' << line.text << "\x1b[K" << std::flush;
                    progress_line_open = true;
                } else {
                    err << line.text << '\n' << std::flush;
                }
                break;
            case LineKind::Message:
                EndProgressLine();
                err << line.text << '\n' << std::flush;
                break;
            case LineKind::EndProgress:
                EndProgressLine();
                break;
        }
    }

    void EndProgressLine() {
        if (!progress_line_open) return;
        err << '\n' << std::flush;
        progress_line_open = false;
    }

    std::ostream& err;
    const bool err_is_terminal;
    bool progress_line_open = false;  // printer thread only

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Line> waiting;
    bool printing = false;
    bool closing = false;
};

TerminalView::TerminalView(std::ostream& err, bool err_is_terminal)
    : printer_(std::make_shared<Printer>(err, err_is_terminal)) {
    thread_ = std::thread([printer = printer_] { printer->Run(); });
}

TerminalView::~TerminalView() {
    if (thread_.joinable()) Finish();
}

bool TerminalView::Finish(std::chrono::milliseconds limit) {
    if (!thread_.joinable()) return true;
    printer_->Add({LineKind::EndProgress, {}});
    std::unique_lock<std::mutex> lock(printer_->mutex);
    printer_->closing = true;
    printer_->changed.notify_all();
    const bool printed = printer_->changed.wait_for(
        lock, limit, [this] { return printer_->waiting.empty() && !printer_->printing; });
    lock.unlock();
    if (printed)
        thread_.join();
    else
        thread_.detach();
    return printed;
}

void TerminalView::SetStatusCaption(const std::string& text) {
    printer_->Add({LineKind::Progress, text});
}

void TerminalView::ShowFileFailure(const std::string& path, const FailureReason& reason) {
    printer_->Add(
        {LineKind::Message, EscapeControlCharacters(path + ": " + RunFailureText(reason))});
}

void TerminalView::ShowDamagedData(const std::string& path, const std::string& message) {
    ++damaged_files_;
    printer_->Add(
        {LineKind::Message, EscapeControlCharacters(path + ": damaged data: " + message)});
}

void TerminalView::ShowStopping() {
    printer_->Add(
        {LineKind::Message,
         "pixmora-batch: stopping after the file in progress (Ctrl-C again quits at once)"});
}

}  // namespace pixmora
