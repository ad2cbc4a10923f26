// What the user sees of a batch, with and without a terminal.
#include "src/batch/report.hpp"

#include <sstream>

#include <gtest/gtest.h>

namespace {

using batch::Outcome;
using batch::Report;
using batch::Table;

const Table kOrders{.path = "d/ORDERS.DBF", .shown = "d/ORDERS.DBF", .bytes = 300};
const Table kItems{.path = "d/ITEMS.DBF", .shown = "d/ITEMS.DBF", .bytes = 100};
const Table kNotes{.path = "d/NOTES.DBF", .shown = "d/NOTES.DBF", .bytes = 600};
const Outcome kConverted{true, "12,345 records", "", ""};
const Outcome kDamaged{false, "Not able to open D/ITEMS.DBF.", "", ""};
const Outcome kLogged{false, "Record 5 of D/NOTES.DBF lies beyond the end of the file", "d/NOTES.LOG", ""};

TEST(Report, WithoutATerminalEachFinishedTableHasItsLineThenTheSummary) {
  std::ostringstream out;
  Report report(out, false, 3, 1000);
  for (const Table* t : {&kOrders, &kItems, &kNotes}) report.started(*t);
  report.finished(kOrders, kConverted);
  report.finished(kItems, kDamaged);
  report.finished(kNotes, kLogged);
  report.summary(false);
  EXPECT_EQ(out.str(),
            "d/ORDERS.DBF: 12,345 records\n"
            "d/ITEMS.DBF: Not able to open D/ITEMS.DBF.\n"
            "d/NOTES.DBF: Record 5 of D/NOTES.DBF lies beyond the end of the file (error log "
            "d/NOTES.LOG)\n"
            "3 tables: 1 converted, 2 failed\n"
            "Error logs: d/NOTES.LOG\n");
  EXPECT_EQ(report.exitCode(), 1);
}

TEST(Report, OnATerminalOneLineShowsTheBatchByBytesAndOnlyFailuresGetLinesOfTheirOwn) {
  std::ostringstream out;
  Report report(out, true, 3, 1000);
  EXPECT_EQ(report.progressLine(), "Converting 0 of 3 tables [                    ] 0%");
  report.started(kNotes);
  report.started(kOrders);
  report.finished(kNotes, kConverted);
  EXPECT_EQ(report.progressLine(), "Converting 2 of 3 tables [############        ] 60%");
  report.started(kItems);
  report.finished(kItems, kDamaged);
  report.finished(kOrders, kConverted);
  EXPECT_EQ(report.progressLine(), "Converting 3 of 3 tables [####################] 100%");
  report.summary(false);
  const std::string blank(std::string("Converting 3 of 3 tables [############        ] 70%").size(), ' ');
  EXPECT_EQ(out.str(),
            "\rConverting 1 of 3 tables [                    ] 0%"
            "\rConverting 2 of 3 tables [                    ] 0%"
            "\rConverting 2 of 3 tables [############        ] 60%"
            "\rConverting 3 of 3 tables [############        ] 60%"
            "\r" + blank + "\rd/ITEMS.DBF: Not able to open D/ITEMS.DBF.\n"
            "\rConverting 3 of 3 tables [##############      ] 70%"
            "\rConverting 3 of 3 tables [####################] 100%"
            "\r" + std::string(blank.size() + 1, ' ') + "\r"
            "3 tables: 2 converted, 1 failed\n");
  EXPECT_EQ(report.exitCode(), 1);
}

// Tables converted with -e guess: the summary counts the pages chosen, the
// most frequent first; a table that failed counts for none.
TEST(Report, TheCodePagesGuessedAreCountedMostFrequentFirst) {
  std::ostringstream out;
  Report report(out, false, 4, 1000);
  report.finished(kOrders, Outcome{true, "2 records, code page 1251", "", "1251"});
  report.finished(kItems, Outcome{true, "3 records, code page 866", "", "866"});
  report.finished(kNotes, Outcome{true, "1 records, code page 866", "", "866"});
  report.finished(kItems, Outcome{false, "Not able to open D/ITEMS.DBF.", "", "437"});
  report.summary(false);
  EXPECT_EQ(out.str(),
            "d/ORDERS.DBF: 2 records, code page 1251\n"
            "d/ITEMS.DBF: 3 records, code page 866\n"
            "d/NOTES.DBF: 1 records, code page 866\n"
            "d/ITEMS.DBF: Not able to open D/ITEMS.DBF.\n"
            "4 tables: 3 converted, 1 failed\n"
            "Code pages guessed: 866 for 2, 1251 for 1\n");
  EXPECT_EQ(batch::guessedOf("T.DBF reads as code page koi8-r (sure: 0.91; declared: none)\n"), "koi8-r");
  EXPECT_EQ(batch::guessedOf("T.DBF holds no text beyond ASCII: code page 437 (declared: none)\n"), "437");
  EXPECT_EQ(batch::guessedOf("T.DBF reads as no code page for sure (best 1258: 0.10): code page 1252 as declared\n"),
            "1252");
  EXPECT_EQ(batch::guessedOf("Program Ended Normally"), "");
}

TEST(Report, AnInterruptedBatchCountsWhatWasLeftAndOnlyAFullBatchSucceeds) {
  std::ostringstream out;
  Report report(out, false, 3, 1000);
  report.started(kOrders);
  report.finished(kOrders, kConverted);
  report.summary(true);
  EXPECT_EQ(out.str(),
            "d/ORDERS.DBF: 12,345 records\n"
            "3 tables: 1 converted, 0 failed, 2 not converted (interrupted)\n");

  std::ostringstream one;
  Report done(one, false, 1, 300);
  done.finished(kOrders, kConverted);
  done.summary(false);
  EXPECT_EQ(one.str(), "d/ORDERS.DBF: 12,345 records\n1 table: 1 converted, 0 failed\n");
  EXPECT_EQ(done.exitCode(), 0);
  EXPECT_EQ(Report(one, false, 0, 0).exitCode(), 1);  // no table found
}

}  // namespace
