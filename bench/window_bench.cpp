// Benchmark driver of the main window, headless: the batch run as Start runs it, the drop
// of a folder of many small JPEG files (rebuild, header, first line previewed), with the
// list scrolled through afterwards, and the arrow keys held down a list of large photos.
//
//   window_bench run [--jobs N] OUTPUT_FOLDER PHOTO...
//       drops the photos, sets the ratio to 50 with OUTPUT_FOLDER as the fixed folder and
//       times Start; prints "run WALL_S CPU_S" (the run only, events included) and
//       "gap MS", the GUI thread's longest time away from its event loop meanwhile, then
//       "preview WALL_S CPU_S", the preview of the first line alone, from the click until
//       it is shown (made off the window's thread; a run's start previews nothing).
//   window_bench list CACHE_FOLDER SOURCE_PHOTO [COUNT] [REPEATS]
//       makes CACHE_FOLDER/COUNT/ once (COUNT hard links of one small JPEG made from
//       SOURCE_PHOTO, default 10000), then times the drop of one of its files and of the
//       whole folder on the list (the drop event and the list built after it; best of
//       REPEATS, default 3), and the scrolling of the list.
//   window_bench arrows PHOTO...
//       drops the photos, then presses the Down key every 40 ms (a held key's repeat) down
//       to the last line and waits for its preview; prints "arrows KEYS GAP_MS LAST_MS":
//       the longest the window's thread went without handling a 1 ms timer meanwhile, and
//       the time from the last key until the last line's preview was shown.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMimeData>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "engine/codec/jpeg_image.h"
#include "engine/resample/pixel_buffer.h"
#include "engine/resample/resize_to_ratio.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/uf_main.h"

namespace fs = std::filesystem;

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and processor time of one stretch of work.
class Stopwatch {
public:
    Stopwatch() : cpu_start_(CpuSeconds()) { wall_.start(); }
    double Wall() const { return static_cast<double>(wall_.nsecsElapsed()) * 1e-9; }
    double Cpu() const { return CpuSeconds() - cpu_start_; }

private:
    QElapsedTimer wall_;
    double cpu_start_;
};

// What the event loop still owes the user after a handler: the list's deferred layout and
// the repaints it asked for, then a paint of the whole window.
void Settle(pixmora::TF_Main& window) {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    window.repaint();
}

struct Timing {
    double wall;
    double cpu;
};

// Times `action` up to the point where the window has handled what it left to do.
template <typename Action>
Timing UntilSettled(pixmora::TF_Main& window, Action action) {
    const Stopwatch watch;
    action();
    Settle(window);
    return {watch.Wall(), watch.Cpu()};
}

// Handles the window's events until the preview last asked for is shown.
void UntilPreviewShown(pixmora::TF_Main& window) {
    while (window.PreviewPending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The window shown and activated once, as it comes up for a user; false when it never
// showed.
bool Bring(pixmora::TF_Main& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    Settle(window);
    return true;
}

// The longest stretch the GUI thread went without coming back to its event loop, seen by
// a timer that asks to run every millisecond: how long the window leaves the desktop
// unanswered.
class GapMeter {
public:
    GapMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, since_.restart()); });
        since_.start();
        timer_.start();
    }
    double LongestMs() const { return static_cast<double>(std::max(longest_, since_.elapsed())); }

private:
    QTimer timer_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
};

// Entered once the timed run, and then the timed preview, are over: a profiler cuts its
// counts there (bench/window_bench.sh --instructions).
[[gnu::noinline]] void RunReturned() { asm volatile(""); }
[[gnu::noinline]] void PreviewReturned() { asm volatile(""); }

int Run(pixmora::TF_Main& window, const std::string& output_folder,
        const std::vector<std::string>& photos) {
    // The fixed folder is only taken when it exists.
    fs::create_directories(output_folder);
    window.BTN_Clear_ListeClick();
    window.HandleDroppedFiles(photos);
    window.SetRatioText("50");
    window.SetSourceFolderSelected(false);
    window.SetFixFolderSelected(true);
    window.SetDestFolderText(output_folder);
    window.RDB_Source_FolderClick();
    Settle(window);

    // A failure box would wait for a click that never comes: each is closed and counted.
    int failures = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&failures] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
            ++failures;
        }
    });
    closer.start(100);

    double longest_gap = 0;
    const Timing run = UntilSettled(window, [&] {
        const GapMeter gaps;
        window.BTN_StartClick();
        while (window.Running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longest_gap = gaps.LongestMs();
    });
    RunReturned();

    // A line is marked processed only once its file is written.
    const pixmora::TImageListBox& list = *window.LBX_File;
    int written = 0;
    for (int line = 0; line < list.ItemCount(); ++line) {
        if (list.ItemText(line).endsWith("|1")) ++written;
    }
    if (written != static_cast<int>(photos.size()) || failures != 0) {
        std::fprintf(stderr, "window_bench: %d of %zu files written, %d failure boxes\n", written,
                     photos.size(), failures);
        return 1;
    }
    std::printf("run %.3f %.3f\n", run.wall, run.cpu);
    std::printf("gap %.1f\n", longest_gap);

    // The preview of line 0 on its own, until it is shown.
    window.SelectItem(0);
    const Timing preview = UntilSettled(window, [&] {
        window.LBX_FileClick();
        UntilPreviewShown(window);
    });
    PreviewReturned();
    std::printf("preview %.3f %.3f\n", preview.wall, preview.cpu);
    return 0;
}

// COUNT hard links of one small JPEG; made once, kept for later runs.
std::string FolderOfSmallFiles(const std::string& cache, const std::string& source, int count) {
    const fs::path folder = fs::path(cache) / std::to_string(count);
    const fs::path done = fs::path(cache) / (std::to_string(count) + ".done");
    if (fs::exists(done)) return folder.string();
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path model = fs::path(cache) / "small.jpg";
    {
        pixmora::TJPEGImage image;
        pixmora::TPixelBuffer target;
        image.LoadFromFile(source);
        pixmora::ResizeToRatio(image, target, 5);
        image.SaveToFile(model.string());
    }
    char name[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "photo_%05d.jpg", i);
        std::error_code ec;
        fs::create_hard_link(model, folder / name, ec);
        if (ec) fs::copy_file(model, folder / name);
    }
    std::FILE* mark = std::fopen(done.string().c_str(), "w");
    if (mark) std::fclose(mark);
    return folder.string();
}

// Drops `names` on the list as a file manager does: the drag entering, then the drop. The
// list is built from the event loop once the drop has been answered.
void DropOnTheList(pixmora::TF_Main& window, const std::vector<std::string>& names) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& name : names)
        urls.append(QUrl::fromLocalFile(QString::fromStdString(name)));
    data.setUrls(urls);
    QWidget* target = window.LBX_File->viewport();
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// The best wall and processor times of `repeats` drops of `names` on an emptied list.
Timing BestDrop(pixmora::TF_Main& window, const std::vector<std::string>& names, int repeats) {
    Timing best{1e30, 1e30};
    for (int i = 0; i < repeats; ++i) {
        window.BTN_Clear_ListeClick();
        Settle(window);
        const Timing drop = UntilSettled(window, [&] { DropOnTheList(window, names); });
        // The preview of the first line is made off the window's thread: it is let finish
        // outside the timing, so that it does not weigh on the next drop.
        UntilPreviewShown(window);
        best.wall = std::min(best.wall, drop.wall);
        best.cpu = std::min(best.cpu, drop.cpu);
    }
    return best;
}

int List(pixmora::TF_Main& window, const std::string& cache, const std::string& source, int count,
         int repeats) {
    const std::string folder = FolderOfSmallFiles(cache, source, count);
    pixmora::TImageListBox& list = *window.LBX_File;

    const Timing one = BestDrop(window, {folder + "/photo_00000.jpg"}, repeats);
    const Timing all = BestDrop(window, {folder}, repeats);
    if (list.ItemCount() != count || window.Files.size() != static_cast<std::size_t>(count)) {
        std::fprintf(stderr, "window_bench: %d lines listed, %d expected\n", list.ItemCount(),
                     count);
        return 1;
    }
    std::printf("drop of 1 file:      %8.1f ms wall %8.1f ms cpu (its preview made apart)\n",
                one.wall * 1e3, one.cpu * 1e3);
    std::printf("drop of %d files: %8.1f ms wall %8.1f ms cpu\n", count, all.wall * 1e3,
                all.cpu * 1e3);
    std::printf("beyond the drop of 1 file: %.1f ms wall, %.1f ms cpu (goal <= 1000 ms)\n",
                (all.wall - one.wall) * 1e3, (all.cpu - one.cpu) * 1e3);

    // Scrolling: a page at a time through the whole list, each page painted at once.
    QScrollBar& bar = *list.verticalScrollBar();
    bar.setValue(0);
    Settle(window);
    double slowest = 0;
    int pages = 0;
    const Stopwatch scroll;
    while (bar.value() < bar.maximum()) {
        const Stopwatch page;
        bar.setValue(bar.value() + bar.pageStep());
        list.viewport()->repaint();
        slowest = std::max(slowest, page.Wall());
        ++pages;
    }
    const QList<QWidget*> children =
        list.viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::printf(
        "scrolling: %d pages, %.2f ms a page on average, slowest %.2f ms; "
        "uniform item sizes %s, %lld widgets in the list\n",
        pages, pages ? scroll.Wall() * 1e3 / pages : 0.0, slowest * 1e3,
        list.uniformItemSizes() ? "yes" : "no", static_cast<long long>(children.size()));
    return 0;
}

// The arrow keys held down the list of photos while a fast timer on the window's thread
// notes the longest it waited for its turn: a preview made on that thread would show as a
// gap of its whole length.
int Arrows(pixmora::TF_Main& window, const std::vector<std::string>& photos) {
    constexpr int kKeyRepeat = 40;  // ms, the usual repeat of a held key
    window.BTN_Clear_ListeClick();
    window.SetRatioText("50");
    window.HandleDroppedFiles(photos);
    UntilPreviewShown(window);
    Settle(window);
    pixmora::TImageListBox& list = *window.LBX_File;
    const int lines = list.ItemCount();
    if (lines < 2) {
        std::fprintf(stderr, "window_bench: %d lines listed, at least 2 needed\n", lines);
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    std::optional<GapMeter> gaps;

    int pressed = 0;
    qint64 last_key = 0;
    QTimer keys;
    keys.setTimerType(Qt::PreciseTimer);
    keys.setInterval(kKeyRepeat);
    QObject::connect(&keys, &QTimer::timeout, [&] {
        QTest::keyClick(&list, Qt::Key_Down);
        last_key = clock.nsecsElapsed();
        if (++pressed == lines - 1) keys.stop();
    });

    QEventLoop loop;
    qint64 shown = 0;
    QTimer done;
    done.setInterval(1);
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (keys.isActive() || window.PreviewPending()) return;
        shown = clock.nsecsElapsed();
        loop.quit();
    });
    gaps.emplace();
    keys.start();
    done.start();
    loop.exec();
    const double longest_gap = gaps->LongestMs();
    gaps.reset();

    const std::string expected = "Width : " + std::to_string([&] {
                                     pixmora::TJPEGImage last;
                                     last.LoadFromFile(photos.back());
                                     return last.Width();
                                 }());
    if (list.ItemIndex() != lines - 1 || window.LBL_Width->text().toStdString() != expected) {
        std::fprintf(stderr, "window_bench: line %d shows \"%s\", line %d \"%s\" expected\n",
                     list.ItemIndex(), window.LBL_Width->text().toStdString().c_str(), lines - 1,
                     expected.c_str());
        return 1;
    }
    std::printf("arrows %d %.1f %.1f\n", pressed, longest_gap,
                static_cast<double>(shown - last_key) * 1e-6);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // "run --jobs N ...": the run's files in progress at once (default one per core).
    int jobs = 0;
    if (args.size() >= 3 && args[0] == "run" && args[1] == "--jobs") {
        jobs = std::atoi(args[2].c_str());
        args.erase(args.begin() + 1, args.begin() + 3);
    }
    const bool run = args.size() >= 3 && args[0] == "run";
    const bool list = args.size() >= 3 && args.size() <= 5 && args[0] == "list";
    const bool arrows = args.size() >= 3 && args[0] == "arrows";
    if (!run && !list && !arrows) {
        std::fprintf(stderr,
                     "usage: %s run [--jobs N] OUTPUT_FOLDER PHOTO...\n"
                     "       %s list CACHE_FOLDER SOURCE_PHOTO [COUNT] [REPEATS]\n"
                     "       %s arrows PHOTO...\n",
                     argv[0], argv[0], argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A first start every time: no settings of an earlier run, nothing in the user's folder.
    QTemporaryDir data_home;
    if (!data_home.isValid()) return 1;
    qputenv("XDG_DATA_HOME", data_home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", data_home.path().toLocal8Bit());

    QApplication app(argc, argv);
    pixmora::TF_Main window;
    // The delayed update check would reach for the network and may ask a question that
    // nobody answers; the figures are about the run and the list.
    window.TMR_Update->stop();
    window.RunJobs = jobs;
    if (!Bring(window)) {
        std::fprintf(stderr, "window_bench: the window was never shown\n");
        return 1;
    }
    try {
        if (run) {
            return Run(window, args[1], std::vector<std::string>(args.begin() + 2, args.end()));
        }
        if (arrows) return Arrows(window, std::vector<std::string>(args.begin() + 1, args.end()));
        const int count = args.size() > 3 ? std::atoi(args[3].c_str()) : 10000;
        const int repeats = args.size() > 4 ? std::max(1, std::atoi(args[4].c_str())) : 3;
        return List(window, args[1], args[2], std::max(1, count), repeats);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "window_bench: %s\n", failure.what());
        return 1;
    }
}
