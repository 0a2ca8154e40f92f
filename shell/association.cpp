#include "shell/association.h"

#include <cstring>

#include "platform/platform.h"
#include "shell/message_boxes.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

// Creates a key and writes its default value as text without its zero.
void WriteDefaultText(const char* path, const char* text) {
  RegistryKey key;
  if (!CreateRegistryKey(kClassesRoot, path, kKeyClass, &key)) return;
  WriteRegistryValue(key, nullptr, kRegString, text, static_cast<std::uint32_t>(std::strlen(text)));
  CloseRegistryKey(key);
}

// Deletes subkey of the key at path, when that key opens.
bool DeleteSubkeyOf(RegistryKey root, const char* path, unsigned access, const char* subkey) {
  RegistryKey key;
  if (!OpenRegistryKey(root, path, access, &key)) return false;
  DeleteRegistryKey(key, subkey);
  CloseRegistryKey(key);
  return true;
}

// True when the maker key has nothing left in it once the product is gone.
bool DeleteProductFromMaker() {
  RegistryKey maker;
  if (!OpenRegistryKey(kLocalMachine, kMakerKey, kKeyWrite | kKeyEnumerateSubKeys, &maker)) {
    return false;
  }
  DeleteRegistryKey(maker, kProductName);
  char name[50];
  char className[50];
  const long result =
      EnumerateRegistryKey(maker, 0, name, sizeof name, className, sizeof className);
  CloseRegistryKey(maker);
  return result == kNoMoreItems;
}

}  // namespace

void OfferAssociation() {
  RegistryKey existing;
  if (OpenRegistryKey(kClassesRoot, kAssociationKey, kKeyRead, &existing)) {
    CloseRegistryKey(existing);
    return;
  }
  BeepUnlessSilent(kBeepAsterisk);
  if (ShowMessageBox(kAssociationOffer, kAssociationCaption, kBoxYesNo | kBoxIconQuestion) !=
      kAnswerYes) {
    return;
  }
  // The path is quoted, so that a path with blanks cannot start another
  // program; " %1" stays unquoted, as start-up takes the rest whole as one name.
  char path[kMaxPath];
  const std::uint32_t length = ModulePath(path, kMaxPath);
  if (length == 0 || length >= kMaxPath) return;  // cut: it would name another file
  char command[kMaxPath + sizeof kCommandArgument + 2];
  command[0] = '"';
  std::memcpy(command + 1, path, length);
  command[length + 1] = '"';
  std::strcpy(command + length + 2, kCommandArgument);
  WriteDefaultText(kAssociationKey, kAssociationText);
  WriteDefaultText(kOpenCommandKey, command);
  WriteDefaultText(kExtensionKey, kAssociationKey);
}

void UninstallCommand() {
  BeepUnlessSilent(kBeepAsterisk);
  if (ShowMessageBox(kUninstallQuestion, kUninstallCaption,
                     kBoxOkCancel | kBoxIconQuestion | kBoxDefaultSecond) == kAnswerCancel) {
    return;
  }
  RegistryKey product;
  if (OpenRegistryKey(kLocalMachine, kProductKey, kKeyWrite, &product)) {
    DeleteRegistryKey(product, kLastDirectorySubkey);
    DeleteRegistryKey(product, kOptionsSubkey);
    DeleteRegistryKey(product, kPositionSubkey);
    CloseRegistryKey(product);
  }
  if (DeleteProductFromMaker()) DeleteSubkeyOf(kLocalMachine, kSoftwareKey, kKeyWrite, kMakerName);

  if (DeleteSubkeyOf(kClassesRoot, kShellOpenKey, kKeyRead | kKeyWrite, kCommandSubkey)) {
    if (DeleteSubkeyOf(kClassesRoot, kShellKey, kKeyWrite, kOpenSubkey) &&
        DeleteSubkeyOf(kClassesRoot, kAssociationKey, kKeyWrite, kShellSubkey)) {
      DeleteRegistryKey(kClassesRoot, kAssociationKey);
    }
    DeleteRegistryKey(kClassesRoot, kExtensionKey);
  }
  options.skipSave = 1;
  SendToWindow(kMessageDestroy, 0, 0);
}
