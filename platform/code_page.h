// The code page of package texts.
//
// Packages store file names, titles and descriptions as 8-bit text in a
// Windows ANSI code page, and the core keeps every text and path in that
// code page, as a Windows program that calls the ANSI functions does. On
// Windows it is the system's ANSI code page. On POSIX systems, whose names
// and terminals speak UTF-8, the platform converts at the system boundary:
// paths on their way to the system, names that come back from folder
// listings and the current directory, command-line arguments and typed
// lines, and text that is printed. Texts in plain ASCII are the same in
// every code page and pass unchanged.
//
// Only the single-byte code pages are offered (874 and 1250 to 1258): the
// core splits paths at the byte of the backslash, which in the double-byte
// code pages can be the second half of a character.
#pragma once

#include <string>

namespace platform {

// The code page in use: the system's ANSI code page on Windows; elsewhere
// 1252 unless the build chose another (UPG_CODEPAGE) or a program selected
// one.
unsigned PackageCodePage();

// Makes `codePage` the code page of every later conversion. False, with
// `problem` set and nothing changed, for a code page this platform cannot
// use: one that is not single-byte, or on Windows any but the system's.
bool SelectPackageCodePage(unsigned codePage, std::string* problem);

// The characters of package text. A byte the code page leaves undefined
// becomes U+FFFD and makes the result false.
bool DecodePackageText(const std::string& text, std::u32string* characters);
// Characters as package text. One the code page cannot write becomes '?'
// and makes the result false.
bool EncodePackageText(const std::u32string& characters, std::string* text);

// Package text as UTF-8 (JSON, and POSIX names and terminals); undefined
// bytes become U+FFFD, and `defined`, when given, tells whether there were
// none.
std::string PackageTextToUtf8(const std::string& text, bool* defined = nullptr);
// UTF-8 as package text. False for text that is not UTF-8 or holds a
// character the code page cannot write; `text` then holds a '?' for each
// such character (or byte that is not UTF-8).
bool Utf8ToPackageText(const std::string& utf8, std::string* text);

// Package text with its letters in capitals, as Windows compares names
// (where "caf\xE9" and "CAF\xC9" are one name); a letter whose capital the
// code page lacks stays as it is.
std::string PackageTextUpperCase(const std::string& text);
// The capital of one character by the system's own case mapping, the one
// PackageTextUpperCase applies to each character.
char32_t CapitalOf(char32_t c);

// Text as this system's programs receive it (command-line arguments, typed
// lines, text files people write: UTF-8 on POSIX, the ANSI code page on
// Windows) as package text; false when the code page cannot write it.
bool SystemTextToPackageText(const std::string& text, std::string* converted);
// Package text as this system's programs print it.
std::string PackageTextForConsole(const std::string& text);

}  // namespace platform
