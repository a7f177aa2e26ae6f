// SPDX-License-Identifier: GPL-3.0-or-later
// Converts pieces of input in worker processes, one piece at a time each,
// and hands the results back in the order the pieces were sent. A worker is
// a fork of this process made before it converts anything, so it runs the
// same program with the same settings. Every piece starts the program
// afresh, so the joined results are those of converting the pieces one after
// another in one process: the workers only let several cores share a book.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/settings/full_text.h"

namespace molvane::convert {

class PieceWorkers {
 public:
  // kMismatch: the program's codes did not match the piece's characters.
  enum class Status : uint8_t { kDone, kMessageShown, kOutOfMemory, kMismatch };
  struct Result {
    Status status = Status::kDone;
    std::string output;
    settings::Lost lost;  // offsets in the piece's text
  };
  // Runs in a worker: the result of one piece.
  using Work = std::function<Result(std::string input)>;

  PieceWorkers() = default;
  ~PieceWorkers();  // ends the workers and waits for them
  PieceWorkers(const PieceWorkers&) = delete;
  PieceWorkers& operator=(const PieceWorkers&) = delete;

  // Starts `count` workers running `work`. False, with none left running,
  // when a process or a socket cannot be made.
  bool Start(int count, Work work);
  bool Started() const { return !workers_.empty(); }

  // Every worker holds a piece: receive one before sending another.
  bool Full() const { return inFlight_.size() == workers_.size(); }
  bool Idle() const { return inFlight_.empty(); }

  // Hands a piece to the next worker; false when it cannot take it.
  bool Send(const std::string& input);
  // The result of the oldest piece sent; false when its worker stopped
  // without one.
  bool Receive(Result* result);

  // After a failed Receive: the exit code of the worker that stopped, once
  // it has ended; -1 when a signal ended it.
  int StoppedWorkerExitCode();

 private:
  struct Worker {
    pid_t pid;
    int socket;  // this process's end
  };

  [[noreturn]] static void Serve(int socket, const Work& work);
  void Stop();

  std::vector<Worker> workers_;
  std::deque<size_t> inFlight_;  // the workers holding pieces, oldest first
  size_t next_ = 0;              // the worker the next piece goes to
  size_t stopped_ = SIZE_MAX;    // the worker a Receive failed on
};

// The processors this process may run on (at least 1).
int AvailableProcessors();

}  // namespace molvane::convert
