// The main window's creation and destruction.
#pragma once

#include "platform/platform.h"

// True once the destroy handling has run: the resources are gone, and
// messages still queued for the window are left to the platform.
extern bool windowDestroyed;

// Loads the atlas, allocates the Work area, accepts drops and, at a first
// run, offers the association and creates the settings keys.
MessageResult OnCreate();

// Releases everything, saves the settings unless Uninstall ran, ends the loop.
MessageResult OnDestroy();
