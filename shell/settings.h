// The settings in the registry: the window placement and the two options.
#pragma once

// Reads the placement and the options; false at a first run (no saved
// placement), which leaves the options at their defaults.
bool ReadSettings();

// Writes the placement and the options into their keys, when the keys exist.
void SaveSettings();

// Creates the three settings keys (empty) at a first run.
void CreateSettingsKeys();
