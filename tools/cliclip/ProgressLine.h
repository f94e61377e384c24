#pragma once
// A progress line redrawn in place on stderr ("\r"). A message of the
// program's log written meanwhile (libav's among them, from any thread)
// gets a line of its own: the progress line is ended before it and drawn
// again after it.
#include <QString>
#include <QtGlobal>

class ProgressLine {
  public:
    // Takes the program's log messages while alive; one at a time.
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Draws the text over the line's last one.
    void Show(const QString& text);
    // Ends the line when one is shown, so what follows starts a line of its
    // own.
    void End();

  private:
    static void OnMessage(QtMsgType type, const QMessageLogContext& context,
                          const QString& message);

    QtMessageHandler previous_;
};
