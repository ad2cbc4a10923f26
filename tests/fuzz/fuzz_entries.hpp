// The entry functions of the fuzz targets, shared by the libFuzzer binaries
// (clang, sanitizers on) and by the unit test that replays every input ever
// found to crash, hang or leak (any compiler). Each takes raw bytes, never
// fails on them, and returns what it saw, so that a replay can check it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fuzz {

// The bytes that separate the table part of an input from its memo part.
inline constexpr std::string_view kMemoMarker = "\n=MEMO=\n";

// An input of the whole-table target: the table file, then, after the first
// kMemoMarker, the memo file (absent when there is no marker).
struct TableInput {
  std::string_view table;
  std::optional<std::string_view> memo;
};
TableInput splitTableInput(std::string_view data);

// What reading a table gave.
struct ReadSummary {
  bool opened = false;
  std::string driver;         // the driver that opened it, "" when none did
  bool exported = true;       // false when the export could not write its output
  bool ended = false;         // an error that allows no default ended the program
  bool consistent = true;     // the export's lines equal the routines' lines
  std::uint64_t records = 0;  // the record lines of the output
  std::uint64_t errors = 0;   // the runtime errors raised
  std::uint64_t bytes = 0;    // the size of the output
  std::string guessed;        // the code page a guess chose for the opened table
};

// Whether a read went as it must: the export wrote its output and its lines
// are the routines' lines.
// A table that opened has a guessed code page unless the program ended.
inline bool isSound(const ReadSummary& s) {
  return s.exported && s.consistent && (!s.opened || s.ended || !s.guessed.empty());
}

// The bytes of a fuzz input as text.
inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Whole-table target: the table part becomes T.DBF in a scratch directory and
// the memo part (when there is one) both T.DBT and T.FPT beside it; the table
// is opened shared under the seven drivers in the program's order, its code
// page guessed from a sample of its records as --encoding=guess does, and
// then exported to T.CSV with its field-name line, then read again record by
// record through DBF2ARRAY and VARTOCHAR, whose lines must equal the
// export's. Runtime errors are answered with the default (the table ends,
// the memo reads empty), so the reading goes on to the end.
ReadSummary readWholeTable(std::string_view data);

// The memo layouts of the memo targets.
enum class MemoTarget { DbtIII, DbtIV, Fpt };

// Memo targets: the first 16 bytes are four block pointers (u32 LE), the rest
// is the memo file. A fixed two-record table of the layout's version with two
// memo fields (both pointer encodings the layout knows) points at those
// blocks; it is read as readWholeTable() does.
ReadSummary readMemoTable(MemoTarget target, std::string_view data);

// Job-file target: splits the bytes with STR2ARRAY at "|", at the default
// separator and at a separator the first byte chooses, and reads them as a
// job file RAZAVOZ.INP. False when a split breaks its own rules (its elements
// joined with the separator are not the text, or an element holds the
// separator) or the job file is not consumed.
bool splitJobFile(std::string_view data);

// Code page target: the bytes as the text of a guess. False when the
// ranking breaks its rules: empty unless a byte is above 127, each page
// once, each sure from 0 to 1.
bool guessFromBytes(std::string_view data);

// Condition target: the bytes as a --where condition. Read as the command
// line reads it, then, when it is accepted, bound to a small table of every
// plain type (C, N, D, L, I, T, Y, B, a nullable C; blank, NULL and deleted
// records among them) and asked of every record, and so is NOT (bytes).
// False when a refusal is not the three lines with a caret, or a record
// meets both the condition and its negation.
bool evaluateCondition(std::string_view data);

}  // namespace fuzz
