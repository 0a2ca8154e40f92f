// The .gb association offered at the first run, and Uninstall, which removes
// every registry entry the reader made.
#pragma once

// Asks whether .gb files should open with the reader, unless some program
// already holds the "GBText" type, and writes the association on Yes.
void OfferAssociation();

// After confirmation deletes the settings, maker and association keys and
// ends the program without saving.
void UninstallCommand();
