// The robot against a program whose boxes are known: answers, records, ends what hangs.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/wine/support/box_robot.h"

namespace {

std::string DemoPath() {
    std::string path = "Z:" + std::string(BOX_DEMO_UNIX_PATH);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

RobotRun Demo(const char* act, std::vector<BoxAnswer> script) {
    RobotRun run;
    run.program = DemoPath();
    run.arguments = act;
    run.script = std::move(script);
    run.deadlineMs = 15000;
    return run;
}

TEST(Robot, AnswersTheScriptInOrderAndRecordsEachBox) {
    const RobotResult result = RunWithRobot(Demo("sequence", {{"First", IDCANCEL}, {"Second", IDOK}}));

    ASSERT_TRUE(result.started) << "error " << result.startError;
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(DWORD(IDCANCEL * 10 + IDOK), result.exitCode) << "the program saw the buttons the script pressed";
    EXPECT_EQ((std::vector<std::string>{"First: One", "Second: Two\nlines"}), result.Lines());
    ASSERT_EQ(2u, result.boxes.size());
    EXPECT_TRUE(ShowsIcon(result.boxes[0].icon, BoxIcon::Exclamation)) << result.boxes[0];
    EXPECT_TRUE(ShowsIcon(result.boxes[1].icon, BoxIcon::Hand)) << result.boxes[1];
    EXPECT_TRUE(result.Unexpected().empty());
}

TEST(Robot, TellsABoxWithoutIcon) {
    const RobotResult result = RunWithRobot(Demo("plain", {{"Plain", IDOK}}));

    ASSERT_EQ(1u, result.boxes.size());
    EXPECT_EQ(BoxIcon::None, result.boxes[0].icon) << result.boxes[0];
    EXPECT_EQ(DWORD(IDOK), result.exitCode);
}

TEST(Robot, AnUnexpectedBoxIsClosedAndReported) {
    const RobotResult result = RunWithRobot(Demo("yesno", {}));

    EXPECT_FALSE(result.timedOut) << "a Yes/No box has no OK, yet it must not hold the run";
    ASSERT_EQ(1u, result.Unexpected().size());
    EXPECT_EQ("Go on?", result.Unexpected()[0].text);
    EXPECT_TRUE(ShowsIcon(result.Unexpected()[0].icon, BoxIcon::Question)) << result.Unexpected()[0];
}

TEST(Robot, AProgramThatNeverEndsIsTerminatedAtTheDeadline) {
    RobotRun run = Demo("hang", {});
    run.deadlineMs = 1000;
    const DWORD start = GetTickCount();

    const RobotResult result = RunWithRobot(run);

    EXPECT_TRUE(result.timedOut);
    EXPECT_NE(DWORD(STILL_ACTIVE), result.exitCode) << "the program is gone";
    EXPECT_LT(GetTickCount() - start, 10000u) << "the deadline bounds the run";
}

TEST(Robot, AMissingProgramIsReportedNotWaitedFor) {
    RobotRun run = Demo("", {});
    run.program = "Z:\\nowhere\\missing.exe";

    const RobotResult result = RunWithRobot(run);

    EXPECT_FALSE(result.started);
    EXPECT_NE(0u, result.startError);
    EXPECT_TRUE(result.boxes.empty());
}

} // namespace
