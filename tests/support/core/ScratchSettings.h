#pragma once
// A test whose settings file, Halvex.ini, lives in a fresh working directory
// of its own, read afresh by the settings object.
#include "settings/AppSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class ScratchSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = QDir::currentPath();
        QDir::setCurrent(work_.path());
        AppSettings::DiscardInstance();
    }
    void TearDown() override {
        QDir::setCurrent(previous_);
        AppSettings::DiscardInstance();
    }
    QString Ini() const { return work_.path() + "/Halvex.ini"; }

    QTemporaryDir work_;
    QString previous_;
};
