#include "src/app/code_page_choice.hpp"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/db/engine.hpp"
#include "platform/rt/code_page.hpp"

namespace app {
namespace {

// The first sample is cheap; the second, for a choice still open, reads
// whole tables of up to 65,536 records and 32 stretches of a larger one.
// Each stretch costs one read of the record reader's block, so their
// number, not their length, bounds the time a guess takes.
constexpr std::uint32_t kFirstRuns = 8, kFirstPerRun = 128;
constexpr std::uint32_t kWiderRuns = 32, kWiderPerRun = 2048;
// Memo values cost a read each: enough of them to name the page.
constexpr std::size_t kMaxMemos = 512;

void sampleRecord(db::Table& table, rt::CodePageSample& sample, std::size_t& memos) {
  const std::optional<db::RecordView> view = table.recordView();
  if (!view) return;
  for (std::size_t i = 0; i < view->fields.size(); ++i) {
    const db::StoredField& f = view->fields[i];
    if (f.binary) continue;
    if (f.kind == db::FieldKind::Character) {
      if (f.offset + f.length > view->length) continue;
      sample.add(std::string_view(reinterpret_cast<const char*>(view->bytes) + f.offset, f.length));
    } else if (f.kind == db::FieldKind::Memo && memos < kMaxMemos) {
      const rt::Value memo = table.fieldGet(static_cast<int>(i) + 1);
      if (memo.isMemo() && !memo.text().empty() && !rt::looksBinary(memo.text())) {
        ++memos;
        sample.add(memo.text());
      }
    }
  }
}

std::string twoDecimals(double x) {
  char s[16];
  std::snprintf(s, sizeof s, "%.2f", x);
  return s;
}

// A code page that this system converts.
bool convertsHere(const std::string& name) {
  rt::CodePageChars chars;
  return rt::codePageChars(name, chars) != rt::CodePageKind::Unknown;
}

}  // namespace

rt::CodePageSample sampleTable(db::Table& table, std::uint32_t runs, std::uint32_t perRun) {
  rt::CodePageSample sample;
  const std::uint32_t count = table.lastRec();
  std::size_t memos = 0;
  const bool whole = static_cast<std::uint64_t>(runs) * perRun >= count;
  const std::uint32_t stretches = whole ? 1 : runs;
  const std::uint32_t length = whole ? count : perRun;
  for (std::uint32_t k = 0; k < stretches && !sample.full(); ++k) {
    const std::uint64_t span = count - length;
    const auto first = static_cast<std::uint32_t>(1 + (stretches > 1 ? span * k / (stretches - 1) : 0));
    for (std::uint32_t n = first; n < first + length && !sample.full(); ++n) {
      if (!table.goTo(n)) return sample;
      sampleRecord(table, sample, memos);
    }
  }
  return sample;
}

CodePageChoice guessTableCodePage(db::Table& table, const std::string& declared) {
  rt::CodePageSample sample = sampleTable(table, kFirstRuns, kFirstPerRun);
  std::vector<rt::CodePageScore> ranking = rt::guessCodePage(sample.text());
  if (rt::guessUnsettled(ranking, sample.highBytes())) {
    sample = sampleTable(table, kWiderRuns, kWiderPerRun);
    ranking = rt::guessCodePage(sample.text());
  }
  CodePageChoice choice;
  std::erase_if(ranking, [](const rt::CodePageScore& s) { return !convertsHere(s.name); });
  const bool weak = ranking.empty() || ranking.front().sure < kSureEnough;
  if (weak && !declared.empty() && convertsHere(rt::codePageName(declared))) {
    choice.codePage = rt::codePageName(declared);
    choice.asDeclared = !ranking.empty();
  } else {
    choice.codePage = ranking.empty() ? "CP437" : ranking.front().name;
  }
  choice.ranking = std::move(ranking);
  return choice;
}

std::string choiceLine(const std::string& cName, const CodePageChoice& choice, const std::string& declared) {
  const std::string shown = rt::shownCodePage(choice.codePage);
  const std::string declaredShown = declared.empty() ? "none" : rt::shownCodePage(rt::codePageName(declared));
  if (choice.ranking.empty()) {
    const bool taken = !declared.empty() && rt::codePageName(declared) == choice.codePage;
    return cName + " holds no text beyond ASCII: code page " + shown +
           (taken ? " as declared" : " (declared: " + declaredShown + ")");
  }
  const std::string best = rt::shownCodePage(choice.ranking[0].name) + ": " + twoDecimals(choice.ranking[0].sure);
  if (choice.asDeclared) {
    return cName + " reads as no code page for sure (best " + best + "): code page " + shown + " as declared";
  }
  std::string line = cName + " reads as code page " + shown + " (sure: " + twoDecimals(choice.ranking[0].sure);
  if (choice.ranking.size() > 1) {
    line += "; next " + rt::shownCodePage(choice.ranking[1].name) + ": " + twoDecimals(choice.ranking[1].sure);
  }
  if (declared.empty() || rt::codePageName(declared) != choice.codePage) line += "; declared: " + declaredShown;
  return line + ")";
}

}  // namespace app
