// One table's job: the child's command, the private folder, and what is made
// of the child's end and of what it left there.
#include "src/batch/table_job.hpp"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;
using batch::ChildEnd;
using batch::TableJob;

const std::string kLog =
    "------------------------------------------------------------------------------\r\n"
    "oError:cargo        : NIL\r\n"
    "oError:description  : Record 7 of orders.dbf lies beyond the end of the file\r\n"
    "oError:filename     : orders.dbf\r\n";

TEST(ChildMessages, TheRecordCountTheReasonAndTheLogLineAreReadAsTheProgramWritesThem) {
  EXPECT_EQ(batch::recordsOf("Program Ended Normally\n\nFile ORDERS.CSV Created with 12,345 records.\n"),
            "12,345 records");
  EXPECT_EQ(batch::recordsOf("File ORDERS.CSV Created with 2 of 1,236 records.\n"), "2 of 1,236 records");
  EXPECT_EQ(batch::recordsOf("Not able to open X.DBF.\n"), "");
  EXPECT_EQ(batch::logDescription(kLog), "Record 7 of orders.dbf lies beyond the end of the file");
  EXPECT_EQ(batch::logDescription("no log"), "");

  // The child's names of the table become a single run's: the folders as
  // on disk (not upper-cased), in both the name given and the name on disk.
  struct Case {
    std::string messages, log;
    ChildEnd end;
    std::string reason;
  } cases[] = {
      {"Not able to open ORDERS.DBF.\n", "", {1, false, 1}, "Not able to open Data/ORDERS.DBF."},
      {"Not able to open ORDERS.DBF.\ndbf2csv: Table orders.dbf has version byte 0x6E\n", "", {1, false, 1},
       "Not able to open Data/ORDERS.DBF. Table Data/orders.dbf has version byte 0x6E"},
      {"\n\rError log was written to the file APPERROR.LOG", kLog, {1, false, 1},
       "Record 7 of Data/orders.dbf lies beyond the end of the file"},
      {"", "", {1, true, 11}, "The conversion ended by signal 11 (Segmentation fault)."},
      {"", "", {1, false, 7}, "The conversion ended with exit code 7."},
      {"Job file;x\n  two lines \n", "", {1, false, 1}, "Job file;x two lines"},
  };
  const std::vector<batch::Renaming> names{{"orders.dbt", "Data/orders.dbt"},
                                           {"ORDERS.DBF", "Data/ORDERS.DBF"},
                                           {"orders.dbf", "Data/orders.dbf"}};
  for (const Case& c : cases) EXPECT_EQ(batch::failureReason(c.messages, c.log, c.end, names), c.reason);
  // Each name put in once, though it holds a name the child gave.
  EXPECT_EQ(batch::failureReason("Table ORDERS.DBF: its memo file orders.dbt is damaged\n", "", {1, false, 1},
                                 {{"orders.dbt", "orders.dbt/orders.dbt"}, {"ORDERS.DBF", "ORDERS.DBF/ORDERS.DBF"}}),
            "Table ORDERS.DBF/ORDERS.DBF: its memo file orders.dbt/orders.dbt is damaged");
}

class Job : public testing::Test {
 protected:
  Job() {
    dir_.enter();
    dir_.write("d/orders.dbf", "table");
    dir_.write("d/orders.dbt", "memo");
    dir_.write("d/orders.txt", "other");
  }

  batch::Table table(const std::string& output) const {
    return {.path = "d/orders.dbf", .shown = "d/orders.dbf", .bytes = 5, .output = output,
            .log = output.substr(0, output.size() - 4) + ".LOG", .companions = {"d/orders.dbt"}};
  }

  std::string files(const std::string& folder) const { return rt_test::treeListing(folder); }

  // What is left in `folder` when the batch ends: the private folders kept
  // for the next table are empty by then, and go.
  std::string leftAtTheEnd(const std::string& folder) {
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
      if (e.path().filename().string().starts_with(".dbf2csv-")) {
        EXPECT_TRUE(fs::is_empty(e.path())) << e.path();
      }
    }
    folders_.removeAll();
    return files(folder);
  }

  rt_test::TempDir dir_;
  batch::PrivateFolders folders_;
  batch::JobSettings settings_{"/bin/dbf2csv", {"--rfc4180", "-d", ";"}, false, &folders_};
};

TEST_F(Job, TheChildRunsInAPrivateFolderBesideTheOutputAndOnlyAWholeCsvFileLeavesIt) {
  dir_.write("out/sub/ORDERS.CSV", "previous");
  ::chmod((dir_ / "out/sub/ORDERS.CSV").c_str(), 0640);
  TableJob job(table("out/sub/ORDERS.CSV"), settings_);
  const auto command = job.prepare();
  ASSERT_TRUE(command) << job.prepareFailure();
  EXPECT_EQ(command->program, "/bin/dbf2csv");
  EXPECT_EQ(command->options, (std::vector<std::string>{"--rfc4180", "-d", ";"}));
  EXPECT_EQ(command->args, (std::vector<std::string>{"orders.dbf", "N"}));
  // The table and its memo file, not the other files beside it.
  EXPECT_EQ(files(command->directory), "orders.dbf orders.dbt");
  EXPECT_EQ(fs::read_symlink(command->directory + "/orders.dbt"), dir_ / "d/orders.dbt");
  EXPECT_EQ(fs::path(command->directory).parent_path(), "out/sub");
  EXPECT_TRUE(fs::path(command->directory).filename().string().starts_with(".dbf2csv-"));
  EXPECT_EQ(command->environment, (decltype(command->environment){{"DBF2CSV_UI", "headless"}}));

  dir_.write(command->directory + "/ORDERS.CSV", "\"new\"\r\n");
  dir_.write(command->directory + "/messages.txt", "File ORDERS.CSV Created with 1 records.\n");
  const batch::Outcome outcome = job.finish({1, false, 0});
  EXPECT_TRUE(outcome.converted);
  EXPECT_EQ(outcome.detail, "1 records");
  EXPECT_EQ(outcome.log, "");
  // The next table of the same folder runs in the same private folder.
  TableJob next(table("out/sub/ORDERS.CSV"), settings_);
  const auto nextCommand = next.prepare();
  ASSERT_TRUE(nextCommand);
  EXPECT_EQ(nextCommand->directory, command->directory);
  EXPECT_EQ(files(command->directory), "orders.dbf orders.dbt");
  next.discard();
  EXPECT_EQ(leftAtTheEnd("out"), "sub sub/ORDERS.CSV");
  EXPECT_EQ(rt_test::readFile(dir_ / "out/sub/ORDERS.CSV"), "\"new\"\r\n");
  EXPECT_EQ(fs::status(dir_ / "out/sub/ORDERS.CSV").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(Job, AFailedRunLeavesThePreviousOutputAndItsLogBecomesTheTablesLog) {
  dir_.write("d/ORDERS.CSV", "previous");
  dir_.write("d/ORDERS.LOG", "an older log");
  TableJob job(table("d/ORDERS.CSV"), settings_);
  const auto command = job.prepare();
  ASSERT_TRUE(command);
  dir_.write(command->directory + "/.ORDERS.CSV.0123456789abcdef.tmp", "half");
  dir_.write(command->directory + "/APPERROR.LOG", kLog);
  dir_.write(command->directory + "/messages.txt", "\n\rError log was written to the file APPERROR.LOG");
  const batch::Outcome outcome = job.finish({1, false, 1});
  EXPECT_FALSE(outcome.converted);
  EXPECT_EQ(outcome.detail, "Record 7 of d/orders.dbf lies beyond the end of the file");
  EXPECT_EQ(outcome.log, "d/ORDERS.LOG");
  EXPECT_EQ(leftAtTheEnd("d"), "ORDERS.CSV ORDERS.LOG orders.dbf orders.dbt orders.txt");
  EXPECT_EQ(rt_test::readFile(dir_ / "d/ORDERS.CSV"), "previous");
  EXPECT_EQ(rt_test::readFile(dir_ / "d/ORDERS.LOG"), kLog);
}

// The child names the table's files without a folder, each as the run
// in the table's folder would: they take the folder a single run shows.
TEST_F(Job, AFailureNamesTheTablesFilesAsASingleRunDoes) {
  dir_.write("d/orders.fpt", "memo");
  batch::Table t = table("d/ORDERS.CSV");
  t.companions.push_back("d/orders.fpt");
  EXPECT_EQ(batch::failureReason("Not able to open ORDERS.DBF.\n"
                                 "dbf2csv: Memo file orders.DBT of the table not found; orders.FPT; "
                                 "its memo file orders.fpt: damaged; orders.dbf\n",
                                 "", {1, false, 1}, batch::renamingsOf(t, "orders.dbf")),
            "Not able to open d/ORDERS.DBF. Memo file d/orders.DBT of the table not found; d/orders.FPT; "
            "its memo file d/orders.fpt: damaged; d/orders.dbf");
}

TEST_F(Job, AJobEndedOrDiscardedLeavesNothingAndOneThatCannotBePreparedSaysWhy) {
  {
    TableJob job(table("d/ORDERS.CSV"), settings_);
    const auto command = job.prepare();
    ASSERT_TRUE(command);
    dir_.write(command->directory + "/.ORDERS.CSV.0123456789abcdef.tmp", "half");
  }  // ended by an interrupt: the job goes out of scope
  EXPECT_EQ(leftAtTheEnd("d"), "orders.dbf orders.dbt orders.txt");

  dir_.write("blocked", "a file where the output folder should be");
  TableJob blocked(table("blocked/ORDERS.CSV"), settings_);
  EXPECT_FALSE(blocked.prepare());
  EXPECT_EQ(blocked.prepareFailure(), "Not able to create blocked/ORDERS.CSV: Not a directory.");

  batch::Table clash = table("d/ORDERS.CSV");
  clash.problem = "Not converted: x gives the same file d/ORDERS.CSV.";
  TableJob problem(clash, settings_);
  EXPECT_FALSE(problem.prepare());
  EXPECT_EQ(problem.prepareFailure(), clash.problem);
  EXPECT_EQ(leftAtTheEnd("d"), "orders.dbf orders.dbt orders.txt");
}

}  // namespace
