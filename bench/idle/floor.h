#pragma once

// The floor of the toolkit for the barograph's drawing job: a bare Qt Quick
// window whose one chart series is replaced by the points of a full
// 30-minute table every sample period. Runs until it is ended.

constexpr int TableRows = 900; // BARO30M: 30 minutes at one row every 2 s

int runFloor(int argc, char *argv[]);
