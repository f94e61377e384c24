// The main window's tool-tips, panes and commands.
#include "app/window/CAboutDlg.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CGSensorCtrl.h"
#include "controls/CKesToolTipCtrl.h"
#include "dialogs/CKesConfigDlg.h"
#include "map/CHtmlMapDlg.h"
#include "settings/AppSettings.h"
#include "settings/SettingKeys.h"
#include "strings/UiStrings.h"

namespace {

// Tool-tip order and texts.
const std::pair<int, unsigned> kToolTips[] = {
    {IDC_ABOUT, UiStringId::kAbout},
    {IDC_CONF, UiStringId::kConfigurationTip},
    {IDC_DEL, UiStringId::kDeleteFilesTip},
    {IDC_CLOSE, UiStringId::kCloseTip},
    {IDC_FAST, UiStringId::kFasterTip},
    {IDC_FLIP, UiStringId::kRotateTip},
    {IDC_GSR, UiStringId::kCurveOnOffTip},
    {IDC_KML, UiStringId::kSaveKmlTip},
    {IDC_LOCK, UiStringId::kUnlockFilesTip},
    {IDC_LOOP, UiStringId::kAutoPlayNextTip},
    {IDC_MAP, UiStringId::kMapOnOffTip},
    {IDC_MAXIMIZE, UiStringId::kMaximizeTip},
    {IDC_MINIMIZE, UiStringId::kMinimizeTip},
    {IDC_OPEN, UiStringId::kOpenFilesTip},
    {IDC_PLAY, UiStringId::kPlayPauseTip},
    {IDC_SAVE, UiStringId::kSaveAsTip},
    {IDC_SLOW, UiStringId::kSlowerTip},
    {IDC_SNAP, UiStringId::kSnapshotTip},
    {IDC_STOP, UiStringId::kStopTip},
    {IDC_VOL, UiStringId::kSoundOnOffTip},
    {IDC_VOLUME_SLIDER, UiStringId::kVolumeTip},
    {IDC_SPEED, UiStringId::kSpeedUnitTip},
    {IDC_SIZE_S, UiStringId::kSmallWindowTip},
    {IDC_SIZE_M, UiStringId::kMediumWindowTip},
    {IDC_SIZE_L, UiStringId::kLargeWindowTip},
};

} // namespace

void CVELDlg::SetupToolTips() {
    CKesToolTipCtrl* toolTip = m_controls.m_pToolTip;
    for (QWidget* w : toolTip->RegisteredTools())
        toolTip->DelTool(w);
    toolTip->ClearIconEntries();
    for (const auto& [id, text] : kToolTips)
        if (QWidget* w = Control(id))
            toolTip->AddTool(w, LoadUiString(text), QRect(), id);
    for (const auto& [id, text] : kToolTips)
        toolTip->AddIconEntry(id, 0, 161);
}

void CVELDlg::OpenFolder(const QString& folder) {
    if (Playback() && !folder.isEmpty())
        Playback()->open.OpenFolder(folder);
}

void CVELDlg::TogglePane(bool map) {
    if (map) {
        if (m_bFullScreen)
            return;
        m_bMapEnabled = !m_bMapEnabled;
        LayoutControls(width(), height());
        m_controls.m_pMapDlg->setVisible(m_bMapEnabled);
        m_controls.m_pMapDlg->setEnabled(m_bMapEnabled);
        AppSettings::Instance().Write(SettingKeys::kMapEnabled, m_bMapEnabled ? 1 : 0);
        return;
    }
    m_bGSensorEnabled = !m_bGSensorEnabled;
    m_controls.gsensor->setVisible(m_bGSensorEnabled);
    LayoutControls(width(), height());
    AppSettings::Instance().Write(SettingKeys::kGSensorEnabled, m_bGSensorEnabled ? 1 : 0);
}

void CVELDlg::OnCommand(int id) {
    if (Playback() && Playback()->OnCommand(id))
        return;
    switch (id) {
    case IDC_CLOSE:
        close();
        break;
    case IDC_ABOUT:
        CAboutDlg(this).exec();
        break;
    case IDC_MINIMIZE:
        showMinimized();
        break;
    case IDC_MAXIMIZE:
        ToggleMaximized();
        break;
    case IDC_CONF: {
        CKesConfigDlg dialog(this);
        if (dialog.exec() == QDialog::Accepted)
            m_controls.m_pMapDlg->SetMapType(dialog.MapChoice());
        break;
    }
    case IDC_SIZE_S:
        SetPresetSize(WindowPreset::Small);
        break;
    case IDC_SIZE_M:
        SetPresetSize(WindowPreset::Medium);
        break;
    case IDC_SIZE_L:
        SetPresetSize(WindowPreset::Large);
        break;
    case IDC_MAP:
        TogglePane(true);
        break;
    case IDC_GSR:
        TogglePane(false);
        break;
    default:
        break;
    }
}
