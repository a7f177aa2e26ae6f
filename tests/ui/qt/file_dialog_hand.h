// SPDX-License-Identifier: GPL-3.0-or-later
// A hand on Qt's file dialog for the window's end-to-end tests: it types a
// name and picks a file type as a person would, so the tests that use it
// need no Qt of their own.
#pragma once

#include <functional>
#include <string>

namespace molvane::test {

// Answers the next file dialog the window opens: file type `filterIndex`
// (from 1), then `path` typed key by key and the accept button clicked.
// `seen` gets the dialog's title when it shows.
void AnswerQtFileDialog(const std::string& path, int filterIndex,
                        std::function<void(const std::string& title)> seen);

}  // namespace molvane::test
