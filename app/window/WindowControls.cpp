#include "app/window/WindowControls.h"

#include "app/window/ControlIds.h"
#include "controls/CFrameClockStatic.h"
#include "controls/CGSensorCtrl.h"
#include "controls/CGdipButton.h"
#include "controls/CMySliderControl.h"
#include "controls/CPbSpeedLabelStatic.h"
#include "controls/CPngCompassStatic.h"
#include "controls/CPngStatic.h"
#include "controls/CSpeedLabelStatic.h"
#include "controls/CVelFileListCtrl.h"
#include "controls/CVelGroupListCtrl.h"
#include "controls/CVideoSlider.h"
#include "controls/CVideoStatic.h"
#include "controls/CVideoStaticBg.h"

std::map<int, QWidget*> WindowControls::ById() const {
    const std::pair<int, QWidget*> numbered[] = {
        {IDC_OPEN, open},
        {IDC_SAVE, save},
        {IDC_SNAP, snap},
        {IDC_DEL, del},
        {IDC_CONF, conf},
        {IDC_PLAY, play},
        {IDC_STOP, stop},
        {IDC_FAST, fast},
        {IDC_SLOW, slow},
        {IDC_LOOP, loop},
        {IDC_FLIP, flip},
        {IDC_KML, kml},
        {IDC_MAP, map},
        {IDC_GSR, gsr},
        {IDC_LOCK, lock},
        {IDC_MINIMIZE, minimize},
        {IDC_CLOSE, close},
        {IDC_MAXIMIZE, maximize},
        {IDC_ABOUT, about},
        {IDC_VOL, vol},
        {IDC_SIZE_S, sizeS},
        {IDC_SIZE_M, sizeM},
        {IDC_SIZE_L, sizeL},
        {IDC_FRONT_FRAME, frontFrame},
        {IDC_REAR_FRAME, rearFrame},
        {IDC_FRONT_VIDEO, frontVideo},
        {IDC_REAR_VIDEO, rearVideo},
        {IDC_GSENSOR, gsensor},
        {IDC_POSITION_SLIDER, position},
        {IDC_VOLUME_SLIDER, volume},
        {IDC_GPS, gps},
        {IDC_LOGO, logo},
        {IDC_COMPASS, compass},
        {IDC_SPEED, speed},
        {IDC_PB_SPEED, rate},
        {IDC_FRAME_CLOCK, frameClock},
        {IDC_FILE_LIST, fileList},
        {IDC_GROUP_LIST, groupList},
    };
    std::map<int, QWidget*> byId;
    for (const auto& [id, control] : numbered)
        if (control)
            byId[id] = control;
    return byId;
}
