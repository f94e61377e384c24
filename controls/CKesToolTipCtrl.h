#pragma once
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

// The main window's tool-tip: a bold label, an optional description and a
// 32 x 32 icon per control.
class CKesToolTipCtrl : public QWidget {
    Q_OBJECT
  public:
    struct IconEntry {
        int controlId;
        int descriptionId; // string id of the description; 0 = none
        int bitmapId;      // BITMAP resource of the icon; 0 = no icon
    };

    explicit CKesToolTipCtrl(QWidget* owner);
    ~CKesToolTipCtrl() override;

    // The whole window is the tool; `id` is its control id. `rect` is
    // accepted for the caller's convenience and not used.
    virtual bool AddTool(QWidget* window, const QString& text, const QRect& rect = QRect(),
                         int id = 0);
    virtual void DelTool(QWidget* window, int id = 0);
    std::vector<QWidget*> RegisteredTools() const;

    void AddIconEntry(int controlId, int descriptionId, int bitmapId);
    void ClearIconEntries() { m_iconEntries.clear(); }
    const std::vector<IconEntry>& IconEntries() const { return m_iconEntries; }

    // An inactive tool-tip shows nothing.
    void Activate(bool active);
    bool IsActive() const { return m_bActive; }

    // For the owner's message pre-translation: presses and keys end a tip.
    void RelayEvent(QEvent* event);

    // Shows the tip of a registered window near a screen point; false when
    // the window has no tool or the tip is inactive.
    bool ShowTip(QWidget* window, const QPoint& globalPos);
    void HideTip();

    static QSize IconSize() { return QSize(32, 32); }
    int CurrentControlId() const { return m_nCurrentControlId; }
    const QString& Label() const { return m_label; }
    const QString& Description() const { return m_description; }
    bool HasIcon() const { return !m_icon.isNull(); }
    // Where the icon is drawn inside the tip.
    QRect IconRect() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Tool {
        QPointer<QWidget> window;
        int id;
        QString text;
    };

    const Tool* FindTool(const QWidget* window) const;
    const IconEntry* FindIconEntry(int controlId) const;
    void LoadIcon();
    QSize ContentSize() const;

    std::vector<QPointer<QWidget>> m_registered;
    std::vector<Tool> m_tools;
    std::vector<IconEntry> m_iconEntries;
    int m_nCurrentControlId = 0;
    bool m_bActive = true;
    QString m_label;
    QString m_description;
    QImage m_icon;
};
