// Test fixture: services made for a hidden owner window with a three-pane status bar.
#pragma once
#include <gtest/gtest.h>

#include "services_test_window_win.h"
#include "support/app_services_win.h"

class ServicesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner.Create());
        ASSERT_TRUE(owner.CreateStatusBar());
        services = new AppServices(&owner, &owner.statusBar);
    }
    void TearDown() override {
        delete services;
        owner.Destroy();
    }

    ServicesTestWindow owner;
    AppServices* services = nullptr;
};
