// SPDX-License-Identifier: GPL-3.0-or-later
// The encodings text files come in: Unicode's (UTF-8, UTF-16 either way
// round) and the Chinese code pages (GBK, GB18030, Big5), decoded one
// character at a time so a reader can say where a bad byte stands, and
// encoded whole for output.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class Encoding { kUtf8, kUtf16Le, kUtf16Be, kGbk, kGb18030, kBig5 };

// The encoding a name gives ("utf-8", "UTF8", "utf-16le", "gbk", "cp936",
// "gb18030", "big5"; any letter case); "utf-16" alone means little-endian,
// as Windows writes it. Nothing for other names.
std::optional<Encoding> EncodingNamed(std::string_view name);
// The name an encoding is given in messages ("UTF-8", "GBK", ...).
const char* EncodingName(Encoding encoding);

// The character at the start of `bytes`: its byte count with its code point
// in `code`; 0 when the bytes start no character; -1 when `length` ends
// inside one. Strict: UTF-16 surrogates unpaired, GB18030's unassigned
// four-byte values and code-page bytes that map to nothing are not characters.
int DecodeCharacter(Encoding encoding, const char* bytes, size_t length, char32_t* code);

// The byte-order mark at the start of `bytes` and its length: UTF-8, UTF-16
// LE or BE; nothing when there is none (a prefix too short to tell counts as
// none).
std::optional<Encoding> ByteOrderMark(std::string_view bytes, size_t* length);

// The length of the longest prefix of `bytes` that decodes in `encoding` (a
// character cut off by the end counts as read when `cutOk`), and how many
// characters of more than one byte it holds.
size_t DecodablePrefix(Encoding encoding, std::string_view bytes, bool cutOk,
                       size_t* wide = nullptr);

// The encoding of a file found from its first bytes (`head`, the first
// kEncodingSniffBytes or the whole of a shorter file): a byte-order mark,
// else UTF-8 when the bytes are UTF-8, else GB18030 when they are that
// (GB18030 holds GBK); UTF-8 otherwise, for the reader to report. The mark's
// length goes to `markLength` (0 without one).
Encoding FindEncoding(std::string_view head, size_t* markLength);
// How much of a file its encoding is found from.
constexpr size_t kEncodingSniffBytes = 64 << 10;

// Appends the UTF-8 of a code point.
void AppendUtf8(char32_t code, std::string* out);

// UTF-8 text in `encoding`; false when a character cannot be written in it,
// with `position` at its byte offset in `utf8`.
bool EncodeText(Encoding encoding, std::string_view utf8, std::string* out, size_t* position);

}  // namespace platform
