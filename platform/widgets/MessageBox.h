#pragma once
#include <QString>
#include <functional>
#include <vector>

class QWidget;

enum class MbButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MbIcon { None, Information, Warning, Error, Question };
enum MbResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Every message box of the program goes through here.
int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                   MbButtons buttons = MbButtons::Ok, MbIcon icon = MbIcon::None);

struct MessageBoxCall {
    QString text;
    QString caption;
    MbButtons buttons;
    MbIcon icon;
    bool hasOwner;
};

// While one exists, boxes are recorded instead of shown and answered with
// `answer` (or the next of `answers` while any are left).
class MessageBoxRecorder {
  public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<MessageBoxCall> calls;
    int answer = IDOK;
    std::vector<int> answers;

  private:
    MessageBoxRecorder* previous_;
};
