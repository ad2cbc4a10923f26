// The dialog's rules as a person meets them, the same on every backend;
// dialog_contract.hpp says how each backend runs them.
#include "tests/ui/dialog_contract.hpp"

#include <stdexcept>

#include "platform/rt/error_block.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/strings.hpp"
#include "platform/ui/edit_model.hpp"

namespace dialog_contract {
namespace {

// What the test pop-up gives, and what the field shows of it on this system.
const std::string kPicked = "c:\\Data\\Orders.dbf";
const std::string kPickShown = ui::kPicksUpperCased ? rt::upper(kPicked) : kPicked;

TEST_P(DialogContract, TypedLettersAreUpperCasedAndReplaceTheContent) {
  const std::pair<std::string, std::string> cases[] = {
      {"new.dbf", "NEW.DBF   "},
      {"a/rather/long/name.dbf", "A/RATHER/LONG/NAME.DBF"},  // longer than the variable: kept whole
  };
  for (const auto& [typed, value] : cases) {
    cName = rt::Value(std::string("OLD       "));
    validations = 0;
    auto p = person();
    p->answer(kName, typed);
    p->answer(kYes, "");
    EXPECT_TRUE(p->read(elements)) << typed;
    EXPECT_EQ(cName.text(), value);
    EXPECT_TRUE(lYes.logical());
    // Leaving the name field, then confirming, which checks every field.
    EXPECT_EQ(validations, 2);
  }
}

TEST_P(DialogContract, TheYesNoFieldTakesOnlyYAndN) {
  struct Case {
    const char* typed;
    bool before, after;
  };
  for (const Case& c : {Case{"n", true, false}, Case{"y", false, true}, Case{"N", true, false},
                        Case{"t", false, false}, Case{"t", true, true}, Case{"f", true, true},
                        Case{"f", false, false}, Case{"x", true, true}}) {
    lYes = rt::Value(c.before);
    auto p = person();
    p->answer(kName, "");
    p->answer(kYes, c.typed);
    p->read(elements);
    EXPECT_EQ(lYes.logical(), c.after) << c.typed;
  }
}

TEST_P(DialogContract, ARefusedValueIsToldAndTheFieldEnteredAgain) {
  auto p = person();
  p->answer(kName, "bad");
  p->answerAlert();
  p->answer(kName, "good");  // replaces the refused value
  p->answer(kYes, "");
  EXPECT_TRUE(p->read(elements));
  EXPECT_EQ(cName.text(), "GOOD      ");
  EXPECT_EQ(validations, 3);
}

TEST_P(DialogContract, CancelClosesWithoutValidating) {
  auto p = person();
  p->answer(kName, "bad");
  p->answerAlert();
  p->cancel();
  EXPECT_FALSE(p->read(elements));
  EXPECT_EQ(validations, 1);
  EXPECT_FALSE(p->windowLeftOpen());
}

TEST_P(DialogContract, APickIsShownAsTheSystemShowsNamesAndTheFieldKept) {
  std::string handed;
  elements[1].popup = [&handed](const rt::Value& content) {
    handed = content.text();
    return rt::Value(kPicked);
  };
  auto p = person();
  p->pick(kName);
  p->answer(kName, "");  // the pick is taken as it is
  p->answer(kYes, "");
  EXPECT_TRUE(p->read(elements));
  EXPECT_EQ(handed, "OLD");
  EXPECT_EQ(cName.text(), kPickShown);
}

// A break, quit or exception thrown by a validation or a pop-up closes the
// dialog and comes out of readModal.
TEST_P(DialogContract, SignalsFromCallbacksCloseTheDialogAndComeOut) {
  const std::pair<std::string, std::function<void()>> throwers[] = {
      {"break stop", [] { rt::breakWith(rt::Value("stop")); }},
      {"quit", [] { throw rt::QuitSignal{}; }},
      {"exception failed", [] { throw std::runtime_error("failed"); }},
  };
  for (const auto& [what, thrower] : throwers) {
    for (const bool fromPopup : {false, true}) {
      SCOPED_TRACE(what + (fromPopup ? " from the pop-up" : " from the validation"));
      elements[1].validation = [&thrower = thrower] { thrower(); return true; };
      elements[1].popup = [&thrower = thrower](const rt::Value& v) { thrower(); return v; };
      auto p = person();
      if (fromPopup) p->pick(kName);
      else p->answer(kName, "x");
      std::string caught;
      try {
        p->read(elements);
      } catch (const rt::BreakSignal& b) {
        caught = "break " + b.value.text();
      } catch (const rt::QuitSignal&) {
        caught = "quit";
      } catch (const std::runtime_error& e) {
        caught = std::string("exception ") + e.what();
      }
      EXPECT_EQ(caught, what);
      EXPECT_FALSE(p->windowLeftOpen());
    }
  }
}

// Editing in place, which only a window allows.

TEST_P(WindowedContract, AfterAPickTheNextKeyEditsIt) {
  elements[1].popup = [](const rt::Value&) { return rt::Value(kPicked); };
  auto p = person();
  p->pick(kName);
  p->type(kName, "x");
  p->press("OK");
  EXPECT_TRUE(p->read(elements));
  EXPECT_EQ(cName.text(), kPickShown + "X");
}

TEST_P(WindowedContract, ACursorMovementFirstKeepsTheContentForEditing) {
  auto p = person();
  p->key(kName, WindowedPerson::Key::End);
  p->type(kName, "x");
  p->press("OK");
  EXPECT_TRUE(p->read(elements));
  EXPECT_EQ(cName.text(), "OLDX      ");
}

TEST_P(WindowedContract, TabShiftTabAndTheArrowsGoRoundTheFieldsEachShowingItsHelp) {
  rt::Value cThird(std::string("x"));
  addLabel(6, "Third");
  addEntry(cThird, "cThird", "", "The third.");
  using Key = WindowedPerson::Key;
  std::vector<int> focus;
  std::vector<std::string> helps;
  auto p = person();
  const auto note = [&] {
    p->look([&, q = p.get()] {
      focus.push_back(q->focused());
      helps.push_back(q->help());
    });
  };
  note();
  // Each key pressed in the field it should have reached.
  const std::pair<std::size_t, Key> keys[] = {{0, Key::Tab},      {1, Key::Tab}, {2, Key::Tab},
                                              {0, Key::ShiftTab}, {2, Key::Up},  {1, Key::Down}};
  for (const auto& [field, k] : keys) {
    p->key(field, k);
    note();
  }
  p->press("Cancel");
  EXPECT_FALSE(p->read(elements));
  EXPECT_EQ(focus, (std::vector<int>{0, 1, 2, 0, 2, 1, 2}));
  EXPECT_EQ(helps[0], "Type a name.\n\nNot BAD.");
  EXPECT_EQ(helps[1], "Yes or no.");
  EXPECT_EQ(helps[2], "The third.");
  // The name field, the only one with a validation, was left by Tab and by
  // Shift+Tab.
  EXPECT_EQ(validations, 2);
}

TEST_P(WindowedContract, AClickIntoAnotherFieldChecksTheFieldLeft) {
  int focusAfterAlert = -1;
  auto p = person();
  p->type(kName, "bad");
  p->click(kYes);
  p->answerAlert();
  p->look([&, q = p.get()] { focusAfterAlert = q->focused(); });
  p->press("Cancel");
  EXPECT_FALSE(p->read(elements));
  EXPECT_EQ(validations, 1);
  EXPECT_EQ(focusAfterAlert, static_cast<int>(kName));
}

TEST_P(WindowedContract, EscAndTheTitleBarCloseWithoutValidating) {
  for (const bool escape : {true, false}) {
    auto p = person();
    p->type(kName, "bad");
    if (escape) p->key(kName, WindowedPerson::Key::Escape);
    else p->closeWindow();
    EXPECT_FALSE(p->read(elements));
    EXPECT_EQ(cName.text(), "BAD       ");  // every edit is written back at once
  }
  EXPECT_EQ(validations, 0);
}

}  // namespace

// The terminal's program has no windowed backend.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(WindowedContract);

}  // namespace dialog_contract
