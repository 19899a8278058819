// The main window's handlers: start-up, first activation, closing, the run's buttons, the
// list's click, drops and browsing, and the destination choice.
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QTimer>

#include "collect/data_folder.h"
#include "collect/file_list.h"
#include "collect/settings.h"
#include "engine/run/batch_run.h"
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
    // rest of the check comes back here as an event, handled like the timer's tick was
    // (also at a run's pump of events).
    update_fetch_ = std::make_unique<VersionFetchJob>(
        update_dialog_->VersionFileUrl, UpdateRequestSettings, [this] {
            QMetaObject::invokeMethod(
                this, [this] { Dispatch(&TF_Main::UpdateVersionFetched); }, Qt::QueuedConnection);
        });
}

void TF_Main::UpdateVersionFetched() {
    const std::unique_ptr<VersionFetchJob> fetch = std::move(update_fetch_);
    const std::unique_ptr<TF_Update> dialog = std::move(update_dialog_);
    // A window already closed asks nothing more.
    if (!fetch || !dialog || settings_saved_) return;
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
    settings_saved_ = true;
    LBL_Update->Click();
    if (running_) {
        StopRun(Run, *this);
        end_after_run_ = true;
    } else {
        RequestTermination();
    }
}

void TF_Main::BTN_StartClick() {
    if (running_) {
        // Start is usable again as soon as Stop is pressed, but the stopped run is still
        // returning: the new run begins after it, never inside it.
        start_waiting_ = true;
        return;
    }
    running_ = true;
    RunBatch(Files, Run, *this);
    running_ = false;
    SettlePendingPicture(nullptr);
    if (end_after_run_) {
        RequestTermination();
    } else if (close_waiting_) {
        QTimer::singleShot(0, this, &QWidget::close);
    } else if (start_waiting_) {
        start_waiting_ = false;
        QTimer::singleShot(0, this, [this] {
            // A window closed in the meantime starts nothing more.
            if (!settings_saved_) Dispatch(&TF_Main::BTN_StartClick);
        });
    }
}

void TF_Main::BTN_StopClick() { StopRun(Run, *this); }

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
    AddDroppedNames(Files, names);
    RefreshFileList();
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
    if (!settings_saved_) {
        FST_F_Main.FormCloseQuery(true);
        FormClose();
        settings_saved_ = true;
    }
    if (running_) {
        // The run goes on with the window on screen; the program ends when it returns.
        close_waiting_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace pixmora
