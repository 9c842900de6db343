#pragma once
// Configurations on disk for tests that open the editor window.

#include "config/configuration.h"

#include <QString>

struct SampleSettings {
    int featureFlags = 0x04 | 0x10 | 0x40;   // magnetic-card signal, evaluation, block lists
    int trackFlags = 0x03;                    // both tracks
    int track2Digits = 8;                     // 4 slots
    int track3Digits = 24;                    // 12 slots
    int doorOpenTime = 5;
};

// Fills m's image with the settings and distinct rows and comments (every
// seventh longer than 33 characters), then writes the .QLV and .BGT files to
// path, which becomes m.CurrentConfigFile. False when a file was not written.
bool WriteSampleConfiguration(Configuration& m, const QString& path, const SampleSettings& settings = {});
