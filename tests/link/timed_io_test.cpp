#include "link/transfer/timed_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_port.h"

namespace pelikon {
namespace {

using testing::MemorySerialPort;

class TimedWrite : public ::testing::Test {
 protected:
  TimedWrite() {
    transfer_.port = &port_;
    transfer_.message_hook = [this](const std::string& text) { log_.push_back(text); };
  }
  FakeClock clock_;
  MemorySerialPort port_{clock_};
  TransferState transfer_;
  std::vector<std::string> log_;
};

TEST_F(TimedWrite, ACharThatNeverGetsOutTimesOutAfter30SecondsCountingDown) {
  port_.SetTxRoom(0);
  const uint64_t start = clock_.NowMs();
  EXPECT_EQ(WriteCharTimed(transfer_, 'x'), kXferCharWrite);
  EXPECT_EQ(transfer_.error, kXferCharWrite);
  EXPECT_GE(clock_.NowMs() - start, 30000u);
  EXPECT_LT(clock_.NowMs() - start, 30100u);
  const std::vector<std::string> expected = {"25 sec left to WriteChar", "20 sec left to WriteChar",
                                             "15 sec left to WriteChar", "10 sec left to WriteChar",
                                             "5 sec left to WriteChar",  "Timeout error sending buffer"};
  EXPECT_EQ(log_, expected);
}

TEST_F(TimedWrite, ABufferGetsSixtySecondsAndItsOwnCode) {
  port_.SetTxRoom(0);
  const std::string data(10, 'd');
  EXPECT_EQ(WriteBufferTimed(transfer_, reinterpret_cast<const uint8_t*>(data.data()), 10), kXferBufferFull);
  ASSERT_EQ(log_.size(), 12u);
  EXPECT_EQ(log_.front(), "55 sec to complete WriteBuffer");
  EXPECT_EQ(log_[10], "5 sec to complete WriteBuffer");
  EXPECT_EQ(log_.back(), "Timeout error sending buffer");
}

TEST_F(TimedWrite, PartialWritesContinueWithTheRest) {
  port_.SetTxRoom(3);
  const std::string data = "0123456789abcdef";
  EXPECT_EQ(WriteBufferTimed(transfer_, reinterpret_cast<const uint8_t*>(data.data()), 16), 0);
  EXPECT_EQ(port_.Output(), data);
  EXPECT_EQ(transfer_.error, 0);
  EXPECT_TRUE(log_.empty());
}

TEST_F(TimedWrite, WriteErrorsAndAbortsEndTheWrite) {
  port_.FailWritesWith(kSerialSystemError);
  EXPECT_EQ(WriteCharTimed(transfer_, 'x'), kXferCharWrite);
  EXPECT_EQ(log_, std::vector<std::string>{"Error -1 sending buffer"});

  log_.clear();
  transfer_.error = 0;
  const uint8_t byte = 'y';
  EXPECT_EQ(WriteBufferTimed(transfer_, &byte, 1), kXferBufferFull);

  port_.FailWritesWith(0);
  port_.SetTxRoom(0);
  transfer_.error = 0;
  int checks = 0;
  transfer_.status_callback = [&](TransferState& t) {
    if (++checks == 3) t.error = kXferUserAbort;
    return 0;
  };
  EXPECT_EQ(WriteCharTimed(transfer_, 'x'), kXferUserAbort);
  EXPECT_EQ(checks, 3);
}

TEST_F(TimedWrite, CarrierCheckingEndsTheRunWhenTheCarrierDrops) {
  port_.SetTxRoom(0);
  transfer_.carrier_check = true;
  port_.SetModemStatus(kModemCts | kModemDsr);
  EXPECT_EQ(WriteCharTimed(transfer_, 'x'), kXferCarrierLost);
  EXPECT_EQ(transfer_.error, kXferCarrierLost);
  EXPECT_EQ(log_.back(), "Transfer aborted...");

  transfer_.error = 0;
  port_.SetModemStatus(kSerialNotSupported);
  EXPECT_EQ(CarrierLost(transfer_), 0) << "a line without modem signals has no carrier to lose";
  port_.SetModemStatus(kModemCarrier);
  EXPECT_EQ(CarrierLost(transfer_), 0);
  transfer_.carrier_check = false;
  port_.SetModemStatus(0);
  EXPECT_EQ(CarrierLost(transfer_), 0);
}

}  // namespace
}  // namespace pelikon
