// tests/support/window_link_fake.h — records what the rules asked of the window
#pragma once
#include <vector>
#include "render/looks.h"

struct WindowLinkRecord {
    int redisplays = 0;
    int projections = 0;
    std::vector<bool> lighting;                 // every setLighting call, in order
    std::vector<MaterialPreset> materials;      // every applyMaterial call, in order
};

extern WindowLinkRecord windowLinkRecord;

#include <gtest/gtest.h>
#include "tests/support/battle.h"

// A unit test that starts from a clean battle and an empty window record,
// and frees its units at the end (the lists themselves go away at exit, which
// would leave the units unreachable for the leak checker).
class BattleTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetBattleState();
        windowLinkRecord = WindowLinkRecord();
    }
    void TearDown() override { resetBattleState(); }
};
