#include "app/commands/ExportCommands.h"

#include "dialogs/CFolderDialog.h"
#include "platform/widgets/MessageBox.h"
#include "platform/widgets/PrivacyZonesBox.h"
#include "recordings/KmlExport.h"
#include "recordings/PrivacyFilter.h"
#include "recordings/RecordingCatalog.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QFileInfo>
#include <QMenu>

ExportCommands::ExportCommands(const PlaybackContext& context) : ctx_(context) {
    chooseFolder = [this](const QString& initial, QString* folder) {
        CFolderDialog browser(LoadUiString(UiStringId::kSelectExportFolder), initial, ctx_.window);
        if (browser.DoModal() != 1)
            return false;
        *folder = browser.GetFolderPath();
        return true;
    };
    askGSensor = [this] {
        return ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kAskSensorCsv),
                              LoadUiString(UiStringId::kExportCaption), MbButtons::YesNo,
                              MbIcon::Question) == IDYES;
    };
}

void ExportCommands::FillMenu(QMenu* menu) {
    menu->addAction(LoadUiString(UiStringId::kExportRouteGpx),
                    [this] { ExportRoute(TripFormat::Gpx); });
    menu->addAction(LoadUiString(UiStringId::kExportRouteCsv),
                    [this] { ExportRoute(TripFormat::Csv); });
    menu->addSeparator();
    menu->addAction(LoadUiString(UiStringId::kExportTripGpx),
                    [this] { ExportTrip(TripKind::Gpx); });
    menu->addAction(LoadUiString(UiStringId::kExportTripCsv),
                    [this] { ExportTrip(TripKind::Csv); });
    menu->addAction(LoadUiString(UiStringId::kExportTripKml),
                    [this] { ExportTrip(TripKind::Kml); });
}

void ExportCommands::ShowMenu(QPoint globalPosition) {
    QMenu menu(ctx_.window);
    FillMenu(&menu);
    menu.exec(globalPosition);
}

QString ExportCommands::InitialFolder() {
    const QString last = AppSettings::Instance().Read(SettingKeys::kExportFolder);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return KmlFolder();
}

bool ExportCommands::PickFolder(QString* folder) {
    const QString initial = InitialFolder();
    // As the KML button does, the KML folder is made when it is first used.
    if (initial == KmlFolder() && !initial.isEmpty() && !QFileInfo::exists(initial))
        CreateFolderPath(initial);
    if (!chooseFolder || !chooseFolder(initial, folder) || folder->isEmpty())
        return false;
    if (!QFileInfo(*folder).isDir()) {
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kFolderMissing),
                       LoadUiString(UiStringId::kWarningCaption), MbButtons::Ok, MbIcon::Warning);
        return false;
    }
    AppSettings::Instance().Write(SettingKeys::kExportFolder, *folder);
    return true;
}

void ExportCommands::Report(bool ok, const QStringList& written, const QString& error, size_t zones,
                            int leftOut) {
    QString names = written.join('\n');
    if (!ok && !error.isEmpty())
        names += ": " + error;
    if (ok && zones > 0)
        names +=
            "\n" + LoadUiStringFilled(UiStringId::kClipPositionsLeftOut, QString::number(leftOut));
    ShowMessageBox(
        ctx_.window,
        LoadUiStringFilled(ok ? UiStringId::kExportDone : UiStringId::kExportFailed, names),
        LoadUiString(UiStringId::kExportCaption), MbButtons::Ok,
        ok ? MbIcon::None : MbIcon::Warning);
}

void ExportCommands::ExportRoute(TripFormat format) {
    RecordingCatalog& catalog = *ctx_.catalog;
    if (catalog.Files().empty()) {
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kNoFilesInList),
                       LoadUiString(UiStringId::kOkCaption));
        return;
    }
    const bool gsensor = format == TripFormat::Csv && askGSensor && askGSensor();
    QString folder;
    if (!PickFolder(&folder))
        return;
    std::vector<PrivacyZone> zones;
    if (!ReadZonesOrSay(ctx_.window, LoadUiString(UiStringId::kExportCaption), &zones))
        return;
    const int index = catalog.CurrentRecording() ? catalog.currentFile() : 0;
    Trip trip;
    QStringList written;
    QString error;
    int leftOut = 0;
    const bool ok = LoadTrip(catalog, {index}, &trip) &&
                    (leftOut = LeaveOutPrivatePoints(&trip, zones), true) &&
                    WriteTrip(trip, format, gsensor, false, folder, &written, &error);
    if (written.isEmpty())
        written << catalog.GetFilePath(index);
    Report(ok, written, error, zones.size(), leftOut);
}

void ExportCommands::ExportTrip(TripKind kind) {
    RecordingCatalog& catalog = *ctx_.catalog;
    if (catalog.Files().empty()) {
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kNoFilesInList),
                       LoadUiString(UiStringId::kOkCaption));
        return;
    }
    if (!catalog.MarkChosenGroups()) {
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kNoFilesChecked),
                       LoadUiString(UiStringId::kFileSelectionCaption));
        return;
    }
    const std::vector<int> indices = TripFileIndices(catalog);
    const bool gsensor = kind == TripKind::Csv && askGSensor && askGSensor();
    QString folder;
    if (!PickFolder(&folder))
        return;
    std::vector<PrivacyZone> zones;
    if (!ReadZonesOrSay(ctx_.window, LoadUiString(UiStringId::kExportCaption), &zones))
        return;
    QStringList written;
    QString error;
    bool ok = false;
    int leftOut = 0;
    if (kind == TripKind::Kml) {
        ok = WriteTripKml(catalog, indices, folder, &written, zones, &leftOut);
    } else {
        Trip trip;
        ok = LoadTrip(catalog, indices, &trip) &&
             (leftOut = LeaveOutPrivatePoints(&trip, zones), true) &&
             WriteTrip(trip, kind == TripKind::Gpx ? TripFormat::Gpx : TripFormat::Csv, gsensor,
                       true, folder, &written, &error);
    }
    if (written.isEmpty())
        written << folder;
    Report(ok, written, error, zones.size(), leftOut);
}
