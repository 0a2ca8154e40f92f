// The reader's message boxes, each with its beep, all owned by the main window.
#pragma once

// The exclamation beep unless silent, then the text in a box captioned "Tavelo".
void ShowWarning(const char* text);

// The asterisk beep unless silent, then an information box captioned "Tavelo".
void ShowInformation(const char* text);

// Sounds a beep of the given type unless silent mode is on.
void BeepUnlessSilent(unsigned type);
