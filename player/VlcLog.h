#pragma once
#include <QSet>
#include <QString>
#include <mutex>

struct VlcApi;
struct libvlc_instance_t;

// libvlc's messages, taken over from its console. Debug lines, notices and
// warnings (unknown boxes of the camera's files, late pictures after a seek)
// are the program's diagnostics (category halvex.diag); errors reach the
// terminal once per text, since libvlc repeats some for every audio block or
// seek, and their repeats are diagnostics too.
class VlcLog {
  public:
    enum Level { Debug = 0, Notice = 2, Warning = 3, Error = 4 }; // libvlc's numbers

    // Routes the instance's messages here.
    static void Attach(const VlcApi& api, libvlc_instance_t* instance);

    // One message: true when it goes to the terminal, false when it is a
    // diagnostic. Thread-safe.
    bool ToTerminal(int level, const QString& line);

  private:
    static constexpr int kRemembered = 500; // beyond this many texts all are diagnostics
    std::mutex mutex_;
    QSet<QString> seen_;
};
