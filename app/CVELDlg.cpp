#include "app/CVELDlg.h"

#include "app/AppSettings.h"
#include "app/WindowPlacement.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

CVELDlg::CVELDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle("Halvex");
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    AppSettings::Instance().ReadMapChoice();
    m_catalog.mainWindow = this;
}

CVELDlg::~CVELDlg() = default;

bool CVELDlg::event(QEvent* event) {
    if (DispatchWindowMessage(
            event, [this](unsigned m, quintptr w, qintptr l) { return OnWindowMessage(m, w, l); }))
        return true;
    return QDialog::event(event);
}

qintptr CVELDlg::OnWindowMessage(unsigned, quintptr, qintptr) {
    return 0;
}

void CVELDlg::showEvent(QShowEvent* event) {
    if (!m_bPlaced) {
        m_bPlaced = true;
        RestoreWindowRect();
    }
    QDialog::showEvent(event);
}

void CVELDlg::RestoreWindowRect() {
    AppSettings& s = AppSettings::Instance();
    const int left = s.ReadInt("WINPOS", "LEFT", 0);
    const int top = s.ReadInt("WINPOS", "TOP", 0);
    const int right = s.ReadInt("WINPOS", "RIGHT", kMinWindowWidth);
    const int bottom = s.ReadInt("WINPOS", "BOTTOM", kMinWindowHeight);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize full =
        screen ? screen->geometry().size() : QSize(kMinWindowWidth, kMinWindowHeight);
    const QRect rect = RestoredWindowRect(left, top, right, bottom, full);
    // The screen may be smaller than the usual minimum.
    setMinimumSize(std::min(kMinWindowWidth, rect.width()),
                   std::min(kMinWindowHeight, rect.height()));
    setGeometry(rect);
    raise();
}

void CVELDlg::SaveOnClose() {
    const QRect r = geometry();
    AppSettings& s = AppSettings::Instance();
    s.WriteInt("WINPOS", "LEFT", r.left());
    s.WriteInt("WINPOS", "TOP", r.top());
    s.WriteInt("WINPOS", "RIGHT", r.left() + r.width());
    s.WriteInt("WINPOS", "BOTTOM", r.top() + r.height());
}

void CVELDlg::closeEvent(QCloseEvent* event) {
    SaveOnClose();
    event->accept();
    done(QDialog::Accepted);
}

// Escape (and the dialog's cancel) saves as closing does but keeps the window.
void CVELDlg::reject() {
    SaveOnClose();
}
