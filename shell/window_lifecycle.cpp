#include <algorithm>

#include "conversion/big5_map.h"
#include "display/geometry.h"
#include "display/glyph_atlas.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "shell/association.h"
#include "shell/command_ids.h"
#include "shell/encoding_menu.h"
#include "shell/handlers.h"
#include "shell/message_boxes.h"
#include "shell/placement.h"
#include "shell/recent_files.h"
#include "shell/settings.h"
#include "shell/state.h"
#include "shell/texts.h"

// Creation failed: the window destroys itself, which ends the program.
static MessageResult FailCreation(const char* warning) {
  ShowWarning(warning);
  SendToWindow(kMessageDestroy, 0, 0);
  return 0;
}

MessageResult OnCreate() {
  if (options.autoOpen || options.silentMode) {
    CheckMenuCommand(CMD_SILENT, options.silentMode != 0);
    CheckMenuCommand(CMD_AUTOOPEN, options.autoOpen != 0);
  }
  ApplySavedReadingMode();
  ShowRecentFiles();
  // Before the first size notification, which lays the page out at it.
  zoom = options.zoom >= kMinZoom && options.zoom <= kMaxZoom ? options.zoom : DesktopScale();
  zoom = std::min(std::max(zoom, kMinZoom), kMaxZoom);
  atlasBitmap = LoadBitmapResource(kFontBitmapName);
  if (atlasBitmap == 0) return FailCreation(kCouldNotLoadFonts);
  glyphsBitmap = LoadBitmapResource(kGlyphsBitmapName);
  if (glyphsBitmap == 0) return FailCreation(kCouldNotLoadFonts);
  if (!AllocateWorkArea()) return FailCreation(kCouldNotAllocateMemory);
  AcceptDroppedFiles(true);
  if (placement.WinStatus == -1) {
    placement.WinStatus = 0;
    OfferAssociation();
    CreateSettingsKeys();
  }
  return 0;
}

MessageResult OnDestroy() {
  if (atlasBitmap != 0) {
    DeleteBitmap(atlasBitmap);
    atlasBitmap = 0;
  }
  if (glyphsBitmap != 0) {
    DeleteBitmap(glyphsBitmap);
    glyphsBitmap = 0;
  }
  StopWindowTimer(kLayoutTimer);
  FreeWorkArea();
  if (big5Mode) {
    FreeBig5Map();
    big5Mode = 0;
  }
  AcceptDroppedFiles(false);
  NoteDocumentLeft();
  if (documentHandle != kInvalidFile) {
    CloseFile(documentHandle);
    documentHandle = kInvalidFile;
  }
  if (!options.skipSave) SaveSettings();
  windowDestroyed = true;
  PostQuit(0);
  return 0;
}
