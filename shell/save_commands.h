// The File menu's commands that write a new file and then open it: the three
// converters and Paste to file.
#pragma once

// BIG5 to GB2312 through the BIG5-to-GB map (the menu offers it in BIG5 mode only).
void SaveInGbCommand();

// The document with its HZ escapes decoded into GB2312 bytes.
void DecodeHzCommand();

// The document with its quoted-printable escapes decoded.
void DecodeQpCommand();

// The clipboard's Unicode text, up to its first zero, in GB18030: every
// character kept, whatever the user's code page.
void PasteToFileCommand();
