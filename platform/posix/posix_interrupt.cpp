// A tool ended by a signal while writing leaves no partial output: the
// signals that end a run from outside remove what an error would, from what
// was noted when the output was opened (nothing here may allocate or lock).
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/posix/posix_internal.h"

namespace {

const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t armed = 0;
int armedDescriptor = -1;
bool armedRegular = false;
char armedPath[PATH_MAX];
dev_t armedDevice = 0;
ino_t armedInode = 0;

void RemoveAndDie(int signal) {
  if (armed) {
    if (armedRegular) static_cast<void>(ftruncate(armedDescriptor, 0) == 0);
    struct stat info;
    if (armedPath[0] != '\0' && lstat(armedPath, &info) == 0 && S_ISREG(info.st_mode) &&
        info.st_dev == armedDevice && info.st_ino == armedInode) {
      unlink(armedPath);
    }
  }
  // The handler was reset on entry: raised again, the signal ends the tool
  // as it would have, with the status a shell expects of it.
  raise(signal);
}

void InstallOnce() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = RemoveAndDie;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (const int signal : kEndingSignals) sigaddset(&action.sa_mask, signal);
  for (const int signal : kEndingSignals) {
    struct sigaction before;
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

}  // namespace

void ArmRemovalOnSignals(const OutputFile& output) {
  InstallOnce();
  armed = 0;
  armedDescriptor = static_cast<int>(output.handle);
  armedRegular = output.regular;
  armedPath[0] = '\0';
  if (output.removePath.size() < sizeof armedPath) {
    std::memcpy(armedPath, output.removePath.c_str(), output.removePath.size() + 1);
  }
  armedDevice = static_cast<dev_t>(output.device);
  armedInode = static_cast<ino_t>(output.inode);
  armed = 1;
}

void DisarmRemovalOnSignals() {
  armed = 0;
}

void HoldEndingSignals(bool hold) {
  sigset_t ending;
  sigemptyset(&ending);
  for (const int signal : kEndingSignals) sigaddset(&ending, signal);
  sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &ending, nullptr);
}
