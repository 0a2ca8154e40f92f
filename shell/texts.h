// Every text the reader shows, and the names it keeps in the registry.
#pragma once

// Captions.
constexpr char kClassName[] = "Tavelo";  // also the caption of every warning
constexpr char kStartCaption[] = "Tavelo - Chinese Text Reader";
constexpr char kDocumentCaptionPrefix[] = "Tavelo - ";
constexpr char kAboutCaption[] = "About";
constexpr char kAssociationCaption[] = "Association";
constexpr char kUninstallCaption[] = "Uninstall";

// Resource names.
constexpr char kIconName[] = "TheIcon";
constexpr char kMenuName[] = "TheMenu";
constexpr char kFontBitmapName[] = "Font";
constexpr char kGlyphsBitmapName[] = "Glyphs";  // the Unicode atlas (display/unicode_glyphs.h)

// Warnings.
constexpr char kCouldNotLoadFonts[] = "Could not load fonts.";
constexpr char kCouldNotAllocateMemory[] = "Could not allocate memory.";
constexpr char kOnlyFirstLines[] = "Only first 32,768 lines can be browsed.";
constexpr char kCouldNotOpenFile[] = "Could not open the file.";
constexpr char kCouldNotLoadMappingCodes[] = "Could not load mapping codes.";
constexpr char kCouldNotAllocateMappingCodes[] = "Could not allocate memory for mapping codes.";
constexpr char kDontOverwrite[] = "Don't overwrite what you're now reading!";
constexpr char kCouldNotWriteFile[] = "Could not write the file.";
constexpr char kDontPasteOver[] = "Don't paste to the file you're now reading!";
constexpr char kCouldNotOpenClipboard[] = "Fail to open the clipboard.";
constexpr char kClipboardTextVanished[] = "Wow, the text on the clipboard has now vanished!";
constexpr char kCouldNotGetClipboardData[] = "Fail to get clipboard data.";
constexpr char kDocumentTooLarge[] =
    "This document is 2 GB or larger. Only the part below 2 GB can be read, so it cannot be "
    "converted whole.";

constexpr char kSelectionTooLarge[] = "The selection is too large to copy: select at most 64 MB.";
constexpr char kCouldNotCopy[] = "Could not put the text on the clipboard.";

// Information and questions.
constexpr char kNotFound[] = "Not found.";
constexpr char kAlreadyReading[] = "You're now reading it already!";
// The third line gives the wide cell's width and height.
constexpr char kAboutText[] =
    "Tavelo - Chinese Text Reader\n"
    "Version 1.0.0\n"
    "Hanzi cell: %dx%d pixels";
constexpr char kAssociationOffer[] =
    "Welcome to Tavelo!\n\n"
    "Would you like to associate\n"
    ".GB files to this program?";
constexpr char kUninstallQuestion[] =
    "This will remove Tavelo from registry.\n"
    "You'll have to remove the program file\n"
    "yourself after that.  Sure to proceed?";

// Registry keys and values, all under HKEY_LOCAL_MACHINE but the association's.
constexpr char kSoftwareKey[] = "Software";
constexpr char kMakerKey[] = "Software\\Kestrow";
constexpr char kMakerName[] = "Kestrow";
constexpr char kProductKey[] = "Software\\Kestrow\\Tavelo";
constexpr char kProductName[] = "Tavelo";
constexpr char kPositionKey[] = "Software\\Kestrow\\Tavelo\\window position";
constexpr char kOptionsKey[] = "Software\\Kestrow\\Tavelo\\options";
constexpr char kLastDirectoryKey[] = "Software\\Kestrow\\Tavelo\\last directory";
constexpr char kPositionSubkey[] = "window position";
constexpr char kOptionsSubkey[] = "options";
constexpr char kLastDirectorySubkey[] = "last directory";
constexpr char kKeyClass[] = "GBText";
constexpr char kWinStatusRead[] = "WinStatus";
constexpr char kWinStatusWritten[] = "winstatus";
constexpr char kLeftValue[] = "left";
constexpr char kRightValue[] = "right";
constexpr char kTopValue[] = "top";
constexpr char kBottomValue[] = "bottom";
constexpr char kSilentValue[] = "silent mode";
constexpr char kAutoOpenValue[] = "auto open file";
constexpr char kDetectValue[] = "detect encoding";
constexpr char kReadingModeValue[] = "reading mode";
constexpr char kZoomValue[] = "zoom";
constexpr char kRecentFilesValue[] = "recent files";
// Each recent document's full name and the byte offset of its top line, numbered from 1.
constexpr char kRecentNameValue[] = "recent file %d";
constexpr char kRecentTopValue[] = "recent top %d";

// Association keys under HKEY_CLASSES_ROOT.
constexpr char kAssociationKey[] = "GBText";
constexpr char kAssociationText[] = "GB Text File";
constexpr char kShellKey[] = "GBText\\shell";
constexpr char kShellOpenKey[] = "GBText\\shell\\open";
constexpr char kOpenCommandKey[] = "GBText\\shell\\open\\command";
constexpr char kShellSubkey[] = "shell";
constexpr char kOpenSubkey[] = "open";
constexpr char kCommandSubkey[] = "command";
constexpr char kExtensionKey[] = ".gb";
constexpr char kCommandArgument[] = " %1";
