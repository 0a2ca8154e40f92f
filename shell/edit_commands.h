// The Edit menu: Copy and Select all over the selection, and Find with its
// next and previous.
#pragma once

// Ctrl+C: the selected text onto the clipboard as Unicode.
void CopyCommand();
// Ctrl+A: the whole document (as far as it can be shown) selected.
void SelectAllCommand();
// Ctrl+F: asks for the text, then finds it after the selection.
void FindCommand();
// F3 and Shift+F3: the text asked last, after or before the selection; with
// none asked yet, Find's question first.
void FindAgainCommand(bool forward);
