// The main window: the file list, the preview with its figures before and after, the
// ratio and destination settings, the Start, Stop and Clear list buttons, the link buttons,
// the processing caption, the progress bar and the status bar.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include "collect/file_list_view.h"
#include "collect/form_placement.h"
#include "collect/placement_window_view.h"
#include "collect/settings_view.h"
#include "engine/codec/jpeg_image.h"
#include "engine/files/file_entry.h"
#include "engine/run/batch_run.h"
#include "engine/run/batch_run_view.h"
#include "engine/run/latest_mailbox.h"
#include "engine/run/measure_label.h"
#include "engine/run/preview.h"
#include "engine/run/preview_worker.h"
#include "engine/run/run_control.h"
#include "engine/run/run_phase.h"
#include "engine/run/run_state.h"
#include "ui/bitmap_file_loader.h"
#include "ui/bitmap_list.h"
#include "ui/failure_box.h"
#include "ui/wake_target.h"
#include "update/http_client.h"

class QTimer;

namespace pixmora {

class AnchorLayout;
class TBrowseEdit;
class TGroupBox;
class TImage;
class TImageListBox;
class TLabel;
class TMaskEdit;
class TPanelFill;
class TProgressFill;
class TRadioButton;
class TSimpleLabel;
class TSpeedButton;
class TStatusBar;

class TDropTarget;
class TF_Update;
class VersionFetchJob;

// The window is the view of everything it drives: the batch run and the preview, the list
// rebuild, the settings load and save, and the placement store.
class TF_Main : public QWidget,
                public BatchRunView,
                public FileListView,
                public SettingsView,
                public PlacementWindowView {
    Q_OBJECT
public:
    // The designed client area, also the smallest one.
    static constexpr int kClientWidth = 484;
    static constexpr int kClientHeight = 509;
    // How long after showing a window manager may take to frame the window (ms); a window
    // still without a frame by then is taken to get none.
    static constexpr int kFrameWait = 3000;

    // Builds the controls, hooks the placement store and runs FormCreate.
    explicit TF_Main(QWidget* parent = nullptr);
    ~TF_Main() override;

    std::string AppName;
    std::string AppVersion;
    std::string VersionFileUrl;
    std::string DownloadUrl;
    std::string SiteUrl;
    std::string DataDir;
    std::vector<TListe_File> Files;
    RunState Run;  // FileCount and StopRequested of the run under way
    TFormPlacement FST_F_Main;

    // What the update check uses besides the members above; tests replace them: the time
    // limits of its request, the program file whose age counts (the running executable when
    // empty), and how the program is asked to end after the download was accepted.
    HttpClientSettings UpdateRequestSettings;
    std::filesystem::path ProgramFile;
    std::function<void()> RequestTermination;

    // Non-visual parts: the list's status images (0 not processed, 1 processed) and the
    // delayed update check's timer (10 s, one tick, off until started).
    TBitmapList BML_1;
    QTimer* TMR_Update;

    TPanelFill* PNL_Global;
    TProgressFill* PGB_Progression;
    TSpeedButton* BTN_Paypal;
    TSpeedButton* BTN_Update;
    TSpeedButton* BTN_Site_Tolvek;
    TSimpleLabel* LBL_Update;
    TSimpleLabel* LBL_Site_Tolvek;
    TSimpleLabel* LBL_Paypal;

    TPanelFill* PNL_Datas;
    TLabel* LBL_Ratio;
    TMaskEdit* EDT_Ratio;
    TLabel* LBL_U_Ratio;
    TGroupBox* RDG_Destination_Folder;
    TRadioButton* RDB_Source_Folder;
    TRadioButton* RDB_Fix_Folder;
    TBrowseEdit* DED_Dest_Folder;
    TSpeedButton* BTN_Start;
    TSpeedButton* BTN_Stop;
    TSpeedButton* BTN_Clear_Liste;

    TPanelFill* PNL_Before;
    TPanelFill* PNL_Titre_Before;
    TLabel* LBL_Width;
    TLabel* LBL_Height;
    TLabel* LBL_Size;
    TPanelFill* PNL_After;
    TPanelFill* PNL_Titre_After;
    TLabel* LBL_Width_New;
    TLabel* LBL_Height_New;
    TLabel* LBL_Size_New;

    TPanelFill* PNL_Process;
    TStatusBar* STB_Main;
    TPanelFill* PNL_Img;
    TImage* IMG_Source;

    TPanelFill* PNL_Liste_Global;
    TPanelFill* PNL_Liste_Entete;
    TPanelFill* PNL_Dir_Source;
    TLabel* LBL_Dir_Source;
    TBrowseEdit* DED_Dir_Source;
    TImageListBox* LBX_File;
    TPanelFill* PNL_Liste;
    TImage* IMG_Liste;
    TLabel* LBL_Info_DDP;

    // The handlers. Qt calls them through one guard that shows what escapes them.
    void FormCreate();
    void FormActivate();
    void FormClose();
    void TMR_UpdateTimer();
    void BTN_StartClick();
    void BTN_StopClick();
    void BTN_Clear_ListeClick();
    void LBX_FileClick();
    void DED_Dir_SourceBrowse() override;
    void RDB_Source_FolderClick() override;
    void BTN_UpdateClick();
    void BTN_Site_TolvekClick();
    void BTN_PaypalClick();
    // The update check once its request has returned (on this thread): the age rule, the
    // dialog and the answer.
    void UpdateVersionFetched();
    // Takes the names of one drop on the list or the drop hint, in the drop's order.
    void HandleDroppedFiles(const std::vector<std::string>& names);

    // The batch run behind Start: the list resized by workers, one per online core, while
    // this thread only starts files and shows them.
    void RunBatch();
    // Whether a batch run is under way (it may be stopping).
    bool Running() const { return run_phase_.Running(); }
    // Files in progress at once in a run; 0, the start, means one per online core.
    int RunJobs = 0;
    // Whether the preview last asked for is still being made: the box and the figures show
    // the one before it until then.
    bool PreviewPending() const { return preview_pending_; }
    // "datas.ini" in the data folder; "" without one.
    std::string SettingsFile() const;

    // What the run and the preview show on the window, and read from it.
    void SetStartEnabled(bool enabled);
    void SetStopEnabled(bool enabled);
    // Rebuilds the list from Files (every line "|0", names derived, line 0 selected and
    // previewed).
    void RefreshFileList();
    // Selects line i from the program (no preview); replaces line i's text.
    void SelectLine(int32_t index);
    void SetLineText(int32_t index, const std::string& text);
    // The selected line, -1 when none.
    int32_t SelectedLine() const;
    void ClearPicture();
    void SetMeasureText(MeasureLabel label, const std::string& text);
    void SetStatusCaption(const std::string& text);  // PNL_Process
    void SetProgressMax(int32_t max);
    void SetProgressValue(int32_t value);
    void RepaintProgress();
    // The modal failure message; returns when the user has closed it.
    void ShowFailureMessage(const std::string& text);
    // Read anew at each use: the ratio box's integer, the fixed-folder choice, its folder.
    int32_t RatioInteger() const;
    bool FixedFolderMode() const;
    std::string FixedFolder() const;

    // BatchRunView
    bool StartFile(int32_t index, TListe_File& entry, FileSettings& settings) override;
    void FileDone(int32_t index, const TListe_File& entry, const FileResult& result,
                  int32_t processed) override;
    void Wake() override;

    // FileListView
    void ClearItems() override;
    void AddItem(const std::string& text) override;
    int ItemCount() const override;
    void SelectItem(int index) override;
    void SetHeaderText(const std::string& text) override;
    void SetDropHintVisible(bool visible) override;
    void ListClicked() override;

    // SettingsView
    void SetRatioText(const std::string& text) override;
    int32_t RatioValue() const override;
    void SetSourceFolderSelected(bool selected) override;
    void SetFixFolderSelected(bool selected) override;
    bool IsFixFolderSelected() const override;
    std::string DestFolderText() const override;
    void SetDestFolderText(const std::string& text) override;
    std::string SourceFolderText() const override;

    // PlacementWindowView
    WindowPlacement GetPlacement() const override;
    void SetPlacement(const WindowPlacement& placement) override;
    bool IsVisible() const override;
    bool IsMainWindow() const override;
    bool IsProgramMinimised() const override;
    BorderStyle Border() const override;
    PlacementRect Bounds() const override;
    bool IsPlacedByCentring() const override;
    void PlaceByOwnCoordinates() override;
    ScreenSize PrimaryScreenSize() const override;
    int32_t PixelsPerInch() const override;
    PlacementPoint FrameSize(FrameMetric metric) const override;
    void Repaint() override;
    void ShowError(const std::string& text) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildGlobal();
    void BuildListArea();
    void BuildSettings();
    void BuildFigures();
    void BuildPreview();
    void Wire();
    void SetTabOrder();
    // Runs a handler inside the guard that shows a failure leaving it.
    void Dispatch(void (TF_Main::*handler)());
    // Whether the first activation has run LoadSettings.
    void ActivateOnce();
    // Shows what the run's workers have done and starts files; ends the run once it has
    // returned.
    void PumpRun();
    // Asks the run under way to start no new file.
    void StopRunUnderWay();
    // Puts the window back at the placement waiting for the window manager's frame.
    void SettlePlacement();
    void WaitForFrame();

    // The update check under way: its dialog and its request, off this thread.
    std::unique_ptr<TF_Update> update_dialog_;
    TWakeTarget update_fetched_{[this] { Dispatch(&TF_Main::UpdateVersionFetched); }};
    std::unique_ptr<VersionFetchJob> update_fetch_;

    TDropTarget* list_drop_ = nullptr;
    TDropTarget* hint_drop_ = nullptr;
    bool activated_ = false;
    // The run: its phase, and while one is under way its stop requests and itself.
    WindowRunPhase run_phase_;
    // Where the run's workers ask for a PumpRun; it outlives the run.
    TWakeTarget run_wake_{[this] { RunGuarded(this, [this] { PumpRun(); }); }};
    std::atomic<bool> run_woken_{false};  // a PumpRun is queued
    std::unique_ptr<RunControl> run_control_;
    std::unique_ptr<BatchRun> run_;
    bool placement_pending_ = false;
    QElapsedTimer shown_;         // since the window was first shown
    PlacementRect placed_frame_;  // the outer rectangle the store asked for
    PlacementPoint max_position_{-1, -1};

    // The preview of the chosen line, made on a thread of its own (uf_main_preview.cpp).
    // A click or a key reports the preview's failures; a list rebuild keeps them.
    void RequestPreview(bool report_failure);
    // The empty preview, at once; a preview still being made will not be shown.
    void ShowBlankPreview();
    void PreviewArrived(uint64_t generation, const PreviewResult& result);
    uint64_t preview_generation_ = 0;  // of the newest request: others' results are stale
    bool preview_pending_ = false;     // the newest request's result is still to come
    bool preview_reports_ = false;     // the newest request shows its failure
    // Made at the first request. The worker, declared last, stops first; the object that
    // finished previews are posted to goes right after it, and its posted results with it.
    std::unique_ptr<TBitmapFileLoader> preview_bitmaps_;
    LatestMailbox<std::pair<uint64_t, PreviewResult>> preview_arrivals_;
    TWakeTarget preview_events_{[this] {
        if (auto arrived = preview_arrivals_.Take())
            PreviewArrived(arrived->first, arrived->second);
    }};
    std::unique_ptr<PreviewWorker> preview_worker_;
};

}  // namespace pixmora
