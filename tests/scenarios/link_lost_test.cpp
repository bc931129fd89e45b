#include "scenarios/log_file_check.h"
#include "scenarios/scenario.h"

#include <gtest/gtest.h>

namespace qmt::scenario {

namespace {

const std::string CommunicationsMessage = "Communications Interrupted - Check USB connections";
constexpr int LinkFailureStatus = 3;
const QStringList UnpluggedBoard{"--board", BoardFile("unplugged_while_monitoring.board")};

// The indices of the trace lines whose request failed.
std::vector<std::size_t> FailedRequests(const std::vector<std::string>& trace) {
    std::vector<std::size_t> failed;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const auto fields = TraceFields(trace[i]);
        if (fields.size() >= 6 && fields[5] != 0) {
            failed.push_back(i);
        }
    }
    return failed;
}

// The program asked nothing of the lost link after the request whose failure
// ended it. A status poll that fails is no link failure (its lamps show
// unknown), so when the board is unplugged right before one, the poll's two
// requests fail first; whether it is is a matter of timing.
void ExpectTheLastRequestEndedIt(const std::vector<std::string>& trace) {
    constexpr int StatusPollRequest = 220;
    const auto failed = FailedRequests(trace);
    ASSERT_FALSE(failed.empty());
    EXPECT_EQ(failed.back(), trace.size() - 1);
    EXPECT_LE(failed.size(), 3U); // the poll's two registers, then the report
    for (std::size_t i = 0; i + 1 < failed.size(); ++i) {
        EXPECT_EQ(failed[i], trace.size() - failed.size() + i) << trace[failed[i]];
        EXPECT_EQ(TraceFields(trace[failed[i]]).front(), StatusPollRequest) << trace[failed[i]];
    }
}

// Unplugged while the monitoring cycle runs with the windows open: one
// message, the windows closed in order (the placement stored), status 3.
TEST(LinkLost, QmtevalTellsOnceAndClosesInOrder) {
    Scenario scenario;
    scenario.SetUserActions({"mnuSoftware", "mnuAbout"});
    const Outcome outcome = scenario.Run(Program::Qmteval, UnpluggedBoard);
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.normalExit) << outcome.err;
    EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
    EXPECT_EQ(outcome.messages, (std::vector<Message>{{ProgramTitle(), CommunicationsMessage}}));
    EXPECT_EQ(outcome.err.find("QMT_TEST_ACTIONS"), std::string::npos) << outcome.err;
    EXPECT_EQ(scenario.StoredPlacement(), (QStringList{"1005", "1005", "6495", "6495"}));
    // The failed request was the last: no tick ran while the message was
    // up, and closing the windows asked nothing more of the lost link.
    ExpectTheLastRequestEndedIt(scenario.Trace());
}

// Unplugged while the graph, the limits, the register map reading
// continuously and a log at 10 ms all run: still one message and status 3;
// the log holds whole lines only, each one with the board's readings, none
// missing between its first and its last.
TEST(LinkLost, EveryWindowAndTheLogEndCleanly) {
    Scenario scenario;
    const QString log = scenario.Path("run.csv");
    scenario.SetUserActions({"mnuLimits", "mnuRegMap", "chkContRead", "mnuLog", "txtLogInt=10",
                             "cmdLogData", "fileNameEdit=" + log});
    const Outcome outcome =
        scenario.Run(Program::Qmteval, {"--board", BoardFile("unplugged_while_logging.board")});
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
    EXPECT_EQ(outcome.messages, (std::vector<Message>{{ProgramTitle(), CommunicationsMessage}}));
    EXPECT_EQ(scenario.StoredPlacement(), (QStringList{"1005", "1005", "6495", "6495"}));
    ExpectTheLastRequestEndedIt(scenario.Trace());

    const LogContents contents = ReadLogFile(log, " 25, 30.25,-10.5,");
    EXPECT_TRUE(contents.endsWhole);
    EXPECT_EQ(contents.runs, 1);
    EXPECT_EQ(contents.strayLines, std::vector<std::string>{});
    EXPECT_GE(contents.times.size(), 2u) << "the log never got going";
    EXPECT_EQ(MissingSteps(contents.times, 0.01), 0);
}

// qmtctl ends at the failing request with the message and prints no part of a result.
TEST(LinkLost, QmtctlPrintsNoPartOfTheResult) {
    for (const char* command : {"dump", "temps"}) {
        const Outcome outcome = Scenario().Run(
            Program::Qmtctl, {"--board", BoardFile("unplugged_after_search.board"), command});
        ASSERT_TRUE(outcome.finished) << command;
        EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << command << outcome.err;
        EXPECT_EQ(outcome.out, "") << command;
        EXPECT_EQ(outcome.err, CommunicationsMessage + "\n") << command;
    }
}

} // namespace

} // namespace qmt::scenario
