#include "platform/widgets/MessageBox.h"

#include <QMessageBox>

namespace {
MessageBoxRecorder* g_recorder = nullptr;
}

MessageBoxRecorder::MessageBoxRecorder() : previous_(g_recorder) {
    g_recorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() {
    g_recorder = previous_;
}

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, MbButtons buttons,
                   MbIcon icon) {
    if (g_recorder) {
        g_recorder->calls.push_back({text, caption, buttons, icon, owner != nullptr});
        if (!g_recorder->answers.empty()) {
            const int a = g_recorder->answers.front();
            g_recorder->answers.erase(g_recorder->answers.begin());
            return a;
        }
        return g_recorder->answer;
    }

    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MbIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MbIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MbIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MbIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MbIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MbButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MbButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MbButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MbButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}
