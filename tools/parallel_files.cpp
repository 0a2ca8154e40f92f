#include "tools/parallel_files.h"

#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <new>
#include <sstream>
#include <string>

#include "tools/tool_files.h"

namespace {

// Converts the jobs the shared counter hands out until none is left.
int ConvertFromCounter(const Request& request, const std::vector<FileJob>& jobs,
                       std::atomic<std::size_t>* next) {
  int status = 0;
  for (std::size_t i = next->fetch_add(1); i < jobs.size(); i = next->fetch_add(1)) {
    const int failed = ConvertFile(request, jobs[i].input.c_str(), jobs[i].output.c_str());
    request.tally->failed += failed;
    status |= failed;
  }
  return status;
}

// A worker's tally as lines of text: "copied unchanged failed", then
// "COUNT ENCODING" for each encoding read.
std::string TallyText(const TreeTally& tally) {
  std::string text = std::to_string(tally.copied) + " " + std::to_string(tally.unchanged) + " " +
                     std::to_string(tally.failed) + "\n";
  for (const auto& entry : tally.converted) {
    text += std::to_string(entry.second) + " " + entry.first + "\n";
  }
  return text;
}

void AddTallyText(const std::string& text, TreeTally* tally) {
  std::istringstream lines(text);
  int copied = 0, unchanged = 0, failed = 0;
  if (!(lines >> copied >> unchanged >> failed)) return;
  tally->copied += copied;
  tally->unchanged += unchanged;
  tally->failed += failed;
  int count = 0;
  std::string name;
  while (lines >> count >> name) tally->converted[name] += count;
}

bool WriteWhole(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string ReadWhole(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return text;
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

// In a forked worker: converts files until none is left, sends its tally
// through fd and ends with its status; never returns.
[[noreturn]] void RunWorker(const Request& request, const std::vector<FileJob>& jobs,
                            std::atomic<std::size_t>* next, int fd, pid_t parent) {
  // A parent ended by a signal takes its workers along, each removing its
  // unfinished output as the signal does.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) _exit(1);
  TreeTally tally;
  Request own = request;
  own.tally = &tally;
  own.progress = false;  // one line redrawn by several workers would garble
  const int status = ConvertFromCounter(own, jobs, next);
  _exit(WriteWhole(fd, TallyText(tally)) ? status : 1);
}

}  // namespace

int ProcessorCount() {
  const long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<int>(count) : 1;
}

int ConvertInWorkers(const Request& request, const std::vector<FileJob>& jobs, int workers) {
  if (static_cast<std::size_t>(workers) > jobs.size()) workers = static_cast<int>(jobs.size());
  std::atomic<std::size_t> here{0};
  if (workers <= 1) return ConvertFromCounter(request, jobs, &here);
  void* shared = mmap(nullptr, sizeof(std::atomic<std::size_t>), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) return ConvertFromCounter(request, jobs, &here);
  auto* next = new (shared) std::atomic<std::size_t>(0);
  std::fflush(nullptr);  // nothing buffered is written twice by the children
  const pid_t parent = getpid();
  std::vector<pid_t> children;
  std::vector<int> tallies;
  int status = 0;
  for (int w = 0; w < workers; ++w) {
    int ends[2];
    if (pipe(ends) != 0) break;
    const pid_t child = fork();
    if (child == 0) {
      close(ends[0]);
      RunWorker(request, jobs, next, ends[1], parent);
    }
    close(ends[1]);
    if (child < 0) {
      close(ends[0]);
      break;
    }
    children.push_back(child);
    tallies.push_back(ends[0]);
  }
  // Workers that could not be started leave their files to this process.
  if (children.empty()) status |= ConvertFromCounter(request, jobs, next);
  for (std::size_t w = 0; w < children.size(); ++w) {
    AddTallyText(ReadWhole(tallies[w]), request.tally);
    close(tallies[w]);
    int ended = 0;
    while (waitpid(children[w], &ended, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(ended)) {
      status |= WEXITSTATUS(ended) != 0;
    } else {
      status = 1;
      const std::string worker = "worker process " + std::to_string(children[w]);
      const std::string what = "ended by signal " + std::to_string(WTERMSIG(ended)) +
                               "; the file it was converting may be missing";
      ReportFailure(worker.c_str(), what.c_str());
    }
  }
  munmap(shared, sizeof(std::atomic<std::size_t>));
  return status;
}
