// The update dialog's controls and handlers.
#include "ui/uf_update.h"

#include <QLabel>
#include <QShowEvent>
#include <QStyle>

#include "ui/artwork.h"
#include "ui/failure_box.h"
#include "ui/fonts.h"
#include "ui/image.h"
#include "ui/panel_fill.h"
#include "ui/speed_button.h"
#include "update/update_texts.h"

namespace pixmora {

namespace {

const QColor kDarkFace(37, 37, 37);
const QColor kSilver(192, 192, 192);

TSpeedButton* MakeAnswerButton(QWidget* parent, const char* name, const char* caption,
                               const QPixmap& glyph, const QColor& hover) {
    auto* button = new TSpeedButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->SetImage(glyph);
    button->setFont(ArialFont(9, true));
    button->SetRounding(50);
    button->SetFaceColor(kDarkFace);
    button->SetHoverColor(hover);
    button->SetCaptionColor(kSilver);
    button->SetHoverCaptionColor(Qt::white);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

}  // namespace

TF_Update::TF_Update(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("F_Update"));
    setWindowTitle(QString::fromLatin1(kUpdateCaption));
    setModal(true);
    setPalette(style()->standardPalette());
    setFont(TahomaFont(8));
    setFixedSize(kClientWidth, kClientHeight);

    PNL_Global = new TPanelFill(this);
    PNL_Global->setObjectName(QStringLiteral("PNL_Global"));
    PNL_Global->SetFill(TPanelFill::Fill::kDiagonal);
    PNL_Global->SetColor(kDarkFace);
    PNL_Global->SetEdge(TPanelFill::Edge::kNone);
    PNL_Global->setGeometry(0, 0, kClientWidth, kClientHeight);

    LBL_Update1 = new QLabel(PNL_Global);
    LBL_Update1->setObjectName(QStringLiteral("LBL_Update1"));
    LBL_Update1->setGeometry(67, 8, 329, 117);
    LBL_Update1->setAutoFillBackground(true);
    QPalette white = LBL_Update1->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    LBL_Update1->setPalette(white);
    LBL_Update1->setFont(ArialFont(9));
    LBL_Update1->setAlignment(Qt::AlignCenter);
    LBL_Update1->setWordWrap(true);
    LBL_Update1->setTextFormat(Qt::PlainText);

    IMG_Update = new TImage(PNL_Global);
    IMG_Update->setObjectName(QStringLiteral("IMG_Update"));
    IMG_Update->setGeometry(10, 8, 57, 117);
    IMG_Update->setAutoFillBackground(true);
    IMG_Update->setPalette(white);
    IMG_Update->SetScaling(TImage::Scaling::kCentred);
    IMG_Update->SetPicture(AppIcon().pixmap(48, 48).toImage());

    BTN_Yes = MakeAnswerButton(PNL_Global, "BTN_Yes", kUpdateYesCaption, TickImage(),
                               QColor(170, 0, 255));
    BTN_Yes->setGeometry(10, 131, 191, 37);
    BTN_No =
        MakeAnswerButton(PNL_Global, "BTN_No", kUpdateNoCaption,
                         CrossImage().scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation),
                         QColor(250, 104, 0));
    BTN_No->setGeometry(200, 131, 196, 37);

    connect(BTN_Yes, &TSpeedButton::clicked, this,
            [this] { RunGuarded(this, [this] { BTN_YesClick(); }); });
    connect(BTN_No, &TSpeedButton::clicked, this,
            [this] { RunGuarded(this, [this] { BTN_NoClick(); }); });
}

void TF_Update::showEvent(QShowEvent* event) {
    if (QWidget* owner = parentWidget()) {
        // Centred on the main window.
        const QRect frame = owner->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
    if (!event->spontaneous()) RunGuarded(this, [this] { FormShow(); });
}

void TF_Update::FormShow() {
    message_ = UpdateMessage(AppName, CurrentVersion, LatestVersion);
    // The label breaks lines at each CR; Qt breaks them at line feeds.
    LBL_Update1->setText(QString::fromStdString(message_).replace(QLatin1Char('\r'), '\n'));
}

void TF_Update::BTN_YesClick() { done(kAnswerDownload); }
void TF_Update::BTN_NoClick() { done(kAnswerLater); }

}  // namespace pixmora
