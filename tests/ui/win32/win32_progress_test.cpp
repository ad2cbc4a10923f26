// The non-waiting window of the Win32 toolkit: its label and PROGRESS_CLASS
// bar, kept up to date while the program works.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/ui/toolkit.hpp"
#include "platform/ui/win32/win32_toolkit.hpp"
#include "tests/ui/win32/modal_script.hpp"

namespace win32_testing {
namespace {

HWND findWindow(const std::wstring& title) { return ::FindWindowW(nullptr, title.c_str()); }

HWND progressBar(HWND window) {
  return ::FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr);
}

TEST(Win32Progress, ShowsItsLabelAndMovesItsBarUntilDestroyed) {
  for (const std::string keptWord : {"", "written"}) {
    SCOPED_TRACE(keptWord);
    auto previous = ui::setToolkit(ui::makeWin32Toolkit());
    const std::wstring title = L"Create a Text Delimited File - Version 08.27.2011";
    ui::ElementList elements(2);
    elements[0].caption = "Creating Delimited File ORDERS.CSV";
    elements[0].row = 2;
    elements[0].column = 5;
    elements[0].font = "10.Courier New Bold";
    ui::ProgressBar* bar = nullptr;
    elements[1].kind = ui::Element::Kind::ProgressBar;
    elements[1].row = 4;
    elements[1].column = 5;
    elements[1].width = 60;
    elements[1].height = 1;
    elements[1].maximum = 5000000000ull;  // more than an int counts: scaled down
    elements[1].step = 1;
    elements[1].keptWord = keptWord;
    elements[1].barOut = &bar;
    std::unique_ptr<ui::Window> window = ui::toolkit().readNonModal(elements, "Create a Text Delimited File - Version 08.27.2011");
    ASSERT_NE(bar, nullptr);
    window->show();
    HWND shown = findWindow(title);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(::IsWindowVisible(shown));
    std::vector<std::wstring> texts = {L"Creating Delimited File ORDERS.CSV"};
    if (!keptWord.empty()) texts.emplace_back(L"0 written");
    EXPECT_EQ(staticTexts(shown), texts);
    HWND control = progressBar(shown);
    ASSERT_NE(control, nullptr);
    const auto high = ::SendMessageW(control, PBM_GETRANGE, FALSE, 0);
    bar->update(2500000000ull);
    const auto half = ::SendMessageW(control, PBM_GETPOS, 0, 0);
    EXPECT_NEAR(static_cast<double>(half) / static_cast<double>(high), 0.5, 0.01);
    bar->update(5000000000ull, 12);
    EXPECT_EQ(::SendMessageW(control, PBM_GETPOS, 0, 0), high);
    // The kept count under the bar, drawn with the last position.
    if (!keptWord.empty()) texts.back() = L"12 written";
    EXPECT_EQ(staticTexts(shown), texts);
    // The title bar does not close it: the program does, when the run ends.
    ::SendMessageW(shown, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(shown));
    window->destroy();
    EXPECT_FALSE(::IsWindow(shown));
    ui::setToolkit(std::move(previous));
  }
}

}  // namespace
}  // namespace win32_testing
