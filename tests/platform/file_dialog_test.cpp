// SPDX-License-Identifier: GPL-3.0-or-later
// The common file dialogs through their Win32 records: what the dialog is
// asked, and the answer written back as Windows writes it, in either
// character set. A responder stands for the person at the dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace {

class FileDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetFileDialogResponder([this](const platform::FileDialogCall& call) {
      asked_ = call;
      return answer_;
    });
  }
  void TearDown() override { platform::SetFileDialogResponder(nullptr); }

  std::optional<platform::FileDialogCall> asked_;
  std::optional<platform::FileDialogAnswer> answer_;
};

constexpr char16_t kFilters[] = u"文本文件 (*.txt)\0*.txt;*.text\0盲文 BRF\0*.brf\0所有文件\0*.*\0";

TEST_F(FileDialogs, SaveDialogIsAskedWhatTheRecordSaysAndAnswersInUnits) {
  WCHAR file[64] = u"结果";
  OPENFILENAMEW record{};
  record.lStructSize = sizeof record;
  record.lpstrFilter = kFilters;
  record.nFilterIndex = 2;
  record.lpstrFile = file;
  record.nMaxFile = 64;
  record.lpstrDefExt = u"txt";
  record.lpstrTitle = u"保存";
  record.Flags = OFN_OVERWRITEPROMPT;
  // A name typed without extension takes the chosen type's.
  answer_ = platform::FileDialogAnswer{u"/home/读者/书", 1};
  ASSERT_TRUE(GetSaveFileNameW(&record));
  ASSERT_TRUE(asked_);
  EXPECT_TRUE(asked_->save);
  EXPECT_TRUE(asked_->confirmOverwrite);
  EXPECT_FALSE(asked_->fileMustExist);
  EXPECT_EQ(asked_->title, u"保存");
  EXPECT_EQ(asked_->fileName, u"结果");
  ASSERT_EQ(asked_->filters.size(), 3u);
  EXPECT_EQ(asked_->filters[0].patterns, u"*.txt;*.text");
  EXPECT_EQ(asked_->filters[1].name, u"盲文 BRF");
  EXPECT_EQ(asked_->filterIndex, 1);
  EXPECT_EQ(std::u16string(file), u"/home/读者/书.brf");
  EXPECT_EQ(record.nFilterIndex, 2u);
  EXPECT_EQ(record.nFileOffset, 9u);
  EXPECT_EQ(record.nFileExtension, 11u);

  // "*.*" names no extension: the default one is taken; a typed one stays.
  answer_ = platform::FileDialogAnswer{u"/tmp/a", 2};
  ASSERT_TRUE(GetSaveFileNameW(&record));
  EXPECT_EQ(std::u16string(file), u"/tmp/a.txt");
  EXPECT_EQ(record.nFilterIndex, 3u);
  answer_ = platform::FileDialogAnswer{u"/tmp/b.md", 0};
  ASSERT_TRUE(GetSaveFileNameW(&record));
  EXPECT_EQ(std::u16string(file), u"/tmp/b.md");
  EXPECT_EQ(record.nFileExtension, 7u);
}

TEST_F(FileDialogs, CancelTooSmallAndBadRecordsAreToldApart) {
  WCHAR file[8] = {};
  OPENFILENAMEW record{};
  record.lStructSize = sizeof record;
  record.lpstrFile = file;
  record.nMaxFile = 8;
  record.Flags = OFN_FILEMUSTEXIST;
  EXPECT_FALSE(GetOpenFileNameW(&record));  // cancelled
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_TRUE(asked_->fileMustExist);
  EXPECT_FALSE(asked_->save);

  answer_ = platform::FileDialogAnswer{u"/tmp/longer-name", 0};
  EXPECT_FALSE(GetOpenFileNameW(&record));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  WORD needed = 0;
  std::memcpy(&needed, file, sizeof needed);
  EXPECT_EQ(needed, 17u);  // the path and its terminator

  record.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileNameW(&record));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
  record.lStructSize = sizeof record;
  record.lpstrFile = nullptr;
  EXPECT_FALSE(GetOpenFileNameW(&record));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
}

TEST_F(FileDialogs, AnsiRecordsSpeakGbk) {
  const std::string filters = platform::Utf8ToGbk("文本\n*.txt\n\n");
  std::string list = filters;
  std::replace(list.begin(), list.end(), '\n', '\0');
  char file[32] = {};
  OPENFILENAMEA record{};
  record.lStructSize = sizeof record;
  record.lpstrFilter = list.c_str();
  record.lpstrFile = file;
  record.nMaxFile = sizeof file;
  char title[16] = {};
  record.lpstrFileTitle = title;
  record.nMaxFileTitle = sizeof title;
  answer_ = platform::FileDialogAnswer{u"/tmp/中文.txt", 0};
  ASSERT_TRUE(GetOpenFileNameA(&record));
  EXPECT_EQ(asked_->filters.at(0).name, u"文本");
  EXPECT_EQ(std::string(file), platform::Utf8ToGbk("/tmp/中文.txt"));
  EXPECT_EQ(std::string(title), platform::Utf8ToGbk("中文.txt"));
  EXPECT_EQ(record.nFileOffset, 5u);
  EXPECT_EQ(record.nFileExtension, 10u);  // bytes: two for each character
}

TEST(Utf16Bridge, RoundTripsBeyondTheBasicPlaneAndMarksBrokenInput) {
  const std::string text = "a中\xF0\x9F\x98\x80";
  EXPECT_EQ(platform::Utf8ToUtf16(text), u"a中\U0001F600");
  EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(text)), text);
  EXPECT_EQ(platform::Utf8ToUtf16("a\xFF"), u"a\uFFFD");
  EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, u'\xD800') + u"b"),
            "\xEF\xBF\xBD"
            "b");
}

}  // namespace
