// The window's run phase: every event in every phase, against the table the window keeps.
#include "engine/run/run_phase.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pixmora {
namespace {

// Brings a fresh phase to `phase` through the events a user makes.
WindowRunPhase In(RunPhase phase) {
    WindowRunPhase run;
    switch (phase) {
        case RunPhase::Idle:
            break;
        case RunPhase::Running:
            run.StartClicked();
            break;
        case RunPhase::Stopping:
            run.StartClicked();
            run.StopClicked();
            break;
        case RunPhase::StartQueued:
            run.StartClicked();
            run.StopClicked();
            run.StartClicked();
            break;
        case RunPhase::Closing:
            run.StartClicked();
            run.CloseAsked();
            break;
        case RunPhase::Ending:
            run.StartClicked();
            run.DownloadAccepted();
            break;
        case RunPhase::Closed:
            run.CloseAsked();
            break;
    }
    EXPECT_EQ(run.Phase(), phase);
    return run;
}

struct Transition {
    RunPhase from;
    bool start, stop, close, download;  // what each event answers
    RunPhase after_start, after_stop, after_close, after_download;
};

constexpr RunPhase I = RunPhase::Idle, R = RunPhase::Running, S = RunPhase::Stopping,
                   Q = RunPhase::StartQueued, C = RunPhase::Closing, E = RunPhase::Ending,
                   X = RunPhase::Closed;

TEST(WindowRunPhase, EveryEventInEveryPhase) {
    const Transition table[] = {
        {I, true, false, true, true, R, I, X, X},    {R, false, true, false, false, R, S, C, E},
        {S, false, false, false, false, Q, S, C, E}, {Q, false, false, false, false, Q, Q, C, E},
        {C, false, false, false, false, C, C, C, E}, {E, false, false, false, false, E, E, E, E},
        {X, false, false, true, false, X, X, X, X},
    };
    for (const Transition& row : table) {
        SCOPED_TRACE(static_cast<int>(row.from));
        WindowRunPhase run = In(row.from);
        EXPECT_EQ(run.StartClicked(), row.start);
        EXPECT_EQ(run.Phase(), row.after_start);
        run = In(row.from);
        EXPECT_EQ(run.StopClicked(), row.stop);
        EXPECT_EQ(run.Phase(), row.after_stop);
        run = In(row.from);
        EXPECT_EQ(run.CloseAsked(), row.close);
        EXPECT_EQ(run.Phase(), row.after_close);
        run = In(row.from);
        EXPECT_EQ(run.DownloadAccepted(), row.download);
        EXPECT_EQ(run.Phase(), row.after_download);
    }
}

TEST(WindowRunPhase, WhatHappensWhenTheRunReturns) {
    const struct {
        RunPhase from;
        AfterRun after;
        RunPhase phase;
    } table[] = {
        {R, AfterRun::Nothing, I}, {S, AfterRun::Nothing, I},    {Q, AfterRun::StartAgain, I},
        {C, AfterRun::Close, X},   {E, AfterRun::EndProgram, X},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(static_cast<int>(row.from));
        WindowRunPhase run = In(row.from);
        EXPECT_TRUE(run.Running());
        EXPECT_EQ(run.RunReturned(), row.after);
        EXPECT_EQ(run.Phase(), row.phase);
        EXPECT_FALSE(run.Running());
    }
}

TEST(WindowRunPhase, AClosingAskedDuringARunIsKeptWhateverComesBeforeTheRunReturns) {
    WindowRunPhase run = In(RunPhase::Running);
    EXPECT_FALSE(run.CloseAsked());
    // A Start or a second close meanwhile (the window behind a failure box) changes nothing.
    EXPECT_FALSE(run.StartClicked());
    EXPECT_FALSE(run.CloseAsked());
    EXPECT_TRUE(run.Leaving());
    EXPECT_EQ(run.RunReturned(), AfterRun::Close);
}

}  // namespace
}  // namespace pixmora
