#pragma once
// A memory card of real recordings for tests of the whole main window, and
// the window shown and active as a user sees it.
#include "app/window/CVELDlg.h"
#include "tests/support/core/ScratchSettings.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

class QWidget;

// Writes `moments` recordings of `durationMs` each below `root`, a minute
// apart, each a front file and its rear partner (DCIM/front, DCIM/back).
// Returns the front files' paths in recording order, or an empty list with
// the writer's complaint in *error.
QStringList WriteCard(const QString& root, int moments, int durationMs, QString* error);

// Shows the window, makes it the active one and waits until it is.
bool ShowActive(QWidget& window);

// The main window, shown and active, with settings of its own.
class ShownWindowTest : public ScratchSettingsTest {
  public:
    void SetUp() override {
        ScratchSettingsTest::SetUp();
        dlg_ = std::make_unique<CVELDlg>();
        ASSERT_TRUE(ShowActive(*dlg_));
    }
    void TearDown() override {
        dlg_.reset();
        ScratchSettingsTest::TearDown();
    }

    std::unique_ptr<CVELDlg> dlg_;
};
