// The main window's handlers: start-up, first activation, closing, the run's buttons, the
// list's click, drops and browsing, and the destination choice.
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QTimer>

#include "collect/data_folder.h"
#include "collect/file_list.h"
#include "collect/settings.h"
#include "engine/run/batch_run.h"
#include "engine/run/online_cores.h"
#include "ui/browse_edit.h"
#include "ui/drop_target.h"
#include "ui/failure_box.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/native_text.h"
#include "ui/panel_fill.h"
#include "ui/radio_button.h"
#include "ui/simple_label.h"
#include "ui/status_bar.h"
#include "ui/uf_main.h"
#include "ui/uf_update.h"
#include "update/app_identity.h"
#include "update/version_check.h"
#include "update/version_fetch_job.h"

namespace pixmora {

namespace {

constexpr int kFramePoll = 50;

}  // namespace

void TF_Main::Dispatch(void (TF_Main::*handler)()) {
    RunGuarded(this, [&] { (this->*handler)(); });
}

std::string TF_Main::SettingsFile() const { return SettingsFilePath(DataDir); }

void TF_Main::FormCreate() {
    try {
        AppName = kAppName;
        VersionFileUrl = pixmora::VersionFileUrl();
        DownloadUrl = pixmora::DownloadUrl();
        SiteUrl = pixmora::SiteUrl();
        AppVersion = kAppVersion;
        LBL_Site_Tolvek->SetJump(FromNative(SiteUrl));
        LBL_Update->SetJump(FromNative(DownloadUrl));
        STB_Main->SetPanelText(QString::fromLatin1(kContactAddress) + "  |  Pixmora " +
                               FromNative(AppVersion));
        DataDir = SetUpDataDir(DataFolderEnvironment::FromProcess());
        FST_F_Main.SetIniFileName(SettingsFile());
        FST_F_Main.SetIniSection("F_Main");
        const DropHandler drop = [this](const std::vector<std::string>& names) {
            RunGuarded(this, [&] { HandleDroppedFiles(names); });
        };
        list_drop_ = new TDropTarget(LBX_File->viewport(), drop);
        hint_drop_ = new TDropTarget(PNL_Liste, drop);
        Files.clear();
        TMR_Update->start();
    } catch (...) {
        // The window comes up with what was set before the failure.
    }
}

void TF_Main::FormActivate() {
    try {
        LoadSettings(SettingsFile(), *this);
    } catch (...) {
        // The window keeps its start-up state.
    }
}

void TF_Main::FormClose() {
    try {
        SaveSettings(SettingsFile(), *this);
    } catch (...) {
        // Closing goes on.
    }
}

void TF_Main::TMR_UpdateTimer() {
    TMR_Update->stop();
    if (update_dialog_) return;
    update_dialog_ = std::make_unique<TF_Update>(this);
    update_dialog_->AppName = AppName;
    update_dialog_->VersionFileUrl = VersionFileUrl;
    update_dialog_->CurrentVersion = AppVersion;
    // The request runs off this thread so the window keeps painting and taking input; the
    // rest of the check comes back here as an event, handled like the timer's tick was.
    update_fetch_ = std::make_unique<VersionFetchJob>(
        update_dialog_->VersionFileUrl, UpdateRequestSettings, [this] { update_fetched_.Wake(); });
}

void TF_Main::UpdateVersionFetched() {
    const std::unique_ptr<VersionFetchJob> fetch = std::move(update_fetch_);
    const std::unique_ptr<TF_Update> dialog = std::move(update_dialog_);
    // A window already closed asks nothing more.
    if (!fetch || !dialog || run_phase_.Leaving()) return;
    dialog->LatestVersion = fetch->Result().latest_version;
    UpdateCheckInputs inputs = RunningProgramUpdateCheckInputs();
    inputs.app_name = dialog->AppName;
    inputs.current_version = dialog->CurrentVersion;
    inputs.version_file_url = dialog->VersionFileUrl;
    if (!ProgramFile.empty()) inputs.program_file = ProgramFile;
    if (!FinishUpdateCheck(inputs, fetch->Result()).show_dialog) return;
    if (dialog->exec() != TF_Update::kAnswerDownload) return;
    // Ending the program for the download loses nothing: the settings are saved as a close
    // would save them (the placement is saved when the window is destroyed), and a run
    // under way ends after the file in progress.
    FormClose();
    LBL_Update->Click();
    if (run_phase_.DownloadAccepted()) {
        RequestTermination();
    } else {
        StopRunUnderWay();
        SetStartEnabled(true);
        SetStopEnabled(false);
    }
}

void TF_Main::BTN_StartClick() {
    // Start is usable again as soon as Stop is pressed, but the stopped run is still
    // finishing its files: the new run begins after it, never beside it.
    if (run_phase_.StartClicked()) RunBatch();
}

void TF_Main::RunBatch() {
    SetStartEnabled(false);
    SetStopEnabled(true);
    Run.StopRequested = false;
    Run.FileCount = static_cast<int32_t>(Files.size());
    try {
        RefreshFileList();
    } catch (...) {
        // The rebuild keeps its own failures; the run goes on with the entries it counted.
    }
    SetStatusCaption(ProcessingText(0, Run.FileCount));
    SetProgressMax(Run.FileCount);
    SetProgressValue(0);
    RepaintProgress();
    BatchRunOptions options;
    options.jobs = RunJobs > 0 ? RunJobs : OnlineCores();
    run_control_ = std::make_unique<RunControl>();
    run_ = std::make_unique<BatchRun>(Run.FileCount, options, *run_control_, *this);
    PumpRun();
}

void TF_Main::Wake() {
    // From a worker: one queued call at a time is enough, it looks at everything done.
    if (run_woken_.exchange(true)) return;
    run_wake_.Wake();
}

void TF_Main::PumpRun() {
    run_woken_ = false;
    if (!run_ || !run_->Pump()) return;
    run_.reset();
    run_control_.reset();
    SetStartEnabled(true);
    SetStopEnabled(false);
    switch (run_phase_.RunReturned()) {
        case AfterRun::Nothing:
            break;
        case AfterRun::StartAgain:
            QTimer::singleShot(0, this, [this] { Dispatch(&TF_Main::BTN_StartClick); });
            break;
        case AfterRun::Close:
            QTimer::singleShot(0, this, &QWidget::close);
            break;
        case AfterRun::EndProgram:
            RequestTermination();
            break;
    }
}

void TF_Main::StopRunUnderWay() {
    Run.StopRequested = true;
    if (run_control_) run_control_->RequestStop();
    // With nothing in progress the run returns at once.
    Wake();
}

void TF_Main::BTN_StopClick() {
    if (run_phase_.StopClicked()) StopRunUnderWay();
    SetStartEnabled(true);
    SetStopEnabled(false);
}

void TF_Main::BTN_Clear_ListeClick() {
    Files.clear();
    RefreshFileList();
    LBX_FileClick();
}

void TF_Main::LBX_FileClick() {
    // Made off this thread: the box and the figures keep the last preview until the new one
    // is ready, and its failure is shown when it comes.
    RequestPreview(true);
}

void TF_Main::DED_Dir_SourceBrowse() {
    try {
        AddFilesFromFolder(Files, SourceFolderText(), "jpg");
        RefreshFileList();
    } catch (...) {
        // A folder that cannot be scanned adds nothing.
    }
}

void TF_Main::RDB_Source_FolderClick() {
    // The fixed folder is only asked for when it is the chosen destination; its text stays.
    DED_Dest_Folder->setEnabled(RDB_Fix_Folder->Checked());
}

void TF_Main::BTN_UpdateClick() { LBL_Update->Click(); }
void TF_Main::BTN_Site_TolvekClick() { LBL_Site_Tolvek->Click(); }
void TF_Main::BTN_PaypalClick() { LBL_Paypal->Click(); }

void TF_Main::HandleDroppedFiles(const std::vector<std::string>& names) {
    const std::vector<RefusedName> refused = AddDroppedNames(Files, names);
    RefreshFileList();
    if (!refused.empty()) ShowErrorBox(this, RefusedNamesText(refused));
}

void TF_Main::ActivateOnce() {
    if (activated_) return;
    activated_ = true;
    FormActivate();
}

bool TF_Main::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            SettlePlacement();
            ActivateOnce();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void TF_Main::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    shown_.start();
    if (!FST_F_Main.Restored()) FST_F_Main.FormShow();
    // Without a window manager (a bare X server) or on Wayland nothing may hand the window
    // the focus: the first activation then comes once the window is up.
    QTimer::singleShot(0, this, [this] { ActivateOnce(); });
    WaitForFrame();
}

void TF_Main::WaitForFrame() {
    // Qt learns the frame from a property of the window manager, which raises no event:
    // look for it a few times a second while it may still come.
    if (!placement_pending_) return;
    SettlePlacement();
    if (!placement_pending_) return;
    if (shown_.elapsed() < kFrameWait) {
        QTimer::singleShot(kFramePoll, this, [this] { WaitForFrame(); });
    } else {
        // No frame came (no window manager, or one that draws none): the place is settled,
        // and later activations must not pull the window back from where the user puts it.
        placement_pending_ = false;
    }
}

void TF_Main::closeEvent(QCloseEvent* event) {
    if (!run_phase_.Leaving()) {
        FST_F_Main.FormCloseQuery(true);
        FormClose();
    }
    if (run_phase_.CloseAsked()) {
        event->accept();
        return;
    }
    // The files in progress are finished with the window on screen; it closes, and the
    // program ends, once the run has returned, whatever boxes come up meanwhile.
    StopRunUnderWay();
    event->ignore();
}

}  // namespace pixmora
