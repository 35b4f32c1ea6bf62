// The asset list tool: reports every image the run loaded and copies each
// once into the collection folder. Runs only with its developer switch.
#pragma once

// The collection folder; a file's copy goes to this folder followed by the
// file's path as loaded.
constexpr const char* kAssetCollectionFolder = "C:/Morvane/";

// Writes the report of directing.loadedImages to directing.assetListFile (opened
// by the startup sequence; a failed stream drops the writes silently) with the
// load time read from the clock, sorts the list by path, copies each distinct
// path into the collection folder without overwriting (failures are ignored:
// the folder must exist), and closes the file, which then takes its name.
struct DirectingTools;
struct ShowClock;

void writeAssetList(DirectingTools& directing, ShowClock& clock);
