// The main window's controls: their kinds, places, texts, looks and initial states.
#include "ui/uf_main.h"

#include <utility>

#include <QCoreApplication>
#include <QStyle>
#include <QTimer>

#include "ui/anchor_layout.h"
#include "ui/artwork.h"
#include "ui/browse_edit.h"
#include "ui/fonts.h"
#include "ui/group_box.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/panel_fill.h"
#include "ui/progress_fill.h"
#include "ui/radio_button.h"
#include "ui/simple_label.h"
#include "ui/speed_button.h"
#include "ui/status_bar.h"
#include "ui/uf_update.h"
#include "update/app_identity.h"
#include "update/version_fetch_job.h"

namespace pixmora {

namespace {

const QColor kSilver(192, 192, 192);
const QColor kButtonFace(240, 240, 240);
const QColor kButtonHover(229, 241, 251);
const char kDonationPage[] = "https://www.paypal.com/donate";

// Creates a control named `name` (its object name is the control's name everywhere).
template <class T, class... Args>
T* Make(QWidget* parent, const char* name, Args&&... args) {
    T* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

TPanelFill* MakeCaptionStrip(QWidget* parent, const char* name, const QString& caption,
                             const QFont& font) {
    TPanelFill* strip = Make<TPanelFill>(parent, name);
    strip->MakeCaptionStrip();
    strip->setFont(font);
    strip->SetCaption(caption);
    return strip;
}

TSpeedButton* MakeLinkButton(QWidget* parent, const char* name, const QString& caption) {
    TSpeedButton* button = Make<TSpeedButton>(parent, name);
    button->setText(caption);
    QFont font = ArialFont(8, true);
    font.setUnderline(true);
    button->setFont(font);
    button->SetCaptionColor(Qt::blue);
    button->SetFaceColor(Qt::white);
    button->SetHoverColor(kButtonHover);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

TSpeedButton* MakeActionButton(QWidget* parent, const char* name, const QString& caption,
                               const QPixmap& image) {
    TSpeedButton* button = Make<TSpeedButton>(parent, name);
    button->setText(caption);
    button->SetImage(image);
    button->SetFaceColor(Qt::white);
    button->SetHoverColor(kButtonHover);
    return button;
}

TLabel* MakeSilverLabel(QWidget* parent, const char* name, const QString& text,
                        Qt::Alignment alignment) {
    TLabel* label = Make<TLabel>(parent, name, text);
    label->setFont(ArialFont(8));
    label->SetOpaque(kSilver);
    label->setAlignment(alignment);
    return label;
}

TBrowseEdit* MakeFolderBox(QWidget* parent, const char* name) {
    TBrowseEdit* box = Make<TBrowseEdit>(parent, name);
    box->setFont(ArialFont(8));
    return box;
}

}  // namespace

TF_Main::TF_Main(QWidget* parent) : QWidget(parent), FST_F_Main(*this) {
    setObjectName(QStringLiteral("F_Main"));
    setWindowTitle(QString::fromLatin1(kAppName));
    setWindowIcon(AppIcon());
    // The window is designed light, whatever the desktop's colour scheme.
    setPalette(style()->standardPalette());
    setFont(TahomaFont(8));
    resize(kClientWidth, kClientHeight);
    setMinimumSize(kClientWidth, kClientHeight);

    BML_1.Add(FrowningFaceBitmap());
    BML_1.Add(SmilingFaceBitmap());
    TMR_Update = new QTimer(this);
    TMR_Update->setObjectName(QStringLiteral("TMR_Update"));
    TMR_Update->setInterval(10000);
    TMR_Update->setSingleShot(true);

    BuildGlobal();
    BuildListArea();
    BuildSettings();
    BuildFigures();
    BuildPreview();
    Wire();
    SetTabOrder();
    EDT_Ratio->setFocus();
    RequestTermination = [] { QCoreApplication::exit(0); };
    // The placement store takes the show, close and destroy events (showEvent, closeEvent,
    // the destructor) before the window's own start-up runs.
    FormCreate();
}

TF_Main::~TF_Main() {
    // A request still under way is given up first: its answer has nobody to go to. So is a
    // run the window did not wait for: its workers are let finish before the window goes.
    update_fetch_.reset();
    run_.reset();
    FST_F_Main.FormDestroy();
}

void TF_Main::BuildGlobal() {
    PNL_Global = Make<TPanelFill>(this, "PNL_Global");
    PNL_Global->SetFill(TPanelFill::Fill::kElliptic);
    PNL_Global->setFont(ArialFont(8));
    (new AnchorLayout(this, 0))->Place(PNL_Global, rect(), Dock::kFill);

    // Created in the order they are stacked: later ones lie above earlier ones.
    PGB_Progression = Make<TProgressFill>(PNL_Global, "PGB_Progression");
    PGB_Progression->setFont(ArialFont(10, true));

    BTN_Paypal = Make<TSpeedButton>(PNL_Global, "BTN_Paypal");
    BTN_Paypal->SetImage(DonateImage());
    BTN_Paypal->SetHoverColor(QColor());
    BTN_Paypal->setCursor(Qt::PointingHandCursor);
    BTN_Update = MakeLinkButton(PNL_Global, "BTN_Update", "Get the latest version here ...");
    BTN_Site_Tolvek =
        MakeLinkButton(PNL_Global, "BTN_Site_Tolvek", "See more tolvek free tool here ...");

    LBL_Update = Make<TSimpleLabel>(PNL_Global, "LBL_Update", "Get the latest version here ...");
    LBL_Site_Tolvek = Make<TSimpleLabel>(PNL_Global, "LBL_Site_Tolvek", "tolvek.example");
    LBL_Paypal = Make<TSimpleLabel>(PNL_Global, "LBL_Paypal", "Donate Paypal");
    LBL_Paypal->SetJump(QString::fromLatin1(kDonationPage));
    for (TSimpleLabel* link : {LBL_Update, LBL_Site_Tolvek, LBL_Paypal}) link->hide();

    PNL_Datas = Make<TPanelFill>(PNL_Global, "PNL_Datas");
    PNL_Before = Make<TPanelFill>(PNL_Global, "PNL_Before");
    PNL_After = Make<TPanelFill>(PNL_Global, "PNL_After");
    PNL_Process =
        MakeCaptionStrip(PNL_Global, "PNL_Process", "processing 0/0", SansSerifFont(8, true));
    STB_Main = Make<TStatusBar>(PNL_Global, "STB_Main");
    STB_Main->setFont(TahomaFont(8, true));
    PNL_Img = Make<TPanelFill>(PNL_Global, "PNL_Img");
    PNL_Img->SetFill(TPanelFill::Fill::kPlain);
    PNL_Img->SetColor(Qt::white);
    PNL_Img->SetEdge(TPanelFill::Edge::kLine, kSilver);
    PNL_Liste_Global = Make<TPanelFill>(PNL_Global, "PNL_Liste_Global");

    AnchorLayout* layout = new AnchorLayout(PNL_Global, 1);
    // Docked at the bottom, the lowest first.
    layout->Place(STB_Main, {1, 489, 482, 19}, Dock::kBottom);
    layout->Place(PGB_Progression, {1, 472, 482, 17}, Dock::kBottom);
    layout->Place(PNL_Process, {1, 455, 482, 17}, Dock::kBottom);
    layout->Place(BTN_Paypal, {224, 402, 254, 47}, Dock::kNone,
                  kAnchorLeft | kAnchorRight | kAnchorBottom);
    layout->Place(BTN_Update, {3, 402, 215, 20}, Dock::kNone, kAnchorLeft | kAnchorBottom);
    layout->Place(BTN_Site_Tolvek, {3, 429, 215, 20}, Dock::kNone, kAnchorLeft | kAnchorBottom);
    layout->Place(LBL_Update, {224, 402, 72, 28}, Dock::kNone, 0);
    layout->Place(LBL_Site_Tolvek, {224, 416, 104, 15}, Dock::kNone, 0);
    layout->Place(LBL_Paypal, {223, 431, 72, 15}, Dock::kNone, 0);
    layout->Place(PNL_Datas, {223, 238, 255, 158}, Dock::kNone, kAnchorTop | kAnchorRight);
    layout->Place(PNL_Before, {223, 154, 125, 78}, Dock::kNone, kAnchorTop | kAnchorRight);
    layout->Place(PNL_After, {353, 154, 125, 78}, Dock::kNone, kAnchorTop | kAnchorRight);
    layout->Place(PNL_Img, {222, 5, 256, 144}, Dock::kNone, kAnchorTop | kAnchorRight);
    layout->Place(PNL_Liste_Global, {4, 5, 214, 391}, Dock::kNone, kAnchorsAll);
}

void TF_Main::BuildListArea() {
    QWidget* area = PNL_Liste_Global;
    PNL_Liste_Entete =
        MakeCaptionStrip(area, "PNL_Liste_Entete", "List of JPEG files", ArialFont(9, true));

    PNL_Dir_Source = Make<TPanelFill>(area, "PNL_Dir_Source");
    LBX_File = Make<TImageListBox>(area, "LBX_File");
    LBX_File->setFont(SansSerifFont(8));
    LBX_File->SetImages(&BML_1);

    // The drop hint lies over the list while the list is empty.
    PNL_Liste = Make<TPanelFill>(area, "PNL_Liste");
    PNL_Liste->SetFill(TPanelFill::Fill::kPlain);
    PNL_Liste->SetColor(Qt::white);
    PNL_Liste->SetEdge(TPanelFill::Edge::kLine, kSilver);

    AnchorLayout* layout = new AnchorLayout(area, 1);
    layout->Place(PNL_Liste_Entete, {1, 1, 212, 20}, Dock::kTop);
    layout->Place(PNL_Dir_Source, {1, 21, 212, 17}, Dock::kTop);
    layout->Place(LBX_File, {1, 38, 212, 352}, Dock::kFill);
    layout->Place(PNL_Liste, {1, 38, 212, 352}, Dock::kFill);

    LBL_Dir_Source =
        MakeSilverLabel(PNL_Dir_Source, "LBL_Dir_Source",
                        " Add JPEG files from this folder :", Qt::AlignLeft | Qt::AlignVCenter);
    DED_Dir_Source = MakeFolderBox(PNL_Dir_Source, "DED_Dir_Source");
    AnchorLayout* row = new AnchorLayout(PNL_Dir_Source, 0);
    row->Place(LBL_Dir_Source, {0, 0, 159, 17}, Dock::kLeft);
    row->Place(DED_Dir_Source, {159, 0, 53, 17}, Dock::kNone, kAnchorsAll);

    IMG_Liste = Make<TImage>(PNL_Liste, "IMG_Liste");
    IMG_Liste->SetScaling(TImage::Scaling::kStretch);
    IMG_Liste->SetPicture(DropImage().toImage());
    LBL_Info_DDP = Make<TLabel>(
        PNL_Liste, "LBL_Info_DDP",
        "Drag and drop here JPEG files or folder which contains JPEG you want to resize ...");
    LBL_Info_DDP->setFont(ArialFont(8, true));
    LBL_Info_DDP->setAlignment(Qt::AlignCenter);
    LBL_Info_DDP->setWordWrap(true);
    AnchorLayout* hint = new AnchorLayout(PNL_Liste, 0);
    hint->Place(IMG_Liste, {48, 141, 113, 107}, Dock::kNone,
                kAnchorLeft | kAnchorTop | kAnchorRight);
    hint->Place(LBL_Info_DDP, {54, 56, 107, 79}, Dock::kNone,
                kAnchorLeft | kAnchorTop | kAnchorRight);
}

void TF_Main::BuildSettings() {
    PNL_Datas->setFont(ArialFont(8));
    LBL_Ratio =
        MakeSilverLabel(PNL_Datas, "LBL_Ratio", " Ratio :", Qt::AlignLeft | Qt::AlignVCenter);
    EDT_Ratio = Make<TMaskEdit>(PNL_Datas, "EDT_Ratio");
    EDT_Ratio->setFont(ArialFont(8));
    EDT_Ratio->SetText(QStringLiteral("50"));
    LBL_U_Ratio = MakeSilverLabel(PNL_Datas, "LBL_U_Ratio", "%", Qt::AlignCenter);

    RDG_Destination_Folder =
        Make<TGroupBox>(PNL_Datas, "RDG_Destination_Folder", "Destination folder");
    RDG_Destination_Folder->setFont(ArialFont(8, true));
    RDB_Source_Folder = Make<TRadioButton>(RDG_Destination_Folder, "RDB_Source_Folder",
                                           "Create sub folder into source folder");
    RDB_Fix_Folder = Make<TRadioButton>(RDG_Destination_Folder, "RDB_Fix_Folder",
                                        "Create sub folder into fixed folder below :");
    for (TRadioButton* choice : {RDB_Source_Folder, RDB_Fix_Folder}) {
        choice->setFont(SansSerifFont(8));
    }
    DED_Dest_Folder = MakeFolderBox(RDG_Destination_Folder, "DED_Dest_Folder");
    DED_Dest_Folder->setEnabled(false);

    BTN_Start = MakeActionButton(PNL_Datas, "BTN_Start", "Start", TickImage());
    BTN_Stop = MakeActionButton(PNL_Datas, "BTN_Stop", "Stop", CrossImage());
    BTN_Stop->setEnabled(false);
    BTN_Clear_Liste =
        MakeActionButton(PNL_Datas, "BTN_Clear_Liste", "Clear\r\nlist", WasteBinImage());

    AnchorLayout* layout = new AnchorLayout(PNL_Datas, 1);
    layout->Place(LBL_Ratio, {8, 6, 185, 17}, Dock::kNone);
    layout->Place(EDT_Ratio, {192, 6, 42, 17}, Dock::kNone);
    layout->Place(LBL_U_Ratio, {234, 6, 13, 17}, Dock::kNone);
    layout->Place(RDG_Destination_Folder, {8, 27, 239, 81}, Dock::kNone);
    layout->Place(BTN_Start, {8, 114, 78, 35}, Dock::kNone);
    layout->Place(BTN_Stop, {91, 114, 73, 35}, Dock::kNone);
    layout->Place(BTN_Clear_Liste, {169, 114, 78, 35}, Dock::kNone);

    AnchorLayout* group = new AnchorLayout(RDG_Destination_Folder, 0);
    group->Place(RDB_Source_Folder, {8, 16, 219, 18}, Dock::kNone);
    group->Place(RDB_Fix_Folder, {8, 33, 219, 18}, Dock::kNone);
    group->Place(DED_Dest_Folder, {24, 54, 197, 17}, Dock::kNone,
                 kAnchorLeft | kAnchorTop | kAnchorRight);
}

void TF_Main::BuildFigures() {
    struct Figures {
        TPanelFill* panel;
        TPanelFill** title;
        const char* title_name;
        const char* caption;
        TLabel** width;
        const char* width_name;
        TLabel** height;
        const char* height_name;
        TLabel** size;
        const char* size_name;
        QColor size_color;
    };
    const Figures sides[] = {
        {PNL_Before, &PNL_Titre_Before, "PNL_Titre_Before", "Before processing ...", &LBL_Width,
         "LBL_Width", &LBL_Height, "LBL_Height", &LBL_Size, "LBL_Size", Qt::white},
        {PNL_After, &PNL_Titre_After, "PNL_Titre_After", "After processing ...", &LBL_Width_New,
         "LBL_Width_New", &LBL_Height_New, "LBL_Height_New", &LBL_Size_New, "LBL_Size_New",
         kButtonFace},
    };
    for (const Figures& side : sides) {
        *side.title =
            MakeCaptionStrip(side.panel, side.title_name, side.caption, SansSerifFont(8, true));
        *side.width = Make<TLabel>(side.panel, side.width_name, "Width : ");
        *side.height = Make<TLabel>(side.panel, side.height_name, "Height : ");
        for (TLabel* figure : {*side.width, *side.height}) {
            figure->setFont(ArialFont(8));
            figure->SetAutoSize(true);
        }
        *side.size = Make<TLabel>(side.panel, side.size_name, "Size : ");
        (*side.size)->setFont(ArialFont(8, true));
        (*side.size)->SetOpaque(side.size_color);

        AnchorLayout* layout = new AnchorLayout(side.panel, 1);
        layout->Place(*side.title, {1, 1, 123, 17}, Dock::kTop);
        layout->Place(*side.width, {5, 24, 36, 14}, Dock::kNone);
        layout->Place(*side.height, {5, 42, 39, 14}, Dock::kNone);
        layout->Place(*side.size, {5, 61, 116, 14}, Dock::kNone);
    }
}

void TF_Main::BuildPreview() {
    IMG_Source = Make<TImage>(PNL_Img, "IMG_Source");
    IMG_Source->SetScaling(TImage::Scaling::kProportional);
    (new AnchorLayout(PNL_Img, 1))->Place(IMG_Source, {1, 1, 254, 142}, Dock::kFill);
}

void TF_Main::Wire() {
    const auto on = [this](auto* sender, auto signal, void (TF_Main::*handler)()) {
        connect(sender, signal, this, [this, handler] { Dispatch(handler); });
    };
    on(TMR_Update, &QTimer::timeout, &TF_Main::TMR_UpdateTimer);
    on(BTN_Start, &TSpeedButton::clicked, &TF_Main::BTN_StartClick);
    on(BTN_Stop, &TSpeedButton::clicked, &TF_Main::BTN_StopClick);
    on(BTN_Clear_Liste, &TSpeedButton::clicked, &TF_Main::BTN_Clear_ListeClick);
    on(LBX_File, &TImageListBox::Click, &TF_Main::LBX_FileClick);
    on(DED_Dir_Source, &TBrowseEdit::OnBrowse, &TF_Main::DED_Dir_SourceBrowse);
    // The fixed folder box's browse only chooses that folder, which the box itself shows:
    // nothing more to do, confirmed or cancelled.
    on(RDB_Source_Folder, &TRadioButton::Click, &TF_Main::RDB_Source_FolderClick);
    on(RDB_Fix_Folder, &TRadioButton::Click, &TF_Main::RDB_Source_FolderClick);
    on(BTN_Update, &TSpeedButton::clicked, &TF_Main::BTN_UpdateClick);
    on(BTN_Site_Tolvek, &TSpeedButton::clicked, &TF_Main::BTN_Site_TolvekClick);
    on(BTN_Paypal, &TSpeedButton::clicked, &TF_Main::BTN_PaypalClick);
}

void TF_Main::SetTabOrder() {
    // Only the boxes and the list take the focus from Tab; a disabled box is passed over.
    QWidget::setTabOrder(DED_Dest_Folder, EDT_Ratio);
    QWidget::setTabOrder(EDT_Ratio, LBX_File);
    QWidget::setTabOrder(LBX_File, DED_Dir_Source);
}

}  // namespace pixmora
