// The asset list tool: reports every image the run loaded and copies each
// once into the collection folder. Runs only with its developer switch.
#pragma once

void writeAssetList();
