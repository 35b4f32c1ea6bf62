// The real setup dialog on a display: its content, Enter, the buttons, what a
// choice does, and when the program shows it.
#include "app/setup_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>

#include "app/command_line.h"
#include "app/main_loop.h"
#include "platform/dialog.h"
#include "runtime/demo_state.h"

namespace {

// The show's state these tests own, as the program's entry owns it.
DemoState demo;

const std::vector<std::string> kLabels = {" 800 x 600       ", " 1280 x 720  (16:9)",
                                          " 1920 x 1200  (16:10)"};

platform::SetupDialogResult answer(platform::SetupDialogScript script) {
  platform::scriptNextSetupDialog(script);
  return platform::runSetupDialog(kLabels, 1);
}

TEST(SetupDialogWindow, ShowsItsContentAndEnterRunsTheChoice) {
  platform::SetupDialogSnapshot seen;
  platform::SetupDialogScript script;
  script.seen = &seen;
  script.selectIndex = 2;
  script.toggleWindowed = true;
  script.toggleAntialiased = true;
  script.focusList = true;  // Enter on the drop-down must still run, not open the list
  script.answer = platform::SetupDialogAnswer::PressEnter;
  const platform::SetupDialogResult result = answer(script);

  EXPECT_EQ(seen.labels, kLabels);
  EXPECT_EQ(seen.activeIndex, 1);
  EXPECT_TRUE(seen.antialiased);
  EXPECT_FALSE(seen.windowed);
  EXPECT_EQ(seen.groupTitle, "Resolution");
  EXPECT_EQ(seen.runText, "Run ... ");
  EXPECT_EQ(seen.quitText, "Quit");
  EXPECT_TRUE(seen.runIsDefault);
  EXPECT_TRUE(seen.modal);

  ASSERT_EQ(result.outcome, platform::SetupOutcome::Run);
  EXPECT_EQ(result.selectedIndex, 2);
  EXPECT_TRUE(result.windowed);
  EXPECT_FALSE(result.antialiased);
}

TEST(SetupDialogWindow, QuitAndClosingBothQuit) {
  platform::SetupDialogScript script;
  script.answer = platform::SetupDialogAnswer::ClickQuit;
  EXPECT_EQ(answer(script).outcome, platform::SetupOutcome::Quit);
  script.answer = platform::SetupDialogAnswer::CloseWindow;
  EXPECT_EQ(answer(script).outcome, platform::SetupOutcome::Quit);
}

TEST(SetupDialog, RunWritesTheDerivedScreenIntoTheDemoState) {
  demo.options.displayModes = {{800, 600}, {1280, 720}, {1920, 1200}};
  platform::SetupDialogScript script;
  script.selectIndex = 2;
  script.answer = platform::SetupDialogAnswer::ClickRun;
  platform::scriptNextSetupDialog(script);
  ASSERT_EQ(runSetupDialog(demo.options), platform::SetupOutcome::Run);
  EXPECT_EQ(demo.options.renderWidth, 1920);
  EXPECT_EQ(demo.options.renderHeight, 1080);
  EXPECT_EQ(demo.options.viewportWidth, 1920);
  EXPECT_EQ(demo.options.viewportHeight, 1080);
  EXPECT_TRUE(demo.options.fullscreen);
  EXPECT_TRUE(demo.options.antialiased);
}

TEST(SetupDialog, EmptyModeListOffers1280x720) {
  demo.options.displayModes.clear();
  platform::SetupDialogSnapshot seen;
  platform::SetupDialogScript script;
  script.seen = &seen;
  script.toggleWindowed = true;
  script.answer = platform::SetupDialogAnswer::PressEnter;
  platform::scriptNextSetupDialog(script);
  ASSERT_EQ(runSetupDialog(demo.options), platform::SetupOutcome::Run);
  EXPECT_EQ(seen.labels, std::vector<std::string>{" 1280 x 720  (16:9)"});
  EXPECT_EQ(seen.activeIndex, 0);
  EXPECT_EQ(demo.options.renderWidth, 1280);
  EXPECT_EQ(demo.options.renderHeight, 720);
  EXPECT_FALSE(demo.options.fullscreen);
}

// The process-ending paths run in a fresh copy of the test program.
class SetupDialogExit : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// Runs the dialog with no display; exits 3 when it reported that and kept 1280 x 720 windowed.
void runWithoutDisplay() {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  demo.options.renderWidth = demo.options.viewportWidth = 800;
  demo.options.fullscreen = true;
  const bool shown = runSetupDialog(demo.options) != platform::SetupOutcome::NoDisplay;
  const bool defaults = demo.options.renderWidth == 1280 && demo.options.renderHeight == 720 &&
                        demo.options.viewportWidth == 1280 && !demo.options.fullscreen;
  std::exit(!shown && defaults ? 3 : 4);
}

// Runs the dialog with a user locale in the environment; exits 3 when the
// process still reads and prints numbers in the C locale afterwards.
void runWithUserLocale() {
  setenv("LC_ALL", "C.UTF-8", 1);
  platform::SetupDialogScript script;
  script.answer = platform::SetupDialogAnswer::ClickRun;
  platform::scriptNextSetupDialog(script);
  platform::runSetupDialog(kLabels, 0);
  std::exit(std::string(setlocale(LC_ALL, nullptr)) == "C" ? 3 : 4);
}

TEST_F(SetupDialogExit, KeepsTheCLocale) {
  EXPECT_EXIT(runWithUserLocale(), ::testing::ExitedWithCode(3), "");
}

TEST(SetupDialog, QuitIsReportedAndChangesNothing) {
  demo.options.displayModes = {{1024, 768}};
  demo.options.renderWidth = 640;
  platform::SetupDialogScript script;
  script.answer = platform::SetupDialogAnswer::ClickQuit;
  platform::scriptNextSetupDialog(script);
  EXPECT_EQ(runSetupDialog(demo.options), platform::SetupOutcome::Quit);
  EXPECT_EQ(demo.options.renderWidth, 640);
}

TEST_F(SetupDialogExit, WithoutADisplayKeepsTheDefaultsAndSaysSo) {
  EXPECT_EXIT(runWithoutDisplay(), ::testing::ExitedWithCode(3), "no display");
}

// The program from its command line, where a user can answer the dialog: a
// size on the command line replaces the dialog (the show then plays its last
// moments and ends), an option that chooses no screen leaves it (answered
// with Quit, the program ends without a window).
TEST(SetupDialogChoice, ASizeOnTheCommandLineReplacesTheDialog) {
  unsetenv("TESSALY_BATCH");
  ASSERT_EQ(chdir(TESSALY_BINARY_DIR "/data"), 0);
  const struct {
    std::vector<std::string> arguments;
    bool dialog;
  } cases[] = {
      {{"--start", "204.8"}, true},
      {{"--width", "320", "--start", "204.8"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const CommandLine line = parseCommandLine(c.arguments);
    ASSERT_EQ(line.error, "");
    platform::SetupDialogSnapshot seen;
    platform::SetupDialogScript script;
    script.seen = &seen;
    script.answer = platform::SetupDialogAnswer::ClickQuit;
    platform::scriptNextSetupDialog(script);
    EXPECT_EQ(runProgram(line), 0);
    EXPECT_EQ(!seen.labels.empty(), c.dialog) << "the dialog was shown, or not, against the rule";
  }
}

}  // namespace
