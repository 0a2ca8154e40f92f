// The main window's message handlers, one for each message the window
// procedure dispatches (shell/window_procedure.cpp), with its parameters
// already unpacked. Each comment names the message and the file that holds
// the handler; those in window_procedure.cpp only hand the message on to the
// room that does the work.
#pragma once

#include "platform/platform.h"

// WM_CREATE (window_lifecycle.cpp): loads the atlas, allocates the Work area,
// accepts drops and, at a first run, offers the association and creates the
// settings keys.
MessageResult OnCreate();

// WM_DESTROY (window_lifecycle.cpp): releases everything, saves the settings
// unless Uninstall ran, ends the message loop.
MessageResult OnDestroy();

// WM_MOVE (window_procedure.cpp): records the rectangle of a normal window.
void OnMove();

// WM_SIZE (window_procedure.cpp): records the window state, then the view's
// metrics and relayout (ApplyClientSize, display/view.cpp).
void OnSize(unsigned sizeKind, int width, int height);

// WM_PAINT (window_procedure.cpp): begins the paint, has the Page painter
// draw, ends it, then shows the truncation warning once per document.
MessageResult OnPaint();

// WM_KEYDOWN (window_procedure.cpp): HandleKeyDown, display/view.cpp.
void OnKeyDown(unsigned key);
// The commands' keys (commands.cpp): Ctrl+O opens, Ctrl+Q exits, Ctrl with
// plus, minus and 0 zoom in, out and back to 1; true when the key was one,
// posted as its command.
bool HandleShortcut(unsigned key);
// Ctrl and the wheel (commands.cpp): a notch away from the user zooms in a
// step, towards the user out.
void ZoomByWheel(int delta);

// WM_COMMAND (commands.cpp): carries out a menu command; unknown ids are ignored.
void OnCommand(int command);

// WM_VSCROLL (window_procedure.cpp): HandleScrollCommand, display/view.cpp;
// false when no document is open and the platform should handle it.
bool OnVScroll(int code, int thumbPosition);

// WM_INITMENUPOPUP (commands.cpp): grays or enables the File menu's items as
// it opens; false for other popups.
bool OnInitMenuPopup(int position, bool systemMenu);

// WM_MOUSEWHEEL (window_procedure.cpp): HandleMouseWheel, display/view.cpp;
// delta in wheel units, positive away from the user.
void OnMouseWheel(int delta);

// WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP (window_procedure.cpp): the
// selection's PressAt, DragTo and ReleaseAt (display/selection.cpp); x and y
// in client pixels, shift whether Shift was held. A move without the button
// held ends a drag whose button went up unseen.
void OnLeftButtonDown(int x, int y, bool shift);
void OnMouseMove(int x, int y, bool buttonHeld);
void OnLeftButtonUp(int x, int y);

// WM_DROPFILES (commands.cpp): opens the first dropped file.
void OnDropFiles(DropHandle drop);
