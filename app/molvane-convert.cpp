// SPDX-License-Identifier: GPL-3.0-or-later
// molvane-convert: the convert button without a screen. The input is read
// in pieces; for each piece the program starts and either converts as its
// window would (its boxes filled, 转换 clicked, the output box read, with the
// convert button's route for word readings), or, for full text, runs the
// shared conversion once; then it shuts down and the result is written out.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/convert/back_route.h"
#include "app/convert/book.h"
#include "app/convert/input_pieces.h"
#include "app/convert/options.h"
#include "app/convert/piece_workers.h"
#include "app/settings/braille_forms.h"
#include "app/settings/code_points.h"
#include "app/settings/conversion.h"
#include "app/settings/convert_route.h"
#include "app/settings/teaching.h"
#include "engine/conversion.h"
#include "platform/platform.h"
#include "ui/program.h"

namespace {

using namespace molvane::convert;
using namespace molvane::settings;
namespace layout = molvane::layout;

// Runs the program's start, one click of the convert button and the shutdown
// over the main window on the headless backend; returns the output box's text
// (GBK). `beforeShutdown` runs in the same run of the program.
std::string ConvertAsTheWindowWould(std::string input, const std::string& separator, int notation,
                                    const std::function<void()>& beforeShutdown = {}) {
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
  if (beforeShutdown) beforeShutdown();
  ShutdownRuntime(0);
  return result;
}

// Runs `work` in one run of the program, without its window.
template <class Work>
auto InOneRun(Work work) {
  molvane::StartProgram();
  auto result = work();
  molvane::ShutdownRuntime(0);
  return result;
}

// Input bytes a piece holds: the conversion through the window's boxes
// needs about twenty times a piece's size at its peak, so this keeps the
// whole run near 40 MB, and pieces are still large enough that starting the
// program for each costs nothing measurable.
constexpr size_t kPieceBytes = 2 << 20;
// Braille read back makes a token of every cell: smaller pieces keep it small.
constexpr size_t kBackPieceBytes = 256 << 10;

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

size_t PieceBytes(int jobs, uint64_t knownBytes, size_t alone = kPieceBytes) {
  // Tests make pieces small so that many boundaries are crossed.
  const char* value = std::getenv("MOLVANE_PIECE_BYTES");
  if (value != nullptr && std::atol(value) > 0) return static_cast<size_t>(std::atol(value));
  if (jobs <= 1) return alone;
  if (knownBytes == 0) return kSharedPieceBytes;
  // A text of known length is cut into pieces of one size, so that the last
  // is not a sliver that one worker converts while the others wait.
  const uint64_t pieces = (knownBytes + kSharedPieceBytes - 1) / kSharedPieceBytes;
  return static_cast<size_t>((knownBytes + pieces - 1) / pieces);
}

int JobCount(const Options& options) {
  return options.jobs > 0 ? options.jobs : std::min(AvailableProcessors(), kMostJobs);
}

bool FullText(const Settings& settings) {
  return settings.text == TextMode::kFull;
}

// What a notation lacks for a character it cannot write, in the closing count.
const char* LacksWhat(Notation notation) {
  static constexpr const char* kLacks[] = {"braille form", "braille form", "shuangpin keys",
                                           "pinyin",       "Wubi code",    "braille form"};
  return kLacks[static_cast<int>(notation)];
}

// A character as a message names it: itself, or its code point when it is a
// control character, which written raw would act on the terminal.
std::string Utf8Of(char32_t code) {
  if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
    char name[8];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
    return name;
  }
  std::string text;
  platform::AppendUtf8(code, &text);
  return text;
}

// A piece a worker holds: what is needed to finish its result.
struct SentPiece {
  bool hanFollows;
  Piece where;  // its place in the input, without its text
};

// One run of the tool: the pieces converted in order and written out.
class Conversion {
 public:
  Conversion(const Options& options, int jobs, size_t pieceBytes, const PieceReader& reader)
      : options_(options),
        reader_(reader),
        settings_(options.settings),
        converter_(PieceSettings()),
        layout_(LineBreak(), static_cast<size_t>(settings_.page.cells),
                static_cast<size_t>(settings_.page.lines)),
        jobs_(jobs),
        // Laid-out text goes in the smaller pieces of the workers even in
        // one process: a piece's braille, as words, takes many times its
        // bytes (measured: -j1 on the corpus x10, 75 MB with 2 MB pieces).
        pieceBytes_(options.layOut ? std::min(pieceBytes, kSharedPieceBytes) : pieceBytes) {
    if (options.layOut) {
      book_.emplace(options.files, options.inputFormat, options.paragraphs);
      const layout::Form form = settings_.form == BrailleForm::kPef   ? layout::Form::kPef
                                : settings_.form == BrailleForm::kBrf ? layout::Form::kBrf
                                                                      : layout::Form::kUnicode;
      pages_.emplace(BookForm{form, {settings_.page.cells, settings_.page.lines}});
    }
    if (!FullText(settings_) && settings_.form != BrailleForm::kDots) {
      // Cells are rewritten one character at a time, so the window is given
      // a separator that no code contains, and the real one is put back.
      windowSeparator_ = "\n";
      separator_ = settings_.separator.empty() ? LineBreak() : settings_.separator;
    } else {
      const std::string separator = platform::Utf8ToGbk(settings_.separator);
      windowSeparator_ = separator.empty() && !settings_.windowLineBreaks ? "\n" : separator;
    }
    if (!ConvertsAsStored(settings_)) button_.settings = settings_;
  }

  // Returns the exit code.
  int Run(PieceReader* reader) {
    RouteConvertButton(ConvertsAsStored(settings_) ? nullptr : &button_);
    if (settings_.format == OutputFormat::kRuby && Write(RubyPageStart()) != kExitDone)
      return kExitFailed;
    Piece piece;
    std::string error;
    bool converted = false;
    while (reader->Next(&piece, &error)) {
      // A text ends at its first zero byte: drop zero bytes so that nothing
      // after one is lost. They are not Chinese characters and convert to nothing.
      if (piece.text.find('\0') != std::string::npos) std::erase(piece.text, '\0');
      if (piece.text.empty()) continue;
      converted = true;
      const int code = book_ ? ReadBook(piece, false) : ConvertPiece(std::move(piece));
      if (code != kExitDone) return code;
    }
    if (book_ && converted) {
      const int code = ReadBook({}, true);
      if (code != kExitDone) return code;
    }
    const int code = Drain();
    if (code != kExitDone) return code;
    if (!error.empty()) return Fail(error);
    // An empty input gets the window's own message; the window's list has
    // no common braille, so its first item stands in.
    if (!converted)
      ConvertAsTheWindowWould("", "", OwnWriter() ? 0 : static_cast<int>(settings_.notation));
    if (boxShown_) return kExitFailed;
    return Finish();
  }

  void NoteMessageBox() { boxShown_ = true; }

 private:
  std::string LineBreak() const { return settings_.windowLineBreaks ? "\r\n" : "\n"; }

  // The common braille is written by its own library in every text mode,
  // never through the window.
  bool OwnWriter() const { return settings_.notation == Notation::kCommonBraille; }

  // Laid-out full text is written by the pieces as braille patterns, a
  // blank as a space, and laid out here, since lines and pages run on from
  // piece to piece; no piece ends the text.
  Settings PieceSettings() const {
    Settings settings = options_.settings;
    if (options_.layOut) {
      settings.form = BrailleForm::kUnicode;
      settings.separator = " ";
      settings.windowLineBreaks = false;
    }
    // The Chinese characters alone in another form than dots are written
    // one character a line, as the window writes them, and rewritten after.
    if (OwnWriter() && !FullText(settings) && settings.form != BrailleForm::kDots) {
      settings.form = BrailleForm::kDots;
      settings.separator = "\n";
    }
    return settings;
  }

  std::string Follower() const {
    const bool words = settings_.readings == molvane::words::ReadingMode::kWords;
    return words ? kWordFollower : kFollower;
  }

  // The conversion of one piece (UTF-8, the follower appended where one is
  // wanted), in this process or a worker; the output in UTF-8.
  PieceWorkers::Result Work(const std::string& text) {
    PieceWorkers::Result result;
    bool matched = true;
    if (FullText(settings_) || OwnWriter()) {
      Converted converted;
      // The line break that ends the text is written once, at the end.
      matched = InOneRun([&] { return converter_.Convert(text, false, &converted, false); });
      result.output = std::move(converted.text);
      result.lost = converted.lost;
    } else {
      std::string gbk = platform::Utf8ToGbk(text);
      std::string output = ConvertAsTheWindowWould(
          gbk, windowSeparator_ == "\n" ? "" : windowSeparator_,
          static_cast<int>(settings_.notation),
          [&] { matched = converter_.CountLost(text, false, &result.lost); });
      // The separator box is a single-line edit box and cannot hold a line
      // break; left empty it gives CR LF, and no code holds a CR, so dropping
      // every CR leaves the LF wanted here.
      if (windowSeparator_ == "\n") std::erase(output, '\r');
      result.output = platform::GbkToUtf8(output);
    }
    if (!matched) result.status = PieceWorkers::Status::kMismatch;
    if (boxShown_) result.status = PieceWorkers::Status::kMessageShown;
    return result;
  }

  // A piece converted here, or handed to a worker once a second piece shows
  // that the text is long enough to share.
  int ConvertPiece(Piece piece) {
    if (jobs_ > 1 && !workers_.Started()) {
      if (!held_) {
        held_.emplace(std::move(piece));
        return kExitDone;
      }
      if (!StartWorkers(*held_)) jobs_ = 1;  // no processes to be had: convert here
      Piece first = std::move(*held_);
      held_.reset();
      const int code = Dispatch(std::move(first));
      if (code != kExitDone) return code;
    }
    return Dispatch(std::move(piece));
  }

  // Input read as blocks; their text, one line a block, goes out in pieces
  // of the usual size, each ending with a block.
  int ReadBook(const Piece& piece, bool last) {
    if (last)
      book_->Finish();
    else
      book_->Add(piece);
    const size_t before = pending_.size();
    book_->Take(&batch_, &pending_);
    batchBlocks_ += pending_.size() - before;
    if (batch_.empty() || (!last && batch_.size() < pieceBytes_)) return kExitDone;
    // Each block's line is anchored to its file, so a character that could
    // not be written is named with the file it came from.
    Piece blocks;
    size_t block = pending_.size() - batchBlocks_;
    for (size_t at = 0; at < batch_.size(); at = batch_.find('\n', at) + 1)
      blocks.anchors.push_back({at, {pending_[block++].source, 0}});
    batchBlocks_ = 0;
    blocks.text.swap(batch_);
    blocks.hanFollows = false;
    return ConvertPiece(std::move(blocks));
  }

  const layout::PefMetadata& Metadata() {
    if (!metadata_) metadata_ = BookMetadata(book_->Title());
    return *metadata_;
  }

  int Dispatch(Piece piece) {
    std::string text = std::move(piece.text);
    if (piece.hanFollows) text += Follower();
    SentPiece sent{piece.hanFollows, std::move(piece)};
    if (!workers_.Started()) return FinishPiece(Work(text), sent);
    if (workers_.Full()) {
      const int code = CollectOne();
      if (code != kExitDone) return code;
    }
    if (!workers_.Send(text)) return Fail("internal error: a conversion worker stopped");
    sent_.push_back(std::move(sent));
    return kExitDone;
  }

  bool StartWorkers(const Piece& first) {
    // Converting once here first sets up the tables and caches every piece
    // uses, so that the workers share them instead of each making its own;
    // the follower's codes are needed anyway. What the first piece's
    // characters are written as is learnt once here too.
    FollowerOutput();
    InOneRun([&] { return converter_.Learn(first.text, false); });
    return workers_.Start(jobs_, [this](std::string text) { return Work(text); });
  }

  // The oldest piece a worker holds, written out.
  int CollectOne() {
    SentPiece sent = std::move(sent_.front());
    sent_.pop_front();
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
    return FinishPiece(std::move(result), sent);
  }

  // Every piece not written yet: one held back alone, those workers hold.
  int Drain() {
    if (held_) {
      Piece only = std::move(*held_);
      held_.reset();
      const int code = Dispatch(std::move(only));
      if (code != kExitDone) return code;
    }
    while (!workers_.Idle()) {
      const int code = CollectOne();
      if (code != kExitDone) return code;
    }
    return kExitDone;
  }

  int FinishPiece(PieceWorkers::Result result, const SentPiece& sent) {
    if (boxShown_) return kExitFailed;
    if (result.status == PieceWorkers::Status::kMismatch)
      return Fail("internal error: the program's codes did not match the Chinese characters");
    if (result.lost.count > 0 && !NoteLost(result.lost, sent.where)) return kExitFailed;
    std::string& output = result.output;
    if (sent.hanFollows) {
      const std::string& follower = FollowerOutput();
      if (follower.empty() || !output.ends_with(follower))
        return Fail("internal error: a piece's end did not convert as expected");
      output.resize(output.size() - follower.size());
    }
    return Emit(output);
  }

  // Counts what a piece could not write; false when that is an error.
  bool NoteLost(const Lost& lost, const Piece& where) {
    if (lost_.count == 0) firstLost_ = where.PlaceOf(lost.offset);
    if (lost_.count == 0) lost_.code = lost.code;
    lost_.count += lost.count;
    if (!settings_.strict) return true;
    Fail(Utf8Of(lost_.code) + " has no " + LacksWhat(settings_.notation) + " (" + LostPlace() +
         ")");
    return false;
  }

  // Where the first character that could not be written stands: laid-out
  // text is converted a block a line, so only its file is known.
  std::string LostPlace() const {
    return book_ ? "in " + reader_.NameOf(firstLost_.source) : reader_.Describe(firstLost_);
  }

  // The follower's own output, converted once.
  const std::string& FollowerOutput() {
    if (followerOutput_.empty()) followerOutput_ = Work(Follower()).output;
    return followerOutput_;
  }

  int Emit(const std::string& utf8) {
    if (utf8.empty()) return kExitDone;
    std::string out;
    if (book_) {
      if (!pages_->Add(utf8, &pending_, Metadata(), &out))
        return Fail("internal error: the braille lines did not match the text's blocks");
    } else if (settings_.form == BrailleForm::kDots ||
               (FullText(settings_) && settings_.form == BrailleForm::kUnicode)) {
      out = utf8;
    } else if (!RewriteCells(utf8, &out)) {
      return Fail("internal error: unexpected braille cells");
    }
    return Write(out);
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
      if (settings_.form == BrailleForm::kUnicode) {
        *out += UnicodeBraille(cells);
        *out += separator_;
      } else {
        layout_.AddCells(BrailleAscii(cells));
        layout_.AddSeparator(separator_);
      }
    }
    if (settings_.form == BrailleForm::kBrf) *out = layout_.Take();
    return true;
  }

  // Output in the chosen encoding.
  int Write(const std::string& utf8) {
    if (!utf8.empty()) lastByte_ = utf8.back();
    if (options_.outputEncoding == platform::Encoding::kUtf8)
      return WriteBytes(utf8) ? kExitDone : WriteFailed();
    std::string bytes;
    size_t at = 0;
    if (!platform::EncodeText(options_.outputEncoding, utf8, &bytes, &at)) {
      char32_t code = 0;
      platform::DecodeUtf8Character(utf8.data() + at, utf8.size() - at, &code);
      return Fail("the output has " + Utf8Of(code) + ", which " +
                  platform::EncodingName(options_.outputEncoding) + " cannot hold");
    }
    return WriteBytes(bytes) ? kExitDone : WriteFailed();
  }

  int Finish() {
    int code = kExitDone;
    if (book_) {
      std::string out;
      pages_->Finish(Metadata(), &out);
      code = Write(out);
    } else if (settings_.form == BrailleForm::kBrf) {
      layout_.Finish();
      code = Write(layout_.Take());
    } else if (settings_.format == OutputFormat::kRuby) {
      code = Write(RubyPageEnd());
    } else if (!settings_.windowLineBreaks && lastByte_ != '\0' && lastByte_ != '\n') {
      code = Write("\n");  // text ends with a line break
    }
    if (code != kExitDone) return code;
    if (std::fflush(stdout) != 0) return WriteFailed();
    if (lost_.count > 0) ReportLost();
    return kExitDone;
  }

  // One line on what could not be written: how many, and the first.
  void ReportLost() const {
    const bool one = lost_.count == 1;
    std::fprintf(stderr, "%s: %llu character%s no %s (first: %s, %s)\n", kProgramName,
                 static_cast<unsigned long long>(lost_.count), one ? " has" : "s have",
                 LacksWhat(settings_.notation), Utf8Of(lost_.code).c_str(), LostPlace().c_str());
  }

  static bool WriteBytes(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  }

  int Fail(const std::string& problem) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", kProgramName, problem.c_str());
    return kExitFailed;
  }
  int WriteFailed() { return Fail(std::string("standard output: ") + std::strerror(errno)); }

  const Options& options_;
  const PieceReader& reader_;
  const Settings& settings_;
  Converter converter_;
  ConvertButton button_;         // the convert button's route, when the settings need one
  std::string windowSeparator_;  // GBK, what the separator box holds
  std::string separator_;        // written between rewritten cells, UTF-8
  std::string followerOutput_;   // UTF-8
  BrfLayout layout_;
  bool boxShown_ = false;
  char lastByte_ = '\0';
  Lost lost_;
  InputPlace firstLost_;

  int jobs_;
  size_t pieceBytes_;
  std::optional<Piece> held_;  // the first piece, until a second one comes
  PieceWorkers workers_;
  std::deque<SentPiece> sent_;  // the pieces workers hold, oldest first

  // Laid-out braille: the input read as blocks, the text of those not sent
  // yet, those waiting for their braille, and the pages.
  std::optional<BookReader> book_;
  std::string batch_;
  size_t batchBlocks_ = 0;  // the blocks whose text is in batch_
  std::deque<PendingBlock> pending_;
  std::optional<BookPages> pages_;
  std::optional<layout::PefMetadata> metadata_;
};

// The separator must survive the program's GBK and the chosen output form.
int CheckSeparator(const Options& options) {
  const std::string& separator = options.settings.separator;
  const BrailleForm form = options.settings.form;
  if (platform::FirstInvalidUtf8(separator) != std::string::npos)
    return UsageError("the separator is not valid UTF-8");
  if (platform::GbkToUtf8(platform::Utf8ToGbk(separator)) != separator)
    return UsageError("the separator '" + separator + "' cannot be written in GBK");
  if (form == BrailleForm::kBrf && !IsBrfText(separator))
    return UsageError("the separator '" + separator + "' cannot be written in Braille ASCII");
  if (form == BrailleForm::kUnicode && options.outputEncoding != platform::Encoding::kUtf8 &&
      options.outputEncoding != platform::Encoding::kUtf16Le &&
      options.outputEncoding != platform::Encoding::kUtf16Be)
    return UsageError(std::string("braille patterns cannot be written in ") +
                      platform::EncodingName(options.outputEncoding) +
                      "; use --braille=unicode with UTF-8");
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

// Where a piece that more text follows ends: full text after a line, so no
// writing carries over; word readings before a run of Chinese characters, so
// no word is cut; else right before a Chinese character.
PieceCut CutFor(const Settings& settings) {
  if (FullText(settings)) return PieceCut::kAfterLineBreak;
  return settings.readings == molvane::words::ReadingMode::kWords ? PieceCut::kBeforeRun
                                                                  : PieceCut::kBeforeChinese;
}

int Main(int argc, char** argv) {
  Options options;
  int code = ParseArguments(argc, argv, &options);
  if (code < 0) code = CheckSeparator(options);
  if (code >= 0) return code;
  if (options.back) return ConvertBack(options, PieceBytes(1, 0, kBackPieceBytes));

  const int jobs = JobCount(options);
  const size_t pieceBytes = PieceBytes(jobs, KnownInputBytes(options.files));
  PieceReader reader(options.files, options.inputEncoding, pieceBytes, CutFor(options.settings));
  std::string error;
  if (!reader.CheckFiles(&error)) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
    return kExitFailed;
  }
  Conversion conversion(options, jobs, pieceBytes, reader);
  // The program's only message here is the empty-input warning; any box
  // means the conversion did not produce a result.
  platform::SetMessageBoxResponder([&conversion](const platform::MessageBoxCall& call) {
    conversion.NoteMessageBox();
    PrintMessageBox(call);
    return IDOK;
  });
  if (options.plain) molvane::SetShortcutsEnabled(false);
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
