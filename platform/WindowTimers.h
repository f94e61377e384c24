#pragma once
#include <QObject>
#include <functional>
#include <map>

class QTimer;

// Window timers by id: setting an id that runs restarts it with the new
// period, and every expiry calls the owner's handler with the id.
class WindowTimers : public QObject {
    Q_OBJECT
  public:
    explicit WindowTimers(std::function<void(int id)> onTimer, QObject* parent = nullptr);

    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    bool IsActive(int id) const;

  private:
    std::function<void(int)> onTimer_;
    std::map<int, QTimer*> timers_;
};
