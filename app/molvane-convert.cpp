// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert: the convert button without a screen. The input is read
// in pieces; for each piece the program starts, loads its main window on the
// headless backend, fills the boxes, clicks 转换 and the output box is
// written out.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/convert/braille_forms.h"
#include "app/convert/full_text.h"
#include "app/convert/input_pieces.h"
#include "app/convert/options.h"
#include "app/convert/piece_workers.h"
#include "app/convert/word_route.h"
#include "engine/conversion.h"
#include "platform/platform.h"
#include "ui/program.h"

namespace {

using namespace molvane::convert;

// Runs the program's start, one click of the convert button and the shutdown
// over the main window on the headless backend; returns the output box's text
// (GBK).
std::string ConvertAsTheWindowWould(std::string input, const std::string& separator, int notation) {
  using namespace molvane;
  StartProgram();
  LoadStartWindow(kMainWindowId);
  ArgRecord text = TextArg(input.c_str());
  WriteProperty(kMainWindowId, kInputBoxId, kRichEditContent, -1, text.low, text.high);
  std::string().swap(input);  // the input box holds it now
  text = TextArg(separator.c_str());
  WriteProperty(kMainWindowId, kSeparatorBoxId, kEditBoxContent, -1, text.low, text.high);
  WriteProperty(kMainWindowId, kNotationListId, kCurrentSelection, -1,
                static_cast<uint32_t>(notation), 0);
  auto button =
      reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, kConvertButtonId));
  SendMessageA(button, BM_CLICK, 0, 0);
  char* output = reinterpret_cast<char*>(
      static_cast<intptr_t>(ReadProperty(kMainWindowId, kOutputBoxId, kRichEditContent, -1)));
  std::string result = output == nullptr ? std::string() : std::string(output);
  FreeMemory(output);
  ShutdownRuntime(0);
  return result;
}

// Input bytes a piece holds: the conversion through the window's boxes
// needs about twenty times a piece's size at its peak, so this keeps the
// whole run near 40 MB, and pieces are still large enough that starting the
// program for each costs nothing measurable.
constexpr size_t kPieceBytes = 2 << 20;

// A character every table knows. Appended to a piece that more Chinese text
// follows, it makes the piece's last character convert as it would inside
// the whole text; its own result is then cut off again.
constexpr const char* kFollower = "中";
// With word readings the follower stands after a line break, so that it is a
// word of its own and cannot join the piece's last character (打中 reads its
// 中 otherwise); the break converts to nothing.
constexpr const char* kWordFollower = "\n中";

// Pieces shared among workers are smaller: the workers together then need
// less memory than one large piece, and the last piece, which one worker
// converts while the others wait, is short (measured on the corpus: 256 KB
// beat 1 MB by 15%, and 64 KB starts the program too often).
constexpr size_t kSharedPieceBytes = 256 << 10;

// The input's length in bytes when it is known before reading (named regular
// files only), else 0.
uint64_t KnownInputBytes(const std::vector<std::string>& files) {
  uint64_t total = 0;
  for (const std::string& name : files) {
    struct stat status;
    if (name == "-" || stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
    total += static_cast<uint64_t>(status.st_size);
  }
  return total;
}

size_t PieceBytes(int jobs, uint64_t knownBytes) {
  // Tests make pieces small so that many boundaries are crossed.
  const char* value = std::getenv("MOLVANE_PIECE_BYTES");
  if (value != nullptr && std::atol(value) > 0) return static_cast<size_t>(std::atol(value));
  if (jobs <= 1) return kPieceBytes;
  if (knownBytes == 0) return kSharedPieceBytes;
  // A text of known length is cut into pieces of one size, so that the last
  // is not a sliver that one worker converts while the others wait.
  const uint64_t pieces = (knownBytes + kSharedPieceBytes - 1) / kSharedPieceBytes;
  return static_cast<size_t>((knownBytes + pieces - 1) / pieces);
}

int JobCount(const Options& options) {
  if (options.fullText) return 1;  // its pieces carry state from one to the next
  return options.jobs > 0 ? options.jobs : std::min(AvailableProcessors(), kMostJobs);
}

// Writes GBK text in the chosen encoding, converting a part at a time (cut
// between characters) so a piece's output is never held twice.
bool WriteOutput(const std::string& gbk, bool asGbk) {
  if (asGbk) return std::fwrite(gbk.data(), 1, gbk.size(), stdout) == gbk.size();
  constexpr size_t kPart = 1 << 20;
  for (size_t at = 0; at < gbk.size();) {
    size_t end = at;
    while (end < gbk.size() && end - at < kPart)
      end += static_cast<unsigned char>(gbk[end]) >= 0x81 && end + 1 < gbk.size() ? 2 : 1;
    std::string utf8 = platform::GbkToUtf8(gbk.substr(at, end - at));
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size()) return false;
    at = end;
  }
  return true;
}

bool WriteBytes(const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

// One run of the tool: the pieces converted in order and written out.
class Conversion {
 public:
  Conversion(const Options& options, int jobs)
      : options_(options), layout_(LineBreak()), jobs_(jobs) {
    const std::string separator = platform::Utf8ToGbk(options.separator);
    const bool cellsRewritten = options.braille != BrailleForm::kDots;
    if (cellsRewritten) {
      // Cells are rewritten one character at a time, so the window is given
      // a separator that no code contains, and the real one is put back.
      windowSeparator_ = "\n";
      separator_ = options.separator.empty() ? LineBreak() : options.separator;
    } else {
      windowSeparator_ = separator.empty() && !options.exact ? "\n" : separator;
    }
    if (options.fullText)
      full_ = std::make_unique<FullTextWriter>(FullSettings(), [this](const std::string& gbk) {
        std::string codes = ConvertAsTheWindowWould(gbk, "", options_.notation);
        std::erase(codes, '\r');
        return codes;
      });
  }

  // Returns the exit code.
  int Run(PieceReader* reader) {
    Piece piece;
    std::string error;
    bool converted = false;
    while (reader->Next(&piece, &error)) {
      if (full_ != nullptr) {
        converted = converted || !piece.bytes.empty();
        const int code = FullPiece(piece, *reader);
        if (code != kExitDone) return code;
        continue;
      }
      std::string text = options_.gbk ? std::move(piece.bytes) : platform::Utf8ToGbk(piece.bytes);
      // A text ends at its first zero byte: drop zero bytes so that nothing
      // after one is lost. They are not Chinese characters and convert to nothing.
      std::erase(text, '\0');
      if (text.empty()) continue;
      converted = true;
      const int code = ConvertPiece(std::move(text), piece.hanFollows);
      if (code != kExitDone) return code;
    }
    const int code = Drain();
    if (code != kExitDone) return code;
    if (!error.empty()) return Fail(error);
    if (!converted) Convert("");  // the program's empty-input warning
    if (boxShown_) return kExitFailed;
    return full_ != nullptr ? FullFinish(*reader) : Finish();
  }

  void NoteMessageBox() { boxShown_ = true; }

 private:
  std::string LineBreak() const { return options_.exact ? "\r\n" : "\n"; }

  std::string Follower() const {
    const bool words = options_.readings == molvane::words::ReadingMode::kWords;
    return platform::Utf8ToGbk(words ? kWordFollower : kFollower);
  }

  FullTextSettings FullSettings() const {
    FullTextSettings settings;
    settings.braille = options_.notation < 2;
    settings.form = options_.braille;
    // A blank cell between words unless a separator is given: U+2800 among
    // braille patterns, a space elsewhere.
    const bool patterns = settings.braille && settings.form == BrailleForm::kUnicode;
    settings.blank = !options_.separator.empty() ? options_.separator : patterns ? "\u2800" : " ";
    settings.lineBreak = LineBreak();
    settings.endWithLineBreak = !options_.exact;
    settings.strict = options_.strict;
    settings.wordSpacing = options_.wordSpacing;
    return settings;
  }

  int FullPiece(const Piece& piece, const PieceReader& reader) {
    std::string out;
    FullTextFailure failure;
    if (!full_->Add(piece.bytes, options_.gbk, piece.start, &out, &failure))
      return FullFailed(failure, reader);
    return EmitFull(out);
  }

  int FullFinish(const PieceReader& reader) {
    std::string out;
    FullTextFailure failure;
    if (!full_->Finish(&out, &failure)) return FullFailed(failure, reader);
    const int code = EmitFull(out);
    if (code != kExitDone) return code;
    return std::fflush(stdout) == 0 ? kExitDone : WriteFailed();
  }

  int EmitFull(const std::string& utf8) {
    if (boxShown_) return kExitFailed;
    const bool asGbk = options_.gbk && options_.braille != BrailleForm::kUnicode;
    return WriteBytes(asGbk ? platform::Utf8ToGbk(utf8) : utf8) ? kExitDone : WriteFailed();
  }

  int FullFailed(const FullTextFailure& failure, const PieceReader& reader) {
    if (failure.internal)
      return Fail("internal error: the program's codes did not match the Chinese characters");
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(failure.code));
    return Fail(reader.DescribeOffset(std::string(code) + " has no written form", failure.offset));
  }

  // The window's output for `text`, the follower already appended where one
  // is wanted.
  std::string Convert(std::string text) {
    // The separator box is a single-line edit box and cannot hold a line
    // break; left empty it gives CR LF, and no code holds a CR, so dropping
    // every CR leaves the LF wanted here.
    if (windowSeparator_ != "\n")
      return ConvertAsTheWindowWould(std::move(text), windowSeparator_, options_.notation);
    std::string output = ConvertAsTheWindowWould(std::move(text), "", options_.notation);
    std::erase(output, '\r');
    return output;
  }

  // A piece converted here, or handed to a worker once a second piece shows
  // that the text is long enough to share.
  int ConvertPiece(std::string text, bool hanFollows) {
    if (jobs_ > 1 && !workers_.Started()) {
      if (!held_) {
        held_.emplace(HeldPiece{std::move(text), hanFollows});
        return kExitDone;
      }
      if (!StartWorkers()) jobs_ = 1;  // no processes to be had: convert here
      HeldPiece first = std::move(*held_);
      held_.reset();
      const int code = Dispatch(std::move(first.text), first.hanFollows);
      if (code != kExitDone) return code;
    }
    return Dispatch(std::move(text), hanFollows);
  }

  int Dispatch(std::string text, bool hanFollows) {
    if (hanFollows) text += Follower();
    if (!workers_.Started()) return FinishPiece(Convert(std::move(text)), hanFollows);
    if (workers_.Full()) {
      const int code = CollectOne();
      if (code != kExitDone) return code;
    }
    if (!workers_.Send(text)) return Fail("internal error: a conversion worker stopped");
    sentFollows_.push_back(hanFollows);
    return kExitDone;
  }

  bool StartWorkers() {
    // Converting once here first sets up the tables and caches every piece
    // uses, so that the workers share them instead of each making its own;
    // the follower's codes are needed anyway.
    FollowerOutput();
    return workers_.Start(jobs_, [this](std::string text) {
      PieceWorkers::Result result;
      result.output = Convert(std::move(text));
      if (boxShown_) result.status = PieceWorkers::Status::kMessageShown;
      return result;
    });
  }

  // The oldest piece a worker holds, written out.
  int CollectOne() {
    const bool hanFollows = sentFollows_.front();
    sentFollows_.pop_front();
    PieceWorkers::Result result;
    if (!workers_.Receive(&result)) {
      // A worker the runtime ended (out of memory) said why on standard
      // error already; end as this process would have ended.
      const int exitCode = workers_.StoppedWorkerExitCode();
      if (exitCode <= 0) return Fail("internal error: a conversion worker stopped");
      std::fflush(stdout);
      return exitCode;
    }
    if (result.status == PieceWorkers::Status::kOutOfMemory) throw std::bad_alloc();
    // The worker printed the message already.
    if (result.status == PieceWorkers::Status::kMessageShown) boxShown_ = true;
    return FinishPiece(std::move(result.output), hanFollows);
  }

  // Every piece not written yet: one held back alone, those workers hold.
  int Drain() {
    if (held_) {
      HeldPiece only = std::move(*held_);
      held_.reset();
      const int code = Dispatch(std::move(only.text), only.hanFollows);
      if (code != kExitDone) return code;
    }
    while (!workers_.Idle()) {
      const int code = CollectOne();
      if (code != kExitDone) return code;
    }
    return kExitDone;
  }

  int FinishPiece(std::string output, bool hanFollows) {
    if (boxShown_) return kExitFailed;
    if (hanFollows) {
      const std::string& follower = FollowerOutput();
      if (follower.empty() || !output.ends_with(follower))
        return Fail("internal error: a piece's end did not convert as expected");
      output.resize(output.size() - follower.size());
    }
    return Emit(output);
  }

  // The follower's own output, converted once.
  const std::string& FollowerOutput() {
    if (followerOutput_.empty()) followerOutput_ = Convert(Follower());
    return followerOutput_;
  }

  int Emit(const std::string& gbk) {
    if (gbk.empty()) return kExitDone;
    bool ok;
    if (options_.braille == BrailleForm::kDots) {
      ok = WriteOutput(gbk, options_.gbk);
      lastByte_ = gbk.back();
    } else {
      std::string out;
      if (!RewriteCells(gbk, &out)) return Fail("internal error: unexpected braille cells");
      ok = WriteBytes(out);
    }
    return ok ? kExitDone : WriteFailed();
  }

  // The window's output with one code per line, in the chosen braille form.
  bool RewriteCells(const std::string& codes, std::string* out) {
    std::vector<int> cells;
    for (size_t at = 0; at < codes.size();) {
      const size_t end = codes.find('\n', at);
      if (end == std::string::npos ||
          !CellsOf(std::string_view(codes).substr(at, end - at), &cells))
        return false;
      at = end + 1;
      if (options_.braille == BrailleForm::kUnicode) {
        *out += UnicodeBraille(cells);
        *out += separator_;
      } else {
        layout_.AddCells(BrailleAscii(cells));
        layout_.AddSeparator(separator_);
      }
    }
    if (options_.braille == BrailleForm::kBrf) *out = layout_.Take();
    if (!out->empty()) lastByte_ = out->back();
    return true;
  }

  int Finish() {
    bool ok = true;
    if (options_.braille == BrailleForm::kBrf) {
      layout_.Finish();
      ok = WriteBytes(layout_.Take());
    } else if (!options_.exact && lastByte_ != '\0' && lastByte_ != '\n') {
      ok = WriteBytes("\n");  // text ends with a line break
    }
    if (!ok || std::fflush(stdout) != 0) return WriteFailed();
    return kExitDone;
  }

  int Fail(const std::string& problem) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", kProgramName, problem.c_str());
    return kExitFailed;
  }
  int WriteFailed() { return Fail(std::string("standard output: ") + std::strerror(errno)); }

  const Options& options_;
  std::string windowSeparator_;  // GBK, what the separator box holds
  std::string separator_;        // written between rewritten cells, output encoding
  std::string followerOutput_;   // GBK
  BrfLayout layout_;
  std::unique_ptr<FullTextWriter> full_;
  bool boxShown_ = false;
  char lastByte_ = '\0';

  struct HeldPiece {
    std::string text;
    bool hanFollows;
  };
  int jobs_;
  std::optional<HeldPiece> held_;  // the first piece, until a second one comes
  PieceWorkers workers_;
  std::deque<bool> sentFollows_;  // hanFollows of the pieces workers hold, oldest first
};

// The separator must survive the program's GBK and the chosen output form.
int CheckSeparator(const Options& options) {
  const std::string& separator = options.separator;
  if (platform::FirstInvalidUtf8(separator) != std::string::npos)
    return UsageError("the separator is not valid UTF-8");
  if (platform::GbkToUtf8(platform::Utf8ToGbk(separator)) != separator)
    return UsageError("the separator '" + separator + "' cannot be written in GBK");
  if (options.braille == BrailleForm::kBrf && !IsBrfText(separator))
    return UsageError("the separator '" + separator + "' cannot be written in Braille ASCII");
  if (options.braille == BrailleForm::kUnicode && options.gbk)
    return UsageError(
        "braille patterns cannot be written in GBK; use --braille=unicode with UTF-8");
  return -1;
}

// The program's messages, with an English gloss for readers without Chinese.
void PrintMessageBox(const platform::MessageBoxCall& call) {
  static constexpr struct {
    const char* text;
    const char* gloss;
  } kGlosses[] = {{"内容不能为空", "the input is empty"}};
  const std::string text = platform::GbkToUtf8(call.text);
  // One line, as a filter's messages are: the box's lines joined by spaces.
  std::string line = kProgramName;
  line += ":";
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    if (end > at) line += " " + text.substr(at, end - at);
    at = end + 1;
  }
  for (const auto& g : kGlosses)
    if (text == g.text) line += std::string(" (") + g.gloss + ")";
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

int Main(int argc, char** argv) {
  Options options;
  int code = ParseArguments(argc, argv, &options);
  if (code < 0) code = CheckSeparator(options);
  if (code >= 0) return code;

  // Full text keeps its pieces in input order; word readings cut them before
  // a run of Chinese characters, so that no word is cut by a piece's end.
  const PieceCut cut = options.fullText ? PieceCut::kAfterOther
                       : options.readings == molvane::words::ReadingMode::kWords
                           ? PieceCut::kBeforeRun
                           : PieceCut::kBeforeChinese;
  const int jobs = JobCount(options);
  PieceReader reader(options.files, options.gbk, PieceBytes(jobs, KnownInputBytes(options.files)),
                     cut);
  std::string error;
  if (!reader.CheckFiles(&error)) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
    return kExitFailed;
  }
  Conversion conversion(options, jobs);
  // The program's only message here is the empty-input warning; any box
  // means the conversion did not produce a result.
  platform::SetMessageBoxResponder([&conversion](const platform::MessageBoxCall& call) {
    conversion.NoteMessageBox();
    PrintMessageBox(call);
    return IDOK;
  });
  if (options.plain) molvane::SetShortcutsEnabled(false);
  RouteConvertButton(options.readings, options.tones);
  return conversion.Run(&reader);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fflush(stdout);
    std::fputs("molvane-convert: out of memory\n", stderr);
    return kExitOutOfMemory;
  }
}
