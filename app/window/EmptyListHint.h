#pragma once
#include <QLabel>

class QAbstractItemView;

// One line in the empty front video saying what to do first: shown while
// the file list holds no row.
class EmptyListHint : public QLabel {
    Q_OBJECT
  public:
    EmptyListHint(QWidget* frame, QAbstractItemView* fileList);

    // The text in the language chosen now.
    void Retext();

  private:
    void Follow();

    QAbstractItemView* list_;
};
