// SPDX-License-Identifier: GPL-3.0-or-later
// The run-time error report: one message box, then the shutdown and exit -1.
#include <new>
#include <string>

#include "platform/platform.h"
#include "runtime/runtime_state.h"

namespace molvane {

const char* RuntimeErrorMessage(int32_t code) {
  static const char* const kMessages[] = {
      "数组成员引用下标超出定义范围",
      "未得到所需要的数值型数据",
      "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
      "数组成员引用下标必须大于等于1",
      "数据或数组类型不匹配",
      "调用DLL命令后发现堆栈错误",
      "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
      "被比较数据只能使用等于或不等于命令比较",
      "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
      "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
      "所提供参数的数据类型不符合要求",
  };
  if (code < 1 || code > 11) return "";
  return kMessages[code - 1];
}

void ReportRuntimeError(int32_t code) {
  ReportRuntimeFailure(code, platform::Utf8ToGbk(RuntimeErrorMessage(code)).c_str());
}

void ReportRuntimeFailure(int32_t code, const char* gbkMessage) {
  std::string text;
  std::string caption;
  try {
    text = platform::Utf8ToGbk("运行时出错!\r\n\r\n");
    if (code != 0) text += platform::Utf8ToGbk("错误代码：") + std::to_string(code) + "\r\n\r\n";
    if (gbkMessage != nullptr && gbkMessage[0] != '\0')
      text += platform::Utf8ToGbk("错误信息：") + gbkMessage + "\r\n";
    caption = platform::Utf8ToGbk("错误");
  } catch (const std::bad_alloc&) {
    // No memory even for the report: the one report that needs none.
    ReportAllocationFailure(0);
  }
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
  ExitProgram(-1);
}

}  // namespace molvane
