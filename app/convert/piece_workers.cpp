// SPDX-License-Identifier: GPL-3.0-or-later
// Worker processes over Unix stream sockets. A message is a one-byte status
// and the lost characters' record (results only), an eight-byte length and
// the bytes. Sockets, not pipes, so
// that a worker gone away fails a send (MSG_NOSIGNAL) instead of raising
// SIGPIPE in a filter whose own SIGPIPE behaviour callers rely on.
#include "app/convert/piece_workers.h"

#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

namespace molvane::convert {
namespace {

bool SendAll(int socket, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t sent = send(socket, at, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    at += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int socket, void* data, size_t size) {
  char* at = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = recv(socket, at, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool SendBytes(int socket, const std::string& bytes) {
  const uint64_t size = bytes.size();
  return SendAll(socket, &size, sizeof size) && SendAll(socket, bytes.data(), bytes.size());
}

bool ReceiveBytes(int socket, std::string* bytes) {
  uint64_t size = 0;
  if (!ReceiveAll(socket, &size, sizeof size)) return false;
  bytes->resize(size);
  return ReceiveAll(socket, bytes->data(), size);
}

}  // namespace

int AvailableProcessors() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  return CPU_COUNT(&set) > 0 ? CPU_COUNT(&set) : 1;
}

PieceWorkers::~PieceWorkers() {
  Stop();
}

bool PieceWorkers::Start(int count, Work work) {
  const pid_t parent = getpid();
  for (int i = 0; i < count; ++i) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) break;
    const pid_t pid = fork();
    if (pid < 0) {
      close(ends[0]);
      close(ends[1]);
      break;
    }
    if (pid == 0) {
      // Only this worker's end stays open here, so every other worker sees
      // its socket close when this process's parent closes it.
      for (const Worker& w : workers_) close(w.socket);
      close(ends[0]);
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(1);
      Serve(ends[1], work);
    }
    close(ends[1]);
    workers_.push_back({pid, ends[0]});
  }
  if (static_cast<int>(workers_.size()) == count) return true;
  Stop();
  return false;
}

void PieceWorkers::Serve(int socket, const Work& work) {
  std::string input;
  while (ReceiveBytes(socket, &input)) {
    Result result;
    try {
      result = work(std::move(input));
    } catch (const std::bad_alloc&) {
      result = {Status::kOutOfMemory, {}, {}};
    }
    input.clear();
    const auto status = static_cast<uint8_t>(result.status);
    if (!SendAll(socket, &status, 1) || !SendAll(socket, &result.lost, sizeof result.lost) ||
        !SendBytes(socket, result.output))
      _exit(1);
  }
  // The parent closed its end: no more pieces. Nothing of the parent's
  // (buffered output, exit handlers) may run here.
  _exit(0);
}

bool PieceWorkers::Send(const std::string& input) {
  if (workers_.empty() || Full()) return false;
  const size_t worker = next_;
  if (!SendBytes(workers_[worker].socket, input)) return false;
  inFlight_.push_back(worker);
  next_ = (next_ + 1) % workers_.size();
  return true;
}

bool PieceWorkers::Receive(Result* result) {
  if (inFlight_.empty()) return false;
  const size_t worker = inFlight_.front();
  const int socket = workers_[worker].socket;
  inFlight_.pop_front();
  uint8_t status = 0;
  if (!ReceiveAll(socket, &status, 1) || status > static_cast<uint8_t>(Status::kMismatch) ||
      !ReceiveAll(socket, &result->lost, sizeof result->lost) ||
      !ReceiveBytes(socket, &result->output)) {
    stopped_ = worker;
    return false;
  }
  result->status = static_cast<Status>(status);
  return true;
}

int PieceWorkers::StoppedWorkerExitCode() {
  if (stopped_ >= workers_.size() || workers_[stopped_].pid < 0) return -1;
  Worker& w = workers_[stopped_];
  close(w.socket);  // a worker still running sees no more pieces and ends
  w.socket = -1;
  int status = 0;
  pid_t ended;
  while ((ended = waitpid(w.pid, &status, 0)) < 0 && errno == EINTR) {
  }
  w.pid = -1;
  return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void PieceWorkers::Stop() {
  // A piece still being converted is not wanted any more.
  for (size_t worker : inFlight_)
    if (workers_[worker].pid > 0) kill(workers_[worker].pid, SIGKILL);
  for (const Worker& w : workers_)
    if (w.socket >= 0) close(w.socket);
  for (const Worker& w : workers_) {
    while (w.pid > 0 && waitpid(w.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  workers_.clear();
  inFlight_.clear();
  next_ = 0;
  stopped_ = SIZE_MAX;
}

}  // namespace molvane::convert
