// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/window_menus.h"

#include <iterator>
#include <string>

#include "app/window/window_files.h"
#include "engine/conversion.h"
#include "platform/platform.h"
#include "runtime/runtime.h"
#include "ui/program.h"

namespace molvane::window {
namespace {

// The window procedure gets no context of its own (the window engine keeps
// the window's user data), and the program has one main window: its menus
// are found here while they are attached.
WindowMenus* g_menus = nullptr;

HWND Control(uint32_t id) {
  return reinterpret_cast<HWND>(CallService(kServiceLookupControl, kMainWindowId, id));
}

void Append(HMENU menu, UINT flags, UINT_PTR id, const char* utf8) {
  AppendMenuA(menu, flags, id, utf8 == nullptr ? nullptr : platform::Utf8ToGbk(utf8).c_str());
}

HMENU BuildBar(WindowMenus& menus) {
  HMENU file = CreatePopupMenu();
  Append(file, MF_STRING, kCommandOpen, "打开(&O)...\tCtrl+O");
  Append(file, MF_STRING, kCommandSave, "保存结果(&S)...\tCtrl+S");
  Append(file, MF_SEPARATOR, 0, nullptr);
  Append(file, MF_STRING, kCommandExit, "退出(&X)");
  HMENU tones = CreatePopupMenu();
  // A radio group in Qt needs every item appended as a radio item.
  Append(tones, MF_STRING | MFT_RADIOCHECK, kCommandTonesNone, "不标(&N)");
  Append(tones, MF_STRING | MFT_RADIOCHECK, kCommandTonesMarks, "标调号(&M)");
  Append(tones, MF_STRING | MFT_RADIOCHECK, kCommandTonesNumbers, "数字(&D)");
  menus.options = CreatePopupMenu();
  Append(menus.options, MF_STRING, kCommandWordReadings, "按词注音(&W)");
  Append(menus.options, MF_STRING, kCommandFullText, "全文(&A)");
  Append(menus.options, MF_STRING, kCommandWordSpacing, "按词连写(&S)");
  Append(menus.options, MF_SEPARATOR, 0, nullptr);
  Append(menus.options, MF_POPUP, reinterpret_cast<UINT_PTR>(tones), "声调(&T)");
  Append(menus.options, MF_SEPARATOR, 0, nullptr);
  Append(menus.options, MF_STRING, kCommandBack, "反向：盲文转回汉字(&B)");
  HMENU help = CreatePopupMenu();
  Append(help, MF_STRING, kCommandAbout, "关于 Molvane(&A)");
  HMENU bar = CreateMenu();
  Append(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "文件(&F)");
  Append(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menus.options), "选项(&O)");
  Append(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "帮助(&H)");
  return bar;
}

// The items show the settings the button converts with.
void ShowChoices(const WindowMenus& menus) {
  const settings::Settings& s = menus.button->settings;
  const auto check = [&](UINT id, bool on) {
    CheckMenuItem(menus.bar, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  };
  check(kCommandWordReadings, s.readings == words::ReadingMode::kWords);
  check(kCommandFullText, s.text == settings::TextMode::kFull);
  check(kCommandWordSpacing, s.spacing == settings::Spacing::kWord);
  check(kCommandBack, menus.button->back);
  // Word spacing spaces the words of full text only.
  EnableMenuItem(menus.bar, kCommandWordSpacing,
                 MF_BYCOMMAND | (s.text == settings::TextMode::kFull ? MF_ENABLED : MF_GRAYED));
  const UINT tone = s.tones == words::ToneStyle::kMarks     ? kCommandTonesMarks
                    : s.tones == words::ToneStyle::kNumbers ? kCommandTonesNumbers
                                                            : kCommandTonesNone;
  CheckMenuRadioItem(menus.bar, kCommandTonesNone, kCommandTonesNumbers, tone, MF_BYCOMMAND);
}

Zoom ZoomOf(uint32_t box) {
  Zoom zoom;
  SendMessageA(Control(box), EM_GETZOOM, reinterpret_cast<WPARAM>(&zoom.numerator),
               reinterpret_cast<LPARAM>(&zoom.denominator));
  // 1/1 and 0/0 both mean the box's own size.
  if (zoom.numerator == zoom.denominator) return {};
  return zoom;
}

void Remember(WindowMenus& menus) {
  if (!menus.choicesPath.empty()) WriteChoices(menus.choicesPath, menus.remembered);
}

// One menu choice: the running settings and the remembered ones alike.
template <class Field>
void Choose(WindowMenus& menus, Field settings::Settings::*field, Field value) {
  menus.button->settings.*field = value;
  menus.remembered.settings.*field = value;
  const auto keepSpacingWithText = [](settings::Settings& s) {
    if (s.text != settings::TextMode::kFull) s.spacing = settings::Spacing::kSyllable;
  };
  keepSpacingWithText(menus.button->settings);
  keepSpacingWithText(menus.remembered.settings);
  ShowChoices(menus);
  Remember(menus);
}

void ShowAbout(WindowMenus& menus) {
  const std::string text =
      "Molvane " + menus.version +
      "\n把中文转换成现行盲文、双拼盲文、双拼字根、全拼和五笔编码。\n\n"
      "许可：GNU 通用公共许可证第 3 版或更新版本（GPL-3.0-or-later）。\n\n"
      "数据来源：\n"
      "· 拼音：Unicode Unihan 数据库（Debian unicode-data，Unicode-DFS-2016）\n"
      "· 五笔：Rime rime-wubi（Debian rime-data-wubi，LGPL-3.0）\n"
      "· 词语读音：CC-CEDICT（CC-BY-SA-4.0）\n"
      "各来源的详细说明见随附的 copyright 文件。";
  MessageBoxA(menus.frame, platform::Utf8ToGbk(text).c_str(),
              platform::Utf8ToGbk("关于 Molvane").c_str(), MB_OK | MB_ICONASTERISK);
}

// The menu commands: a table, since each is one choice.
struct CommandRow {
  UINT id;
  void (*run)(WindowMenus& menus);
};
const CommandRow kCommands[] = {
    {kCommandOpen, [](WindowMenus& m) { OpenWithDialog(m.frame); }},
    {kCommandSave, [](WindowMenus& m) { SaveWithDialog(m.frame, *m.button); }},
    {kCommandExit, [](WindowMenus& m) { PostMessageA(m.frame, WM_CLOSE, 0, 0); }},
    {kCommandWordReadings,
     [](WindowMenus& m) {
       const bool words = m.button->settings.readings != words::ReadingMode::kWords;
       Choose(m, &settings::Settings::readings,
              words ? words::ReadingMode::kWords : words::ReadingMode::kCharacters);
     }},
    {kCommandFullText,
     [](WindowMenus& m) {
       const bool full = m.button->settings.text != settings::TextMode::kFull;
       Choose(m, &settings::Settings::text,
              full ? settings::TextMode::kFull : settings::TextMode::kHan);
     }},
    {kCommandWordSpacing,
     [](WindowMenus& m) {
       if (m.button->settings.text != settings::TextMode::kFull) return;
       const bool word = m.button->settings.spacing != settings::Spacing::kWord;
       Choose(m, &settings::Settings::spacing,
              word ? settings::Spacing::kWord : settings::Spacing::kSyllable);
     }},
    {kCommandBack,
     [](WindowMenus& m) {
       m.button->back = m.remembered.back = !m.button->back;
       ShowChoices(m);
       Remember(m);
     }},
    {kCommandTonesNone,
     [](WindowMenus& m) { Choose(m, &settings::Settings::tones, words::ToneStyle::kNone); }},
    {kCommandTonesMarks,
     [](WindowMenus& m) { Choose(m, &settings::Settings::tones, words::ToneStyle::kMarks); }},
    {kCommandTonesNumbers,
     [](WindowMenus& m) { Choose(m, &settings::Settings::tones, words::ToneStyle::kNumbers); }},
    {kCommandAbout, ShowAbout},
};

// After a click of 转换: the title says what the conversion could not
// write, and is the stored one again after a conversion that lost nothing.
void ShowLost(const WindowMenus& menus) {
  std::string title = menus.title;
  if (const uint64_t count = menus.button->lost.count; count > 0)
    title += platform::Utf8ToGbk("（上次转换有 " + std::to_string(count) + " 个字符无法写出）");
  SetWindowTextA(menus.frame, title.c_str());
}

LRESULT MenuProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowMenus& menus = *g_menus;
  if (message == WM_COMMAND && lParam == 0) {
    for (const CommandRow& row : kCommands)
      if (row.id == LOWORD(wParam)) {
        row.run(menus);
        return 0;
      }
  }
  if (message == WM_INITMENUPOPUP) ShowChoices(menus);
  if (message == WM_DROPFILES) {
    OpenDropped(window, reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (message == WM_DESTROY) {
    const Zoom input = ZoomOf(kInputBoxId), output = ZoomOf(kOutputBoxId);
    if (!(input == menus.remembered.inputZoom && output == menus.remembered.outputZoom)) {
      menus.remembered.inputZoom = input;
      menus.remembered.outputZoom = output;
      Remember(menus);
    }
  }
  const WNDPROC previous = menus.previous;
  const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
      reinterpret_cast<HWND>(lParam) == Control(kConvertButtonId))
    ShowLost(menus);
  if (message == WM_DESTROY && g_menus == &menus) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SetMessageFilter(nullptr, nullptr);
    DestroyAcceleratorTable(menus.accelerators);
    menus.accelerators = nullptr;
    g_menus = nullptr;
  }
  return result;
}

// A control's rectangle in the frame's client coordinates.
RECT ClientRectOf(HWND frame, uint32_t id) {
  RECT rect{};
  GetWindowRect(Control(id), &rect);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The stored layout puts the input box's bottom below the client area of
// the stored frame; the frame grows (for the menu bar as well) until the
// box is whole, with the output box's margin above repeated below it. The
// controls keep their stored rectangles.
void FitFrame(HWND frame) {
  RECT client{};
  GetClientRect(frame, &client);
  const RECT input = ClientRectOf(frame, kInputBoxId);
  const RECT output = ClientRectOf(frame, kOutputBoxId);
  const LONG wanted = input.bottom + output.top;
  if (wanted <= client.bottom) return;
  RECT outer{0, 0, client.right, wanted};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE)), TRUE,
                     static_cast<DWORD>(GetWindowLongA(frame, GWL_EXSTYLE)));
  RECT now{};
  GetWindowRect(frame, &now);
  SetWindowPos(frame, nullptr, 0, 0, now.right - now.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The common braille joins the stored list as its sixth item; the five
// stored items, their order and the selected one stay as they are.
void AddCommonBraille() {
  HWND list = Control(kNotationListId);
  if (SendMessageA(list, CB_GETCOUNT, 0, 0) != settings::kNotationCount) return;
  const std::string name = platform::Utf8ToGbk("通用盲文");
  SendMessageA(list, CB_INSERTSTRING, settings::kNotationCount,
               reinterpret_cast<LPARAM>(name.c_str()));
}

// Keys for the frame and its controls go through the accelerator table
// first, while the frame takes input (not under a dialog of its own).
bool TranslateShortcut(void* context, MSG* message) {
  const auto& menus = *static_cast<const WindowMenus*>(context);
  if (message->hwnd == nullptr || !IsWindowEnabled(menus.frame)) return false;
  if (message->hwnd != menus.frame && !IsChild(menus.frame, message->hwnd)) return false;
  return TranslateAcceleratorA(menus.frame, menus.accelerators, message) != 0;
}

HACCEL MakeAccelerators() {
  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'O', kCommandOpen},
      {FVIRTKEY | FCONTROL, 'S', kCommandSave},
  };
  return CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys)));
}

void ApplyZoom(uint32_t box, const Zoom& zoom) {
  if (zoom.denominator != 0)
    SendMessageA(Control(box), EM_SETZOOM, zoom.numerator, zoom.denominator);
}

}  // namespace

HWND MainWindow() {
  return Control(kMainWindowUnitId);
}

bool AttachWindowMenus(WindowMenus* menus) {
  menus->frame = MainWindow();
  if (menus->frame == nullptr || menus->button == nullptr) return false;
  char title[256] = {};
  GetWindowTextA(menus->frame, title, sizeof title);
  menus->title = title;
  menus->button->back = menus->remembered.back;
  menus->bar = BuildBar(*menus);
  SetMenu(menus->frame, menus->bar);
  FitFrame(menus->frame);
  AddCommonBraille();
  ShowChoices(*menus);
  ApplyZoom(kInputBoxId, menus->remembered.inputZoom);
  ApplyZoom(kOutputBoxId, menus->remembered.outputZoom);
  settings::RouteConvertButton(menus->button);
  menus->accelerators = MakeAccelerators();
  SetMessageFilter(TranslateShortcut, menus);
  DragAcceptFiles(menus->frame, TRUE);
  g_menus = menus;
  menus->previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(menus->frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuProcedure)));
  return true;
}

}  // namespace molvane::window
