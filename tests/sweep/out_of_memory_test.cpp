// SPDX-License-Identifier: GPL-3.0-or-later
// Out-of-memory sweep: every allocation of a scenario is failed in turn, one
// child process per allocation, and each run must either end normally with
// the same result as a run without failures, or show exactly the runtime's
// allocation report and exit -1 — never crash, hang, abort, leak or give a
// wrong result. A scenario is one entry in kScenarios.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "engine/conversion.h"
#include "platform/platform.h"
#include "runtime/runtime.h"
#include "support/gbk.h"
#include "support/main_window.h"
#include "ui/program.h"

#if defined(__SANITIZE_ADDRESS__)
#define MOLVANE_SWEEP_LEAKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLVANE_SWEEP_LEAKS 1
#endif
#endif
#ifdef MOLVANE_SWEEP_LEAKS
#include <sanitizer/lsan_interface.h>
#endif

namespace molvane {
namespace {

using testing_support::ChooseNotation;
using testing_support::ClickConvert;
using testing_support::FillBoxes;
using testing_support::ReadOutput;
using testing_support::TakeOutput;

constexpr unsigned kSecondsPerRun = 20;
constexpr const char* kSample = "中国，你好！什么 a哟";

// One scenario: `prepare` runs once without failures and every run starts
// from its state; `run` is the part whose allocations are failed; `result`
// runs with failures off and describes what `run` left behind.
struct Scenario {
  const char* name;
  std::function<void()> prepare;
  std::function<void()> run;
  std::function<std::string()> result;
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.name;
}

// The main window, loaded by the real window engine and used through its
// properties and a click on 转换, as a person at the window would.
std::string g_sample;  // kSample in GBK, made before any allocation is failed

void LoadMainWindow() {
  StartProgram();
  LoadStartWindow(kMainWindowId);
  FillBoxes(g_sample.c_str(), " ");
}

std::string ConvertEveryNotation() {
  std::string all;
  for (int notation = 0; notation < 5; ++notation) {
    ChooseNotation(notation);
    ClickConvert();
    all += TakeOutput(ReadOutput()) + "\n";
  }
  return all;
}

// Start-up through the loaded window: the runtime, StartUp, the template
// read and the window with its nine controls.
Scenario StartUpScenario() {
  return {"StartUpAndWindowLoad", [] { g_sample = platform::Utf8ToGbk(kSample); }, LoadMainWindow,
          [] {
            std::string all = ConvertEveryNotation();
            ShutdownRuntime(0);
            return all;
          }};
}

// One click of 转换 in one notation.
Scenario ConversionScenario(const char* name, int notation) {
  static char* output = nullptr;  // what the failing part produced, for the check
  return {name,
          [notation] {
            g_sample = platform::Utf8ToGbk(kSample);
            LoadMainWindow();
            ChooseNotation(notation);
          },
          [] {
            ClickConvert();
            output = ReadOutput();
            ShutdownRuntime(0);
          },
          [] { return TakeOutput(std::exchange(output, nullptr)); }};
}

const Scenario kScenarios[] = {
    StartUpScenario(),
    ConversionScenario("CurrentBraille", 0),
    ConversionScenario("DoubleBraille", 1),
    ConversionScenario("Shuangpin", 2),
    ConversionScenario("Pinyin", 3),
    ConversionScenario("Wubi", 4),
};

struct ChildEnd {
  int status = 0;
  std::string output;  // standard output and error together
};

// Runs `body` in a child process (killed after `seconds`) and collects what
// it wrote.
ChildEnd RunInChild(const std::function<void()>& body, unsigned seconds) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) std::abort();
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeEnds[0]);
    dup2(pipeEnds[1], 1);
    dup2(pipeEnds[1], 2);
    close(pipeEnds[1]);
    alarm(seconds);
    body();
    std::fflush(nullptr);
    _exit(0);
  }
  close(pipeEnds[1]);
  ChildEnd end;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
    end.output.append(buffer, static_cast<size_t>(got));
  close(pipeEnds[0]);
  waitpid(pid, &end.status, 0);
  return end;
}

// One run with the `k`-th allocation failed (0: none). It ends with its
// result's digest on standard output, after a leak check where one exists.
ChildEnd RunFailing(const Scenario& scenario, uint64_t k) {
  return RunInChild(
      [&scenario, k] {
        testing_support::EchoMessageBoxes();
        platform::SetAllocationFailureCountdown(k);
        scenario.run();
        const uint64_t counted = platform::CountedAllocations();
        platform::SetAllocationFailureCountdown(0);
        const std::string result = scenario.result();
#ifdef MOLVANE_SWEEP_LEAKS
        if (__lsan_do_recoverable_leak_check() != 0) std::printf("LEAK\n");
#endif
        if (k == 0) std::printf("COUNT %llu\n", static_cast<unsigned long long>(counted));
        std::printf("RESULT %zx %zu\n", std::hash<std::string>{}(result), result.size());
      },
      kSecondsPerRun);
}

std::string Describe(const ChildEnd& end) {
  if (WIFSIGNALED(end.status))
    return "killed by signal " + std::to_string(WTERMSIG(end.status)) +
           (WTERMSIG(end.status) == SIGALRM ? " (hang)" : "") + ": " + end.output.substr(0, 400);
  return "exit " + std::to_string(WEXITSTATUS(end.status)) + ": " + end.output.substr(0, 400);
}

// The scenario process: prepares once, then fails each allocation in turn.
// Prints "ALLOCATIONS n" and one "FAULT k: ..." line per bad run.
void Sweep(const Scenario& scenario) {
  scenario.prepare();
  const ChildEnd reference = RunFailing(scenario, 0);
  const std::regex count("COUNT ([0-9]+)\n(RESULT [^\n]*\n)");
  std::smatch parts;
  if (!WIFEXITED(reference.status) || WEXITSTATUS(reference.status) != 0 ||
      !std::regex_match(reference.output, parts, count)) {
    std::printf("FAULT 0: the run without failures: %s\n", Describe(reference).c_str());
    return;
  }
  const uint64_t allocations = std::stoull(parts[1]);
  const std::string expected = parts[2];
  const std::regex report(
      "BOX 错误\\|运行时出错!\\\\r\\\\n\\\\r\\\\n错误信息：分配 [0-9]+ "
      "字节内存失败!\\\\r\\\\n\\|16\n");
  int faults = 0;
  for (uint64_t k = 1; k <= allocations + 1 && faults < 40; ++k) {
    const ChildEnd end = RunFailing(scenario, k);
    const bool normal =
        WIFEXITED(end.status) && WEXITSTATUS(end.status) == 0 && end.output == expected;
    const bool reported = WIFEXITED(end.status) && WEXITSTATUS(end.status) == 255 &&
                          std::regex_match(end.output, report);
    if (!normal && !reported) {
      ++faults;
      std::printf("FAULT %llu: %s\n", static_cast<unsigned long long>(k), Describe(end).c_str());
    }
  }
  std::printf("ALLOCATIONS %llu\n", static_cast<unsigned long long>(allocations));
}

class OutOfMemory : public ::testing::TestWithParam<Scenario> {};

TEST_P(OutOfMemory, EveryAllocationFailureEndsNormallyOrWithTheReport) {
  // MOLVANE_SWEEP_K=k runs only the k-th failure, in this process, for a debugger.
  if (const char* only = std::getenv("MOLVANE_SWEEP_K")) {
    GetParam().prepare();
    platform::SetAllocationFailureCountdown(std::stoull(only));
    GetParam().run();
    platform::SetAllocationFailureCountdown(0);
    std::printf("%s\n", platform::GbkToUtf8(GetParam().result()).c_str());
    return;
  }
  const ChildEnd end = RunInChild([] { Sweep(GetParam()); }, 3600);
  ASSERT_TRUE(WIFEXITED(end.status) && WEXITSTATUS(end.status) == 0) << Describe(end);
  EXPECT_EQ(end.output.find("FAULT"), std::string::npos) << end.output;
  std::smatch parts;
  ASSERT_TRUE(std::regex_search(end.output, parts, std::regex("ALLOCATIONS ([0-9]+)")))
      << end.output;
  EXPECT_GT(std::stoull(parts[1]), 0u);
  std::printf("%s: %s allocations failed in turn\n", GetParam().name, parts[1].str().c_str());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, OutOfMemory, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace molvane
