// Running a batch's jobs: largest first, never more at once than allowed,
// and after an interrupt nothing more started and nothing left behind. A
// shell script stands in for the program.
#include "src/batch/scheduler.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;

// Called as the program is, in the folder of links: TABLE [N]. Notes its start
// and end in the events file; a table whose name holds BAD fails, one whose
// name holds STOP interrupts the batch that started it.
const char* kStandIn = R"(#!/bin/sh
table=$1 out=$(basename "$1" .DBF).CSV
echo "start $table" >> "$EVENTS"
case $table in
  *STOP*) kill -TERM $PPID; sleep 30 ;;
  *BAD*) echo "Not able to open $1."; echo "end $table" >> "$EVENTS"; exit 1 ;;
  *LONG*) sleep 5 ;;
esac
sleep 0.2
printf '"converted"\r\n' > ".$out.tmp" && mv ".$out.tmp" "$out"
echo "File $out Created with 1 records."
echo "end $table" >> "$EVENTS"
)";

class Scheduler : public testing::Test {
 protected:
  Scheduler() {
    dir_.enter();
    dir_.write("stand-in", kStandIn);
    ::chmod((dir_ / "stand-in").c_str(), 0755);
    ::setenv("EVENTS", (dir_ / "events").c_str(), 1);
  }
  ~Scheduler() override { ::unsetenv("EVENTS"); }

  // Jobs for tables of these names and sizes, in that order.
  void addTables(const std::vector<std::pair<std::string, std::uint64_t>>& tables) {
    for (const auto& [name, bytes] : tables) {
      dir_.write("d/" + name + ".DBF", "");
      jobs_.emplace_back(batch::Table{.path = "d/" + name + ".DBF", .shown = name, .bytes = bytes,
                                      .output = "out/" + name + ".CSV", .log = "out/" + name + ".LOG"},
                         settings_);
    }
  }

  bool run(unsigned parallel, std::size_t tables) {
    batch::Report report(out_, false, tables, 100);
    batch::Children children;
    const bool interrupted = batch::runJobs(jobs_, parallel, children, report);
    report.summary(interrupted);
    // The private folders are kept for reuse until the batch ends, emptied.
    for (const auto& e : fs::directory_iterator(dir_ / "out")) {
      if (e.path().filename().string().starts_with(".dbf2csv-")) {
        EXPECT_TRUE(fs::is_empty(e.path())) << e.path();
      }
    }
    folders_.removeAll();
    return interrupted;
  }

  std::vector<std::string> events() const {
    std::istringstream in(rt_test::readFile(dir_ / "events"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  rt_test::TempDir dir_;
  batch::PrivateFolders folders_;
  batch::JobSettings settings_{dir_ / "stand-in", {}, true, &folders_};
  std::vector<batch::TableJob> jobs_;
  std::ostringstream out_;
};

// One at a time, the order the children say they started in is the order
// they were started in; two at a time, a child may say so late, so only how
// many ran at once is read from what they say.
TEST_F(Scheduler, TablesStartInOrderNeverMoreThanAllowedAndAFailureStopsNoOther) {
  for (const unsigned parallel : {1u, 2u}) {
    SCOPED_TRACE(parallel);
    jobs_.clear();
    out_.str("");
    fs::remove(dir_ / "events");
    addTables({{"E", 50}, {"BAD", 40}, {"C", 30}, {"B", 20}, {"A", 10}});
    EXPECT_FALSE(run(parallel, 5));
    std::vector<std::string> starts;
    int running = 0, most = 0;
    for (const std::string& e : events()) {
      if (e.starts_with("start ")) starts.push_back(e.substr(6));
      running += e.starts_with("start ") ? 1 : -1;
      most = std::max(most, running);
    }
    const std::vector<std::string> largestFirst{"E.DBF", "BAD.DBF", "C.DBF", "B.DBF", "A.DBF"};
    if (parallel == 1) {
      EXPECT_EQ(starts, largestFirst);
    } else {
      EXPECT_TRUE(std::is_permutation(starts.begin(), starts.end(), largestFirst.begin(), largestFirst.end()))
          << testing::PrintToString(starts);
    }
    EXPECT_EQ(most, static_cast<int>(parallel));
    EXPECT_EQ(running, 0);
    EXPECT_EQ(dir_.listing(), "d events out stand-in");
    std::string outputs;
    for (const auto& e : fs::directory_iterator(dir_ / "out")) outputs += e.path().filename().string() + " ";
    EXPECT_EQ(outputs.size(), std::string("A.CSV B.CSV C.CSV E.CSV ").size()) << outputs;
    EXPECT_NE(out_.str().find("BAD: Not able to open BAD.DBF.\n"), std::string::npos)
        << out_.str();
    EXPECT_TRUE(out_.str().ends_with("5 tables: 4 converted, 1 failed\n")) << out_.str();
  }
}

TEST_F(Scheduler, AfterAnInterruptNoTableStartsAndTheRunningOnesLeaveNothing) {
  addTables({{"LONG", 50}, {"STOP", 40}, {"NEVER", 30}});
  EXPECT_TRUE(run(2, 3));
  // LONG may have been ended before it could say that it started.
  std::vector<std::string> seen = events();
  std::sort(seen.begin(), seen.end());
  if (seen.size() == 1) seen.insert(seen.begin(), "start LONG.DBF");
  EXPECT_EQ(seen, (std::vector<std::string>{"start LONG.DBF", "start STOP.DBF"}));
  EXPECT_EQ(dir_.listing(), "d events out stand-in");
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
  EXPECT_EQ(out_.str(), "3 tables: 0 converted, 0 failed, 3 not converted (interrupted)\n");
}

}  // namespace
