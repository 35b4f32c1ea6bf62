// Frame-rate statistics per tenth of a second of demo time, written to a log
// at teardown. Runs only with the statistics developer switch.
#pragma once

void openStatistics(const char* path, double duration);
void recordStatistics(double frameRate, double time);
void writeStatistics();
