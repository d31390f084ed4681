// tests/support/battle_impl.h — template bodies for battle.h
#pragma once
#include <cstdio>
#include <iostream>
#include <gtest/gtest.h>
#include "game/battle_map.h"

void registerUnit(Archer* u);
void registerUnit(Fighter* u);
void registerUnit(Flier* u);
void registerUnit(Healer* u);
void registerUnit(Mage* u);

template <class T> T* placeUnit(int player, int row, int col) {
    MapCell& cell = battleMap[row][col];
    T* unit = new T(cell.centre.x, cell.centre.y, cell.centre.z, player);
    unit->position = cell.centre;
    unit->row = row;
    unit->col = col;
    unit->facing = player == 1 ? 0.0f : -180.0f;
    cell.occupant = unit->id;
    registerUnit(unit);
    return unit;
}

template <class F> std::string captureOutput(F fn) {
    std::cout.flush();
    fflush(stdout);
    testing::internal::CaptureStdout();
    fn();
    std::cout.flush();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}
