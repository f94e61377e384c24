#pragma once
// The export dialog: layout, sound, figures, privacy zones and the output
// name; the export runs in a worker thread with a progress bar showing the
// time left, and Cancel stops it leaving nothing behind.
#include "clip/ClipExport.h"
#include "platform/BackgroundJob.h"

#include <QDialog>
#include <QElapsedTimer>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class ClipExportDlg : public QDialog {
    Q_OBJECT
  public:
    // sources: the recordings the marks may span; fromMs/toMs: the marks.
    ClipExportDlg(QWidget* parent, std::vector<ClipSource> sources, int64_t fromMs, int64_t toMs,
                  const QString& outputPath);
    ~ClipExportDlg() override;

    int64_t FromMs() const { return fromMs_; }
    int64_t ToMs() const { return toMs_; }
    // The files of the last finished export (empty until one succeeds).
    const QStringList& Written() const { return written_; }
    bool Running() const { return job_.Running(); }

    // Cancel: stops a running export (the dialog stays until it has), or closes.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Start();
    void OnProgress(double done);
    void OnFinished(const ClipOutcome& outcome);
    ClipOptions Options() const;
    void UpdateChoices();

    std::vector<ClipSource> sources_;
    int64_t fromMs_, toMs_;
    QComboBox* layout_;
    QComboBox* corner_;
    QCheckBox* sound_;
    std::vector<QCheckBox*> figures_;
    QLabel* fastNote_;
    QPlainTextEdit* zones_;
    QCheckBox* applyZones_;
    QLineEdit* output_;
    QProgressBar* progress_;
    QLabel* remaining_;
    QPushButton* export_;
    QPushButton* cancel_;

    BackgroundJob job_;
    QElapsedTimer clock_;
    QStringList written_;
    QString zonesError_; // why the settings file's zones did not all read
    bool zonesApplied_ = false;
};

// "m:ss" of whole seconds.
QString RemainingText(double seconds);
