#pragma once
#include <map>

class CFrameClockStatic;
class CGSensorCtrl;
class CGdipButton;
class CHtmlMapDlg;
class CKesToolTipCtrl;
class CMySliderControl;
class CPbSpeedLabelStatic;
class CPngCompassStatic;
class CPngStatic;
class CSpeedLabelStatic;
class CVelFileListCtrl;
class CVelGroupListCtrl;
class CVideoSlider;
class CVideoStatic;
class CVideoStaticBg;
class ClipMarksHook;
class EmptyListHint;
class OverviewLink;
class QWidget;

// The main window's controls and the helpers made with them, each by its
// own type. The window keeps them; the assembly creates and fills them.
struct WindowControls {
    // Image buttons.
    CGdipButton* open = nullptr;
    CGdipButton* save = nullptr;
    CGdipButton* snap = nullptr;
    CGdipButton* del = nullptr;
    CGdipButton* conf = nullptr;
    CGdipButton* play = nullptr;
    CGdipButton* stop = nullptr;
    CGdipButton* fast = nullptr;
    CGdipButton* slow = nullptr;
    CGdipButton* loop = nullptr;
    CGdipButton* flip = nullptr;
    CGdipButton* kml = nullptr;
    CGdipButton* map = nullptr;
    CGdipButton* gsr = nullptr;
    CGdipButton* lock = nullptr;
    CGdipButton* minimize = nullptr;
    CGdipButton* close = nullptr;
    CGdipButton* maximize = nullptr;
    CGdipButton* about = nullptr;
    CGdipButton* vol = nullptr;
    CGdipButton* sizeS = nullptr;
    CGdipButton* sizeM = nullptr;
    CGdipButton* sizeL = nullptr;

    // Videos, sliders, curve and read-outs.
    CVideoStaticBg* frontFrame = nullptr;
    CVideoStaticBg* rearFrame = nullptr;
    CVideoStatic* frontVideo = nullptr;
    CVideoStatic* rearVideo = nullptr;
    CGSensorCtrl* gsensor = nullptr;
    CVideoSlider* position = nullptr;
    CMySliderControl* volume = nullptr;
    CPngStatic* gps = nullptr;
    CPngStatic* logo = nullptr;
    CPngCompassStatic* compass = nullptr;
    CSpeedLabelStatic* speed = nullptr;
    CPbSpeedLabelStatic* rate = nullptr;
    CFrameClockStatic* frameClock = nullptr;
    CVelFileListCtrl* fileList = nullptr;
    CVelGroupListCtrl* groupList = nullptr;

    CHtmlMapDlg* m_pMapDlg = nullptr;
    CKesToolTipCtrl* m_pToolTip = nullptr;
    EmptyListHint* emptyHint = nullptr;
    ClipMarksHook* clipMarks = nullptr;
    OverviewLink* overview = nullptr;

    // The numbered controls by their ids (ControlIds), for the tables that
    // name controls by number: layout, tool-tips, full screen.
    std::map<int, QWidget*> ById() const;
};
