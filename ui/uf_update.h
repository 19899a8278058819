// The update dialog: says why a newer version may be worth having and asks whether to go
// and get it. Its answer is the modal result: 1 for the download, 2 for later.
#pragma once

#include <string>

#include <QDialog>

class QLabel;

namespace pixmora {

class TImage;
class TPanelFill;
class TSpeedButton;

class TF_Update : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 405;
    static constexpr int kClientHeight = 177;
    static constexpr int kAnswerDownload = 1;
    static constexpr int kAnswerLater = 2;

    explicit TF_Update(QWidget* owner);

    TPanelFill* PNL_Global;
    QLabel* LBL_Update1;
    TImage* IMG_Update;
    TSpeedButton* BTN_Yes;
    TSpeedButton* BTN_No;

    std::string AppName;
    std::string CurrentVersion;
    std::string LatestVersion;
    std::string VersionFileUrl;

    // The message as built, lines separated by CR.
    const std::string& Message() const { return message_; }

    void FormShow();
    void BTN_YesClick();
    void BTN_NoClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string message_;
};

}  // namespace pixmora
