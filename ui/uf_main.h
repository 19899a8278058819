// The main window: the file list, the preview with its figures before and after, the
// ratio and destination settings, the Start, Stop and Clear list buttons, the link buttons,
// the processing caption, the progress bar and the status bar.
#pragma once

#include <QWidget>

#include "ui/bitmap_list.h"

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

class TF_Main : public QWidget {
    Q_OBJECT
public:
    // The designed client area, also the smallest one.
    static constexpr int kClientWidth = 484;
    static constexpr int kClientHeight = 509;

    explicit TF_Main(QWidget* parent = nullptr);

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

public slots:
    void FormCreate();
    void FormActivate();
    void FormClose();
    void TMR_UpdateTimer();
    void BTN_StartClick();
    void BTN_StopClick();
    void BTN_Clear_ListeClick();
    void LBX_FileClick();
    void DED_Dir_SourceBrowse();
    void RDB_Source_FolderClick();
    void BTN_UpdateClick();
    void BTN_Site_TolvekClick();
    void BTN_PaypalClick();

private:
    void BuildGlobal();
    void BuildListArea();
    void BuildSettings();
    void BuildFigures();
    void BuildPreview();
    void Wire();
    void SetTabOrder();
};

}  // namespace pixmora
