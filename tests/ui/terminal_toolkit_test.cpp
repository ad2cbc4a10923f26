// The terminal backend: prompts answered from an input stream, messages and
// the progress line on an output stream.
#include "platform/ui/terminal/terminal_toolkit.hpp"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/rt/strings.hpp"
#include "platform/ui/edit_model.hpp"
#include "platform/ui/terminal/terminal_dialog.hpp"
#include "tests/ui/dialog_contract.hpp"

namespace {

namespace fs = std::filesystem;

class TerminalToolkitTest : public testing::Test {
 protected:
  void answer(const std::string& lines) { in_.str(lines); }

  std::istringstream in_;
  std::ostringstream out_;
  ui::TerminalToolkit t_{in_, out_, 80};
};

TEST_F(TerminalToolkitTest, ConfirmBoxTakesTheFirstLetterOfAButton) {
  struct Case {
    ui::Buttons buttons;
    std::string input;
    ui::Answer result;
  };
  const Case cases[] = {
      {ui::Buttons::AbortRetryIgnore, "r\n", ui::Answer::Retry},
      {ui::Buttons::AbortRetryIgnore, "x\n\nIgnore\n", ui::Answer::Ignore},
      {ui::Buttons::RetryCancel, "c\n", ui::Answer::Cancel},
      {ui::Buttons::YesNo, "n\n", ui::Answer::No},
      {ui::Buttons::OkCancel, "", ui::Answer::Ok},            // input ended: unattended
      {ui::Buttons::AbortRetryIgnore, "", ui::Answer::Abort},  // input ended: unattended
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::ostringstream out;
    ui::TerminalToolkit t(in, out, 80);
    EXPECT_EQ(t.confirmBox("Disk full", "Runtime Error Message", c.buttons, 131088), c.result)
        << c.input;
  }
}

TEST_F(TerminalToolkitTest, ConfirmBoxShowsTitleTextAndButtons) {
  answer("a\n");
  EXPECT_EQ(t_.confirmBox("Error\rline two", "Runtime Error Message", ui::Buttons::AbortRetryIgnore,
                          131088),
            ui::Answer::Abort);
  EXPECT_EQ(out_.str(), "Runtime Error Message\nError\nline two\n[A]bort, [R]etry, [I]gnore? ");
}

TEST_F(TerminalToolkitTest, TextAlertIsANumberedMenu) {
  answer("7\n\n2\n");
  EXPECT_EQ(t_.textAlert("Bad;thing", {"Cancel", "Exit with LOG file"}), 2);
  EXPECT_EQ(out_.str(),
            "Bad\nthing\n  1  Cancel\n  2  Exit with LOG file\n"
            "Choice (1-2): Please answer a number from 1 to 2.\n"
            "Choice (1-2): Choice (1-2): ");
}

TEST_F(TerminalToolkitTest, TextAlertAtTheEndOfInputTakesTheFirstOption) {
  answer("");
  EXPECT_EQ(t_.textAlert("Bad", {"Cancel", "Exit with LOG file"}), 1);
}

TEST_F(TerminalToolkitTest, AMessageEndsTheProgressLineFirst) {
  ui::ProgressBar* bar = nullptr;
  ui::ElementList elements(2);
  elements[0].caption = "Creating A.CSV";
  elements[1].kind = ui::Element::Kind::ProgressBar;
  elements[1].maximum = 2;
  elements[1].step = 10;
  elements[1].barOut = &bar;
  auto window = t_.readNonModal(elements, "Title");
  ASSERT_NE(bar, nullptr);
  window->show();
  bar->update(1);
  bar->update(2);
  t_.guiAlert("Done;;File A.CSV", "Alert", "11.Courier New Bold");
  window->destroy();
  EXPECT_EQ(out_.str(),
            "\rCreating A.CSV [..............................]   0% 0/2"
            "\rCreating A.CSV [##############################] 100% 2/2\n"
            "Done\n\nFile A.CSV\n");
}

// A dialog of the shape the table selection builds: a label and a text
// field with a validation and a pop-up, a label and a Y/N field.
class TerminalDialogTest : public TerminalToolkitTest {
 protected:
  TerminalDialogTest() : elements_(4) {
    elements_[0].caption = "Select Table     ";
    elements_[1].kind = ui::Element::Kind::Entry;
    elements_[1].link = &cTable_;
    elements_[1].picture = "@!@K";
    elements_[1].labelIndex = 1;
    elements_[1].validation = [this] {
      checked_.push_back(cTable_.text());
      return cTable_.text().rfind("GOOD", 0) == 0 || fs::path(cTable_.text()).is_absolute();
    };
    elements_[1].popup = [this](const rt::Value& content) -> rt::Value {
      auto pick =
          t_.popFile({content.text(), dir_, "*.DBF", "Select", {{"Database Tables", "*.DBF"}}});
      return pick ? rt::Value(*pick) : content;
    };
    elements_[2].caption = "Place Field Names on First line of Delimited File";
    elements_[3].kind = ui::Element::Kind::Entry;
    elements_[3].link = &lFieldLine_;
    elements_[3].picture = "Y";
    elements_[3].labelIndex = 3;
  }

  rt::Value cTable_{std::string(12, ' ')};
  rt::Value lFieldLine_{true};
  std::vector<std::string> checked_;
  std::string dir_ = ".";
  ui::ElementList elements_;
};

TEST_F(TerminalDialogTest, EachFieldIsAskedWithItsLabelAndWhatItHolds) {
  answer("bad\ngood.dbf\nx\nn\n");
  bool windowMade = false;
  EXPECT_TRUE(t_.readModal(elements_, "Create a Text Delimited File", [&] { windowMade = true; }));
  EXPECT_TRUE(windowMade);
  EXPECT_EQ(out_.str(),
            "Create a Text Delimited File\n"
            "Select Table (? or Enter to pick from a list): "
            "Select Table [BAD] (? or Enter to pick from a list): "
            "Place Field Names on First line of Delimited File (Y/N) [Y]: "
            "Place Field Names on First line of Delimited File (Y/N) [Y]: ");
  EXPECT_EQ(checked_, (std::vector<std::string>{"BAD         ", "GOOD.DBF    ", "GOOD.DBF    "}));
}

TEST_F(TerminalDialogTest, AnEmptyAnswerListsTheTablesToPickByNumber) {
  const fs::path dir = fs::temp_directory_path() / ("dbf2csv-ui-" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (const char* name : {"b.dbf", "A.DBF", "notes.txt"}) std::ofstream(dir / name) << "x";
  dir_ = dir.string();
  // The pick is asked again, shown as the system shows names, and Enter
  // takes it.
  answer("\n9\n2\n\n\n");
  EXPECT_TRUE(t_.readModal(elements_, "", {}));
  const std::string picked = (dir / "b.dbf").string();
  EXPECT_EQ(cTable_.text(), ui::kPicksUpperCased ? rt::upper(picked) : picked);
  const std::string shown = out_.str();
  EXPECT_NE(shown.find("Select: " + dir.string() + "\n  1  A.DBF\n  2  b.dbf\nNumber (1-2): "
                       "Please answer a number from 1 to 2.\nNumber (1-2): Select Table [" +
                       cTable_.text() + "] (Enter to take it, ? to pick again): "),
            std::string::npos)
      << shown;
  fs::remove_all(dir);
}

TEST_F(TerminalDialogTest, ThePickListsTheRememberedFolderWhateverTheCaseItIsWrittenIn) {
  const fs::path dir = fs::temp_directory_path() / ("dbf2csv-ui-" + std::to_string(getpid())) / "Tables";
  fs::create_directories(dir);
  std::ofstream(dir / "orders.dbf") << "x";
  // As the field holds a remembered folder: upper-cased, blank-filled.
  std::string start = dir.string() + "/";
  for (char& c : start) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  answer("1\n");
  const auto picked = t_.popFile({"", start + std::string(20, ' '), "*.DBF", "Select", {}});
  EXPECT_EQ(picked, (dir / "orders.dbf").string());
  EXPECT_EQ(out_.str(), "Select: " + dir.string() + "/\n  1  orders.dbf\nNumber (1-1): ");
  fs::remove_all(dir.parent_path());
}

TEST(PromptFile, AListLongerThanTheScreenGoesIntoColumnsAScreenfulAtATime) {
  const fs::path dir = fs::temp_directory_path() / ("dbf2csv-page-" + std::to_string(getpid()));
  fs::create_directories(dir);
  for (int i = 1; i <= 8; ++i) std::ofstream(dir / ("T" + std::to_string(i) + ".DBF")) << "x";
  std::istringstream in("\n7\n");
  std::ostringstream out;
  // Two lines of names a screen, two columns a line.
  const auto picked = ui::promptFile(in, out, dir.string(), "*.DBF", "Select", ui::Screen{30, 5});
  EXPECT_EQ(picked, (dir / "T7.DBF").string());
  EXPECT_EQ(out.str(), "Select: " + dir.string() + "\n"
                       "  1  T1.DBF    5  T5.DBF\n"
                       "  2  T2.DBF    6  T6.DBF\n"
                       "Number, or Enter for more (1-8): "
                       "  3  T3.DBF    7  T7.DBF\n"
                       "  4  T4.DBF    8  T8.DBF\n"
                       "Number (1-8): ");
  // An empty answer on the last page picks nothing.
  std::istringstream none("\n\n");
  std::ostringstream ignored;
  EXPECT_EQ(ui::promptFile(none, ignored, dir.string(), "*.DBF", "Select", ui::Screen{30, 5}),
            std::nullopt);
  fs::remove_all(dir);
}

TEST(MatchingFiles, TheMaskMatchesInAnyLetterCase) {
  const fs::path dir = fs::temp_directory_path() / ("dbf2csv-mask-" + std::to_string(getpid()));
  fs::create_directories(dir / "SUB.DBF");
  for (const char* name : {"x.Dbf", "Y.DBF", "z.dbt"}) std::ofstream(dir / name) << "x";
  EXPECT_EQ(ui::matchingFiles(dir.string(), "*.DBF"), (std::vector<std::string>{"Y.DBF", "x.Dbf"}));
  EXPECT_TRUE(ui::matchingFiles((dir / "missing").string(), "*.DBF").empty());
  fs::remove_all(dir);
}

// The terminal held to the dialog's rules: each answer a line, a pick "?",
// the end of input a cancel.
class TerminalPerson : public dialog_contract::Person {
 public:
  void answer(std::size_t, const std::string& text) override { input_ += text + "\n"; }
  void pick(std::size_t) override { input_ += "?\n"; }
  void answerAlert() override {}
  void cancel() override {}
  bool read(ui::ElementList& elements) override {
    std::istringstream in(input_);
    std::ostringstream out;
    struct Installed {
      std::unique_ptr<ui::Toolkit> previous;
      ~Installed() { ui::setToolkit(std::move(previous)); }
    } installed{ui::setToolkit(std::make_unique<ui::TerminalToolkit>(in, out, 80))};
    return ui::toolkit().readModal(elements, "Test Dialog", {});
  }

 private:
  std::string input_;
};

using dialog_contract::DialogContract;
INSTANTIATE_TEST_SUITE_P(Terminal, DialogContract, testing::Values(&dialog_contract::make<TerminalPerson>));

}  // namespace
