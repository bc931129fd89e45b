#include "scenarios/scenario.h"

#include <gtest/gtest.h>

namespace qmt::scenario {

namespace {

const std::string CommunicationsMessage = "Communications Interrupted - Check USB connections";
constexpr int LinkFailureStatus = 3;
const QStringList UnpluggedBoard{"--board", BoardFile("unplugged_while_monitoring.board")};

// The first request that failed, and whether any request after it succeeded.
struct Failure {
    std::size_t failedAt = 0;
    bool answeredAfter = false;
};

Failure FirstFailure(const std::vector<std::string>& trace) {
    Failure failure{trace.size(), false};
    for (std::size_t i = 0; i < trace.size(); ++i) {
        const auto fields = TraceFields(trace[i]);
        if (fields.size() < 6) {
            continue;
        }
        if (fields[5] != 0 && failure.failedAt == trace.size()) {
            failure.failedAt = i;
        } else if (fields[5] == 0 && failure.failedAt < i) {
            failure.answeredAfter = true;
        }
    }
    return failure;
}

// Unplugged while the monitoring cycle runs: one message, the windows closed
// in order (the placement stored), status 3.
TEST(LinkLost, QmtevalTellsOnceAndClosesInOrder) {
    Scenario scenario;
    const Outcome outcome = scenario.Run(Program::Qmteval, UnpluggedBoard);
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.normalExit) << outcome.err;
    EXPECT_EQ(outcome.exitCode, LinkFailureStatus) << outcome.err;
    EXPECT_EQ(outcome.messages, (std::vector<Message>{{ProgramTitle(), CommunicationsMessage}}));
    EXPECT_EQ(scenario.StoredPlacement(), (QStringList{"1005", "1005", "6495", "6495"}));
    const auto trace = scenario.Trace();
    const Failure failure = FirstFailure(trace);
    ASSERT_LT(failure.failedAt, trace.size());
    EXPECT_FALSE(failure.answeredAfter);
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
