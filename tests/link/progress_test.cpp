// Progress, cancel and sound cues around a transfer.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "link/progress/progress_scope.h"
#include "link/progress/transfer_progress.h"
#include "support/scripted_ui.h"

namespace pelikon {
namespace {

using testing::ScriptedUi;

// Remembers what would have been played.
class RecordingOutput final : public SoundOutput {
 public:
  bool Play(const std::vector<int16_t>& samples, int rate) override {
    played.push_back(samples.size() * 1000 / static_cast<size_t>(rate));
    return true;
  }
  std::vector<size_t> played;  // milliseconds each
};

class Progress : public ::testing::Test {
 protected:
  // Moves a transfer of `total` bytes on one byte at a time; returns the
  // positions at which the bar moved.
  std::vector<int64_t> Run(int64_t total, int64_t step = 1) {
    progress_.SetTotal(total);
    TransferState t;
    std::vector<int64_t> moves;
    size_t bars = 0;
    for (int64_t p = 0; p <= total; p += step) {
      t.position = p;
      progress_.TransferStatus(t);
      if (ui_.BarPositions().size() != bars) {
        bars = ui_.BarPositions().size();
        moves.push_back(p);
      }
    }
    return moves;
  }
  ScriptedUi ui_;
  RecordingOutput output_;
  SoundCues sound_{output_};
  TransferProgress progress_{ui_, sound_};
};

TEST_F(Progress, TheBarMovesPerTwoPercentAndFiftyBytes) {
  progress_.OpenProgress();
  const std::vector<int64_t> small = Run(1000);
  ASSERT_FALSE(small.empty());
  EXPECT_EQ(small[0], 51) << "more than 50 bytes, which is more than 5% here";
  for (size_t i = 1; i < small.size(); ++i) EXPECT_EQ(small[i] - small[i - 1], 51);

  const std::vector<int64_t> big = Run(10000000, 1000);
  ASSERT_GE(big.size(), 2u);
  for (size_t i = 1; i < big.size(); ++i) EXPECT_GE(big[i] - big[i - 1], 200001);
  EXPECT_TRUE(ui_.Saw("status: Status: File transfer 42% complete"));
  EXPECT_EQ(ui_.MainStatus().rfind("Status: File transfer ", 0), 0u) << "the main window shows it too";
}

TEST_F(Progress, UnknownSizeMovesNothingButCancelStillWorks) {
  progress_.OpenProgress();
  EXPECT_TRUE(Run(0).empty());
  progress_.SetTotal(0);
  ui_.CancelAtPump(1);
  ui_.Pump();  // the user presses Cancel
  EXPECT_TRUE(progress_.CancelRequested());
  EXPECT_EQ(ui_.MainStatus(), "Function cancelled at user request...Please wait...");
  TransferState t;
  progress_.TransferStatus(t);
  EXPECT_EQ(t.error, kXferUserAbort);
  EXPECT_FALSE(progress_.CancelRequested()) << "consumed by the abort check";
  EXPECT_EQ(ui_.MainStatus(), "Status: Function cancelled at user request...Please wait...");
  progress_.CloseProgress();
  EXPECT_EQ(ui_.MainStatus(), "Status: Function cancelled at user request...") << "the trailing words go at the end";
  EXPECT_FALSE(ui_.ProgressOpen());
}

TEST_F(Progress, ACancelledListingDropsTheConnection) {
  bool dropped = false;
  progress_.OnConnectionDropped([&] { dropped = true; });
  TransferState t;
  progress_.SetOperation(TransferOperation::kGet);
  progress_.RequestCancel();
  progress_.TransferStatus(t);
  EXPECT_FALSE(dropped);
  progress_.SetOperation(TransferOperation::kListing);
  progress_.RequestCancel();
  progress_.TransferStatus(t);
  EXPECT_TRUE(dropped);
  EXPECT_EQ(t.error, kXferUserAbort);
}

TEST_F(Progress, EngineMessagesAboutTimeOutsCancel) {
  const TransferMessageHook hook = progress_.MessageHook();
  hook("SendDataFrame: sending @1024");
  EXPECT_FALSE(progress_.CancelRequested());
  hook("Timeout waiting for Data packet");
  EXPECT_TRUE(progress_.CancelRequested());
  TransferState t;
  progress_.StatusCallback()(t);
  EXPECT_EQ(t.error, kXferUserAbort);
  hook("GetPad: timed out");
  EXPECT_TRUE(progress_.CancelRequested());
  EXPECT_TRUE(ui_.Shown().size() <= 2u) << "engine messages are not shown";
}

TEST_F(Progress, ConversionProgressOnlyWithTheWindowOpen) {
  progress_.ConversionProgress(30, 0);
  EXPECT_TRUE(ui_.BarPositions().empty());
  progress_.OpenProgress();
  progress_.ConversionProgress(30, 0);
  EXPECT_EQ(ui_.BarPositions(), std::vector<int>{30});
  EXPECT_TRUE(ui_.Saw("status: File conversion 30% complete"));
}

TEST_F(Progress, APercentageNeverPassesAHundredAndGoesWhenTheRunEnds) {
  ui_.SetMainStatus("Status: Connected to remote machine");
  progress_.OpenProgress();
  // A file that grew since it was listed: more bytes arrive than were listed.
  Run(1000, 290);
  TransferState t;
  t.position = 1160;
  progress_.TransferStatus(t);
  EXPECT_EQ(ui_.BarPositions().back(), 100);
  EXPECT_EQ(ui_.MainStatus(), "Status: File transfer 100% complete");
  EXPECT_FALSE(ui_.Saw("116%"));
  progress_.CloseProgress();
  EXPECT_EQ(ui_.MainStatus(), "Status: Connected to remote machine") << "no percentage under the finished run";

  // What the run itself said last stays: here the reason it stopped.
  progress_.OpenProgress();
  progress_.ConversionProgress(150, 0);
  EXPECT_EQ(ui_.MainStatus(), "File conversion 100% complete");
  progress_.SetStatus("Status: Link lost");
  progress_.CloseProgress();
  EXPECT_EQ(ui_.MainStatus(), "Status: Link lost");
}

TEST_F(Progress, OnlyTheCancelButtonCountsAsStoppedByTheUser) {
  TransferState t;
  progress_.SetTransferRunning(true);
  progress_.RequestCancel();
  progress_.TransferStatus(t);
  EXPECT_EQ(t.error, kXferUserAbort);
  EXPECT_TRUE(progress_.StoppedByUser());
  progress_.SetTransferRunning(false);
  EXPECT_TRUE(progress_.StoppedByUser()) << "still known when the failure is reported";

  progress_.SetTransferRunning(true);
  EXPECT_FALSE(progress_.StoppedByUser()) << "a new run starts afresh";
  progress_.MessageHook()("Timeout waiting for Data packet");
  TransferState timed_out;
  progress_.TransferStatus(timed_out);
  EXPECT_EQ(timed_out.error, kXferUserAbort);
  EXPECT_FALSE(progress_.StoppedByUser()) << "a time-out is a failure";
}

// Returns early from inside a scope, as an operation that fails does.
int LeaveEarly(TransferProgress& progress, ScriptedUi& ui, bool& open_inside) {
  const ProgressScope shown(progress, 4096);
  open_inside = ui.ProgressOpen();
  if (open_inside) return 0;
  return 1;
}

TEST_F(Progress, AScopeShowsTheWindowAndHidesItOnAnEarlyReturn) {
  bool open_inside = false;
  EXPECT_EQ(LeaveEarly(progress_, ui_, open_inside), 0);
  EXPECT_TRUE(open_inside);
  EXPECT_FALSE(ui_.ProgressOpen());
}

TEST_F(Progress, NestedScopesShareOneWindowUntilTheOutermostEnds) {
  {
    const ProgressScope outer(progress_, 1000);
    {
      const ProgressScope inner(progress_);
      EXPECT_TRUE(ui_.ProgressOpen());
    }
    EXPECT_TRUE(ui_.ProgressOpen()) << "the inner scope does not hide the outer one's window";
    // The inner scope kept the outer total: 500 of 1000 bytes is half.
    TransferState t;
    t.position = 500;
    progress_.TransferStatus(t);
    EXPECT_EQ(ui_.BarPositions(), std::vector<int>{50});
  }
  EXPECT_FALSE(ui_.ProgressOpen());
  // A close without an open leaves a later scope working.
  progress_.CloseProgress();
  {
    const ProgressScope again(progress_);
    EXPECT_TRUE(ui_.ProgressOpen());
  }
  EXPECT_FALSE(ui_.ProgressOpen());
}

TEST_F(Progress, AWindowClosedBehindTheScopeIsShownAgainByTheNextOne) {
  const ProgressScope outer(progress_);
  ui_.CloseProgress();  // the window went away under the outer scope
  {
    const ProgressScope inner(progress_);
    EXPECT_TRUE(ui_.ProgressOpen());
  }
  EXPECT_TRUE(ui_.ProgressOpen()) << "still the outer scope's";
}

TEST_F(Progress, SoundCuesAndTheirSwitch) {
  progress_.ShowCommError("Communications Failure");
  EXPECT_TRUE(ui_.Saw("error: Communications Failure"));
  ASSERT_EQ(output_.played.size(), 1u);
  EXPECT_NEAR(static_cast<double>(output_.played[0]), 480, 1) << "kind 0: three notes of 150 ms and two pauses";
  sound_.SetOn(false);
  sound_.PlaySound(1);
  sound_.PlaySound(7);
  EXPECT_EQ(output_.played.size(), 1u) << "\"sound\" = 0 silences every cue";
  sound_.SetOn(true);
  sound_.PlaySound(9);
  EXPECT_EQ(output_.played.size(), 1u) << "no such cue";
}

// Kind 1 rendered: its length, and the pitch of each note from its zero
// crossings.
TEST(SoundCueRendering, KindOneHasItsNotesAndLength) {
  const std::vector<Tone> notes = SoundCues::Notes(1);
  const std::vector<int16_t> samples = RenderTones(notes, kSoundSampleRate);
  size_t expected = 0;
  for (const int ms : {150, 15, 150, 15, 150}) expected += static_cast<size_t>(ms * kSoundSampleRate / 1000);
  EXPECT_EQ(samples.size(), expected);
  size_t start = 0;
  for (const Tone& tone : notes) {
    const size_t count = static_cast<size_t>(tone.ms * kSoundSampleRate / 1000);
    int crossings = 0;
    int16_t max = 0;
    for (size_t i = start + 1; i < start + count; ++i) {
      if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
      max = std::max<int16_t>(max, static_cast<int16_t>(std::abs(samples[i])));
    }
    if (tone.hz == 0) {
      EXPECT_EQ(max, 0);
    } else {
      const double measured = crossings / 2.0 / (tone.ms / 1000.0);
      EXPECT_NEAR(measured, tone.hz, tone.hz * 0.03) << "note of " << tone.hz << " Hz";
    }
    start += count;
  }
}

}  // namespace
}  // namespace pelikon
