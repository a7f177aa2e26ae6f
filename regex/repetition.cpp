// SPDX-License-Identifier: GPL-3.0-or-later
// The repetition elements. One atom element serves every iteration: the state
// of each iteration lies on the backtrack stack, so MatchNext of the atom
// always addresses the latest iteration still standing. Repetitions loop
// instead of nesting a call per iteration, so long subjects cannot exhaust the
// C++ stack.
#include <algorithm>

#include "regex/elements.h"

namespace molvane::regex {

namespace {

// With `guard` each iteration keeps a mark above the atom's pushes: where it
// began, negated (minus one) once a way of it has ended there. An iteration
// that ends where it began a second time leaves everything after it exactly
// as the first time did, and that already failed; retrying it would make a
// count of n empty-matching iterations cost 2^n ("(|^){30}b").
int32_t Mark(int32_t begin, bool endedEmpty) {
  return endedEmpty ? -begin - 1 : begin;
}

// Asks the iteration on top for another way, skipping empty repeats under
// `guard`. Its mark is popped before and pushed again after a success.
bool RetryIteration(MatchContext& context, const MatchElement* atom, bool guard) {
  if (!guard) return atom->MatchNext(context);
  const int32_t mark = context.backtrack.Pop();
  const int32_t begin = mark < 0 ? -mark - 1 : mark;
  bool endedEmpty = mark < 0;
  while (atom->MatchNext(context)) {
    if (context.position != begin || !endedEmpty) {
      endedEmpty = endedEmpty || context.position == begin;
      context.backtrack.Push(Mark(begin, endedEmpty));
      return true;
    }
  }
  return false;
}

// Goes on from `standing` iterations until `count` stand. When an iteration
// fails, earlier ones are asked for another way, latest first. With
// `backtrack` the latest standing iteration is asked first.
bool RunIterations(MatchContext& context, const MatchElement* atom, int32_t standing, int32_t count,
                   bool backtrack, bool guard) {
  for (;;) {
    if (backtrack) {
      for (;;) {
        if (standing == 0) return false;
        --standing;
        if (RetryIteration(context, atom, guard)) {
          ++standing;
          break;
        }
      }
      backtrack = false;
    }
    while (standing < count) {
      const int32_t begin = context.position;
      if (!atom->Match(context)) {
        backtrack = true;
        break;
      }
      if (guard) context.backtrack.Push(Mark(begin, context.position == begin));
      ++standing;
    }
    if (!backtrack) return true;
  }
}

// Whether `end` is among the `count` sorted ends at `base` on the scratch
// stack.
bool IsOffered(const IntStack& scratch, int32_t base, int32_t count, int32_t end) {
  const int32_t* first = scratch.Data() + base;
  return std::binary_search(first, first + count, end);
}

// Inserts `end`, not yet among them, into the sorted list of `count` ends at
// `base`, the top of the scratch stack; returns the new count.
int32_t InsertOffered(IntStack& scratch, int32_t base, int32_t count, int32_t end) {
  const int32_t* first = scratch.Data() + base;
  const int32_t slot = static_cast<int32_t>(std::lower_bound(first, first + count, end) - first);
  scratch.Push(0);
  for (int32_t i = count; i > slot; --i) scratch[base + i] = scratch[base + i - 1];
  scratch[base + slot] = end;
  return count + 1;
}

}  // namespace

// ---- RepeatElement ----

bool RepeatElement::Match(MatchContext& context) const {
  return count <= 0 || RunIterations(context, atom, 0, count, false, skipRepeatedEmpty);
}

bool RepeatElement::MatchNext(MatchContext& context) const {
  return count > 0 && RunIterations(context, atom, count, count, true, skipRepeatedEmpty);
}

// ---- Shared by the ranged repetitions ----

bool RangeRepeatElement::MatchMinimum(MatchContext& context) const {
  return minimum <= 0 || RunIterations(context, atom, 0, minimum, false, skipRepeatedEmpty);
}

bool RangeRepeatElement::BacktrackMinimum(MatchContext& context) const {
  return minimum > 0 && RunIterations(context, atom, minimum, minimum, true, skipRepeatedEmpty);
}

int32_t RangeRepeatElement::Extend(MatchContext& context, int32_t done, int32_t deadBase,
                                   int32_t dead) const {
  int32_t count = done;
  while (count < extra) {
    const int32_t at = context.position;
    // Every way on from a dead end has failed: stop there, so that the
    // caller backtracks into the iteration that arrived.
    if (dead > 0 && IsOffered(context.scratch, deadBase, dead, at)) break;
    const int32_t backtrackSize = context.backtrack.Size();
    const int32_t capturesSize = context.captures.Size();
    if (!atom->Match(context)) break;
    // An iteration that consumes nothing would repeat forever; one of its
    // other ways may still consume something.
    while (context.position == at && atom->MatchNext(context)) {
    }
    if (context.position == at) {
      context.CutBack(backtrackSize, capturesSize, at);
      break;
    }
    if (atomCanBeEmpty) context.backtrack.Push(at);
    ++count;
  }
  return count;
}

// ---- GreedyElement ----
//
// Record on the backtrack stack, top last: captures size and backtrack size
// before the extension, the offered end positions (sorted) and their count,
// the position before the extension, the number of extension iterations.
// Below it, each extension iteration's pushes, followed by its begin position
// when the atom can match empty.

void GreedyElement::PushFreshRecord(MatchContext& context) const {
  const int32_t backtrackSize = context.backtrack.Size();
  const int32_t capturesSize = context.captures.Size();
  const int32_t from = context.position;
  const int32_t count = Extend(context, 0);
  IntStack& stack = context.backtrack;
  stack.Push(capturesSize);
  stack.Push(backtrackSize);
  stack.Push(context.position);
  stack.Push(1);
  stack.Push(from);
  stack.Push(count);
}

bool GreedyElement::Match(MatchContext& context) const {
  if (!MatchMinimum(context)) return false;
  PushFreshRecord(context);
  return true;
}

bool GreedyElement::MatchNext(MatchContext& context) const {
  IntStack& stack = context.backtrack;
  IntStack& scratch = context.scratch;
  const int32_t count = stack.Pop();
  const int32_t from = stack.Pop();
  int32_t offered = stack.Pop();
  // The atom's pushes lie under the record, so the offered list waits on the
  // scratch stack while the atom backtracks.
  const int32_t base = scratch.Size();
  const int32_t list = stack.Size() - offered;
  for (int32_t i = 0; i < offered; ++i) scratch.Push(stack[list + i]);
  stack.Cut(list);
  const int32_t backtrackSize = stack.Pop();
  const int32_t capturesSize = stack.Pop();

  auto pushRecord = [&](int32_t iterations) {
    stack.Push(capturesSize);
    stack.Push(backtrackSize);
    for (int32_t i = 0; i < offered; ++i) stack.Push(scratch[base + i]);
    stack.Push(offered);
    stack.Push(from);
    stack.Push(iterations);
    scratch.Cut(base);
  };

  const bool deadStates = skipDeadStates && context.memoise;
  int32_t standing = count;
  while (standing > 0) {
    const int32_t begin = atomCanBeEmpty ? stack.Pop() : -1;
    if (!atom->MatchNext(context)) {
      // The latest iteration is undone: end where it began, unless that was
      // offered and refused already.
      if (deadStates) {
        if (IsOffered(scratch, base, offered, context.position)) {
          --standing;
          continue;
        }
        offered = InsertOffered(scratch, base, offered, context.position);
      }
      pushRecord(standing - 1);
      return true;
    }
    if (context.position == from) {
      // The only iteration now ends where the extension began, which is what
      // no iteration at all offers: offer that once, then go deeper.
      if (drainsCalls && context.memoise) {
        while (atom->MatchNext(context)) {
        }
      }
      context.CutBack(backtrackSize, capturesSize, from);
      if (deadStates) {
        if (IsOffered(scratch, base, offered, from)) break;
        offered = InsertOffered(scratch, base, offered, from);
      }
      pushRecord(0);
      return true;
    }
    if (atomCanBeEmpty) stack.Push(begin);
    // An iteration that now consumes nothing ends the loop: another
    // iteration after it would start where it started, without end.
    const int32_t iterations = context.position == begin
                                   ? standing
                                   : Extend(context, standing, base, deadStates ? offered : 0);
    const int32_t end = context.position;
    if (!IsOffered(scratch, base, offered, end)) {
      offered = InsertOffered(scratch, base, offered, end);
    } else if (skipOfferedEnds) {
      // What follows already failed from this end. The iterations that led
      // here may still have other ways, so go on backtracking into them
      // rather than cutting them away.
      standing = iterations;
      continue;
    }
    pushRecord(iterations);
    return true;
  }

  scratch.Cut(base);
  if (!BacktrackMinimum(context)) return false;
  PushFreshRecord(context);
  return true;
}

// ---- LazyElement ----
//
// Per extra iteration the position where it began, then the count of extra
// iterations; with skipDeadStates the sorted dead ends and their count on
// top.

bool LazyElement::Match(MatchContext& context) const {
  if (!MatchMinimum(context)) return false;
  context.backtrack.Push(0);
  if (skipDeadStates && context.memoise) context.backtrack.Push(0);
  return true;
}

bool LazyElement::MatchNext(MatchContext& context) const {
  IntStack& stack = context.backtrack;
  IntStack& scratch = context.scratch;
  const bool deadStates = skipDeadStates && context.memoise;
  // The dead ends wait on the scratch stack while the atom backtracks.
  const int32_t base = scratch.Size();
  int32_t dead = 0;
  if (deadStates) {
    dead = stack.Pop();
    const int32_t list = stack.Size() - dead;
    for (int32_t i = 0; i < dead; ++i) scratch.Push(stack[list + i]);
    stack.Cut(list);
  }
  auto offer = [&](int32_t begin, int32_t iterations) {
    stack.Push(begin);
    stack.Push(iterations);
    if (deadStates) {
      for (int32_t i = 0; i < dead; ++i) stack.Push(scratch[base + i]);
      stack.Push(dead);
    }
    scratch.Cut(base);
  };
  // A way is of use when it moved, and not to where everything has failed.
  auto useful = [&](int32_t begin) {
    return context.position != begin &&
           (dead == 0 || !IsOffered(scratch, base, dead, context.position));
  };
  // Offered and refused, and no iteration from there led anywhere.
  auto bury = [&](int32_t end) {
    if (deadStates && !IsOffered(scratch, base, dead, end))
      dead = InsertOffered(scratch, base, dead, end);
  };
  int32_t count = stack.Pop();
  if (count < extra) {
    const int32_t at = context.position;
    if (atom->Match(context)) {
      do {
        if (useful(at)) {
          offer(at, count + 1);
          return true;
        }
      } while (atom->MatchNext(context));
    }
    bury(at);
  }
  while (count > 0) {
    const int32_t at = stack.Pop();
    while (atom->MatchNext(context)) {
      if (useful(at)) {
        offer(at, count);
        return true;
      }
    }
    bury(at);
    --count;
  }
  scratch.Cut(base);
  if (!BacktrackMinimum(context)) return false;
  stack.Push(0);
  if (deadStates) stack.Push(0);
  return true;
}

// ---- PossessiveElement ----

bool PossessiveElement::Match(MatchContext& context) const {
  const int32_t at = context.position;
  const int32_t backtrackSize = context.backtrack.Size();
  const int32_t capturesSize = context.captures.Size();
  if (!MatchMinimum(context)) return false;
  Extend(context, 0);
  context.backtrack.Cut(backtrackSize);
  context.backtrack.Push(at);
  context.backtrack.Push(capturesSize);
  return true;
}

bool PossessiveElement::MatchNext(MatchContext& context) const {
  context.captures.Cut(context.backtrack.Pop());
  context.position = context.backtrack.Pop();
  return false;
}

}  // namespace molvane::regex
