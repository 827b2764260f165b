#include "link/serial/serial_port.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iterator>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/text.h"

#include "platform/settings_store.h"
#include "support/pty_pair.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::PtyPair;
using testing::ScriptedUi;

// A port on the slave side of a fresh pty pair, with a fake clock and a
// lock folder of its own.
class SerialPortOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = OpenSerialLink(0, 9600, pty_.SlavePath(), SerialHooks{&clock_, &ui_, locks_.Path()});
    ASSERT_EQ(port_->Status(), 0);
  }
  PtyPair pty_;
  FakeClock clock_;
  ScriptedUi ui_;
  testing::TempDir locks_;
  SerialPortHandle port_;
};

TEST_F(SerialPortOnPty, ParameterChecks) {
  EXPECT_EQ(port_->SetParameters(230400, 'N', 8, 1), kSerialBaudTooHigh);
  EXPECT_EQ(port_->Status(), kSerialBaudTooHigh);
  EXPECT_EQ(port_->SetParameters(9600, 'x', 8, 1), kSerialBadParity);
  EXPECT_EQ(port_->SetParameters(9600, 'N', 8, 3), kSerialBadStopBits);
  for (char parity : {'e', 'M', 'n', 'o', 'S'}) EXPECT_EQ(port_->SetParameters(115200, parity, 7, 2), 0) << parity;
  EXPECT_EQ(port_->SetParameters(4800, 'N', 8, 1), 0);
  EXPECT_EQ(port_->SetXonXoff(true), 0);
  EXPECT_EQ(port_->SetRtsCts(true), 0);
  EXPECT_EQ(port_->SetDtrDsr(true), 0);
  std::vector<std::string> lines;
  EXPECT_EQ(port_->Dump([&](const std::string& line) { lines.push_back(line); }), 0);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0].rfind("Port type:  POSIX termios  DCB BaudRate: 4800", 0), 0u) << lines[0];
  EXPECT_NE(lines[2].find("OutCtsFlow: 1  OutDsrFlow: 1"), std::string::npos) << lines[2];
  EXPECT_NE(lines[3].find("XonChar: 11  XoffChar: 13"), std::string::npos) << lines[3];
}

TEST(SerialPortOpen, MissingBusyAndWrongDevices) {
  FakeClock clock;
  testing::TempDir locks;
  const SerialHooks hooks{&clock, nullptr, locks.Path()};
  const int before = OpenPortCount();
  SerialPortHandle missing = OpenSerialLink(4, 9600, "/dev/pelikon-no-such-port", hooks);
  EXPECT_EQ(missing->Status(), kSerialNotFound);
  EXPECT_EQ(missing->PortIndex(), 4);

  PtyPair pty;
  SerialPortHandle first = OpenSerialLink(0, 9600, pty.SlavePath(), hooks);
  ASSERT_EQ(first->Status(), 0);
  SerialPortHandle second = OpenSerialLink(1, 9600, pty.SlavePath(), hooks);
  EXPECT_EQ(second->Status(), kSerialInUse) << "the port is not shared, even with the superuser";
  EXPECT_TRUE(std::filesystem::exists(locks / SerialLockFileName(pty.SlavePath())))
      << "the refused second port left the first one's lock alone";
  first.reset();
  SerialPortHandle again = OpenSerialLink(0, 9600, pty.SlavePath(), hooks);
  EXPECT_EQ(again->Status(), 0) << "closing released the port";

  testing::TempDir dir;
  SerialPortHandle file = OpenSerialLink(0, 9600, dir.Write("plain", "x").string(), hooks);
  EXPECT_EQ(file->Status(), kSerialInvalidPort);

  SerialPortHandle fast = OpenSerialLink(0, 230400, "/dev/null", hooks);
  EXPECT_NE(fast->Status(), 0);

  EXPECT_EQ(OpenPortCount(), before + 5) << "every port made is listed until closed";
  CloseAllPorts();
  EXPECT_EQ(OpenPortCount(), 0);
}

// Lock files of other programs: a live owner's makes the port in use, a
// gone owner's is replaced; the port holds its own while open.
TEST(SerialPortLocks, LockFilesOfOtherProgramsAreHonoured) {
  FakeClock clock;
  testing::TempDir locks;
  const SerialHooks hooks{&clock, nullptr, locks.Path()};
  PtyPair pty;
  const std::filesystem::path lock = locks / SerialLockFileName(pty.SlavePath());
  auto lock_text = [&] {
    std::string text;
    ReadWholeFile(lock, text);
    return text;
  };
  const std::string mine = StrPrintf("%10d\n", static_cast<int>(::getpid()));

  SerialPortHandle port = OpenSerialLink(0, 9600, pty.SlavePath(), hooks);
  ASSERT_EQ(port->Status(), 0);
  EXPECT_EQ(lock_text(), mine) << "the lock names this process, as the other programs write it";
  port.reset();
  EXPECT_FALSE(std::filesystem::exists(lock)) << "closing released the lock";

  // A live program holds the device: the parent of this test stands in.
  const std::string live = StrPrintf("%10d\n", static_cast<int>(::getppid()));
  testing::TempDir::WriteFile(lock, live);
  port = OpenSerialLink(0, 9600, pty.SlavePath(), hooks);
  EXPECT_EQ(port->Status(), kSerialInUse);
  EXPECT_EQ(lock_text(), live) << "another program's lock is left alone";
  port.reset();
  EXPECT_EQ(lock_text(), live);
  const int32_t binary = ::getppid();  // the older form: four bytes
  testing::TempDir::WriteFile(lock, std::string(reinterpret_cast<const char*>(&binary), sizeof binary));
  EXPECT_EQ(OpenSerialLink(0, 9600, pty.SlavePath(), hooks)->Status(), kSerialInUse);

  // Locks of programs that are gone, or that name no program, are stale.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  for (const std::string& stale : {StrPrintf("%10d\n", static_cast<int>(child)), std::string(), std::string("junk\n"),
                                   StrPrintf("%10d\n", static_cast<int>(::getpid()))}) {
    testing::TempDir::WriteFile(lock, stale);
    port = OpenSerialLink(0, 9600, pty.SlavePath(), hooks);
    EXPECT_EQ(port->Status(), 0) << "stale lock \"" << stale << "\"";
    EXPECT_EQ(lock_text(), mine);
    port.reset();
    EXPECT_FALSE(std::filesystem::exists(lock));
  }

  // Through a link to the device the lock is the device's own.
  std::filesystem::create_symlink(pty.SlavePath(), locks / "collector");
  port = OpenSerialLink(0, 9600, (locks / "collector").string(), hooks);
  ASSERT_EQ(port->Status(), 0);
  EXPECT_TRUE(std::filesystem::exists(lock));
  port.reset();

  // Where no lock can be written the port works without one.
  const SerialHooks unwritable{&clock, nullptr, locks / "collector"};  // not a folder
  port = OpenSerialLink(0, 9600, pty.SlavePath(), unwritable);
  EXPECT_EQ(port->Status(), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(locks.Path()), {}), 1) << "only the link";
}

TEST(SerialPortLocks, LockNamesAndErrorTexts) {
  EXPECT_EQ(SerialLockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
  EXPECT_EQ(SerialLockFileName("/dev/pts/7"), "LCK..pts_7");
  EXPECT_EQ(SerialLockFileName("/dev/./serial/../ttyS3"), "LCK..ttyS3");
  EXPECT_EQ(SerialLockFileName("/tmp/pelikon-no-such-line"), "LCK..pelikon-no-such-line");
  for (int code : {0, -1, -2, -3, -5, -7, -8, -9, -14, -24, -25, -26, -27, -28, -31, -36})
    EXPECT_NE(SerialErrorText(code), nullptr) << code;
  EXPECT_EQ(SerialErrorText(-4), nullptr);
  EXPECT_STREQ(SerialErrorText(kSerialInUse), "port in use or access denied");
}

TEST(SerialPortOpen, DeviceOfAComPort) {
  MemorySettingsStore settings;
  EXPECT_EQ(SerialDevicePath(settings, 1), "/dev/ttyS0");
  EXPECT_EQ(SerialDevicePath(settings, 12), "/dev/ttyS11");
  settings.SetValue("port3", "/dev/ttyUSB0");
  EXPECT_EQ(SerialDevicePath(settings, 3), "/dev/ttyUSB0");
}

TEST(SerialPortBase, OnlyCloseAndClearStatusAreSupported) {
  FakeClock clock;
  SerialPort bare(0, SerialHooks{&clock});
  EXPECT_EQ(bare.ReadChar(), kSerialNotSupported);
  EXPECT_EQ(bare.Status(), kSerialNotSupported);
  uint8_t byte = 0;
  EXPECT_EQ(bare.WriteBlock(&byte, 1), kSerialNotSupported);
  EXPECT_EQ(bare.SetParameters(9600, 'N', 8, 1), kSerialNotSupported);
  EXPECT_EQ(bare.RxEmpty(), kSerialNotSupported);
  std::string said;
  EXPECT_EQ(bare.Dump([&](const std::string& line) { said = line; }), kSerialNotSupported);
  EXPECT_EQ(said, "Port dump not supported for this driver");
  EXPECT_EQ(bare.ClearStatus(), 0);
  EXPECT_EQ(bare.Status(), 0);
  EXPECT_EQ(bare.Close(), 0);
}

TEST_F(SerialPortOnPty, ReadsFromItsOwnBufferAndCountsTruthfully) {
  const std::string block(700, 'z');
  pty_.Send(block + "tail");
  EXPECT_EQ(port_->RxEmpty(), 0);
  EXPECT_EQ(port_->RxCount(), 704);
  EXPECT_EQ(port_->RxFree(), kSerialBufferBytes - 704);
  EXPECT_EQ(port_->ReadChar(), 'z');
  EXPECT_EQ(port_->RxCount(), 703) << "bytes in the driver's buffer still count as waiting";
  uint8_t buffer[1024];
  int got = 1;
  while (got < 700) {
    const int n = port_->ReadBlock(buffer, static_cast<int>(std::min<size_t>(sizeof buffer, 700 - got)));
    ASSERT_GT(n, 0);
    EXPECT_EQ(port_->LastCount(), n);
    got += n;
  }
  EXPECT_EQ(port_->ReadChar(), 't');
  EXPECT_EQ(port_->FlushRx(), 0);
  EXPECT_EQ(port_->RxEmpty(), 1);
  EXPECT_EQ(port_->ReadChar(), kSerialNoData);
  EXPECT_EQ(port_->ReadBlock(buffer, 10), kSerialNoData);
}

TEST_F(SerialPortOnPty, GetLineEndings) {
  std::string line;
  EXPECT_EQ(port_->GetLine(line, 1, kTerminatorCrLf, 100), kSerialBadArgument);
  EXPECT_EQ(port_->GetLine(line, 10, 256, 100), kSerialBadArgument);
  EXPECT_EQ(port_->GetLine(line, 10, -3, 100), kSerialBadArgument);

  pty_.Send("ACK\r\n");
  EXPECT_EQ(port_->GetLine(line, 80, kTerminatorCrLf, 500), 0);
  EXPECT_EQ(line, "ACK");
  EXPECT_EQ(port_->LastCount(), 3);

  pty_.Send("A\rB");
  EXPECT_EQ(port_->GetLine(line, 80, kTerminatorCrLf, 100), kSerialNoData);
  EXPECT_EQ(line, "A\rB") << "a CR not followed by LF is kept";

  pty_.Send("bare\nLF\r\n");
  EXPECT_EQ(port_->GetLine(line, 80, kTerminatorNone, 100), 0);
  EXPECT_EQ(line, "bare\nLF");

  pty_.Send("C:\\Ostrel>");
  EXPECT_EQ(port_->GetLine(line, 80, '>', 100), 0);
  EXPECT_EQ(line, "C:\\Ostrel");

  pty_.Send("x\r>y\r");
  EXPECT_EQ(port_->GetLine(line, 80, '>', 100), 0);
  EXPECT_EQ(line, "x\r") << "a held CR is stored before the terminator";
  EXPECT_EQ(port_->GetLine(line, 80, '>', 100), kSerialNoData);
  EXPECT_EQ(line, "y\r") << "at the deadline a held CR is stored when a terminator byte was given";
  pty_.Send("z\r");
  EXPECT_EQ(port_->GetLine(line, 80, kTerminatorCrLf, 100), kSerialNoData);
  EXPECT_EQ(line, "z") << "with CR LF endings a held CR is dropped at the deadline";
}

TEST_F(SerialPortOnPty, GetLineBufferLimit) {
  std::string line;
  pty_.Send(std::string(238, 'a') + "\r\n");
  EXPECT_EQ(port_->GetLine(line, 239, kTerminatorCrLf, 500), 0);
  EXPECT_EQ(line.size(), 238u);
  pty_.Send(std::string(239, 'b') + "\r\n");
  EXPECT_EQ(port_->GetLine(line, 239, kTerminatorCrLf, 500), kSerialLineTooLong);
  EXPECT_EQ(port_->Status(), kSerialLineTooLong);
  EXPECT_EQ(line, std::string(238, 'b'));
}

TEST_F(SerialPortOnPty, GetLineDeadlineIsFixedWhileCharactersTrickleIn) {
  int sent = 0;
  clock_.OnAdvance([&](uint64_t) {
    if (sent < 1000) {
      pty_.Send("x");
      ++sent;
    }
  });
  const uint64_t start = clock_.NowMs();
  std::string line;
  EXPECT_EQ(port_->GetLine(line, 200, kTerminatorCrLf, 100), kSerialNoData);
  const uint64_t waited = clock_.NowMs() - start;
  EXPECT_GE(waited, 100u);
  EXPECT_LT(waited, 120u) << "the deadline does not move with each character";
  EXPECT_FALSE(line.empty());
  EXPECT_EQ(line, std::string(line.size(), 'x'));
  EXPECT_GT(ui_.Pumps(), 0) << "waiting kept the interface alive";
}

TEST_F(SerialPortOnPty, PutLineSendsTheTerminatorAndKeepsTheStatus) {
  port_->SetParameters(230400, 'N', 8, 1);  // leaves status -25
  EXPECT_EQ(port_->PutLine("HELLO", kTerminatorCrLf, 1000), 0);
  EXPECT_EQ(pty_.Receive(7), "HELLO\r\n");
  EXPECT_EQ(port_->Status(), kSerialBaudTooHigh);
  EXPECT_EQ(port_->LastCount(), 7);
  EXPECT_EQ(port_->PutLine("GET", 'Z', 1000), 0);
  EXPECT_EQ(port_->PutLine("X", kTerminatorNone, 1000), 0);
  EXPECT_EQ(pty_.Receive(5), "GETZX");
  EXPECT_EQ(port_->PutLine("X", -3, 1000), kSerialBadArgument);
}

TEST_F(SerialPortOnPty, PartialWritesReportWhatWasTaken) {
  const std::string big(100000, 'q');
  const auto* data = reinterpret_cast<const uint8_t*>(big.data());
  EXPECT_EQ(port_->WriteBlock(data, static_cast<int>(big.size())), kSerialPartialWrite);
  EXPECT_EQ(port_->LastCount(), kSerialBufferBytes) << "a write takes at most the transmit buffer";
  int taken = port_->LastCount();
  // Nobody reads the other end: sooner or later the system takes nothing.
  for (int i = 0; i < 1000 && port_->LastCount() > 0; ++i) {
    port_->WriteBlock(data, 1000);
    taken += port_->LastCount();
  }
  EXPECT_EQ(port_->Status(), kSerialPartialWrite);
  EXPECT_EQ(port_->LastCount(), 0);
  EXPECT_EQ(pty_.Receive(static_cast<size_t>(taken), 5000).size(), static_cast<size_t>(taken)) << "no byte lost";
  EXPECT_EQ(port_->PutLine("late", kTerminatorCrLf, 1000), 0) << "once drained, writes go through";
}

TEST_F(SerialPortOnPty, PutLineGivesUpAtItsTimeoutWhenNobodyReads) {
  const std::string big(200000, 'w');
  const uint64_t start = clock_.NowMs();
  EXPECT_EQ(port_->PutLine(big, kTerminatorCrLf, 300), kSerialPartialWrite);
  EXPECT_GE(clock_.NowMs() - start, 300u);
  EXPECT_LT(port_->LastCount(), static_cast<int>(big.size()));
  EXPECT_GT(port_->LastCount(), 0);
}

TEST_F(SerialPortOnPty, AHungUpLineIsAnErrorNotAHang) {
  pty_.HangUp();
  std::string line;
  const uint64_t start = clock_.NowMs();
  EXPECT_EQ(port_->GetLine(line, 80, kTerminatorCrLf, kNoTimeout), kSerialSystemError);
  EXPECT_LT(clock_.NowMs() - start, 50u);
  EXPECT_EQ(port_->ReadChar(), kSerialSystemError);
}

TEST_F(SerialPortOnPty, DelayWaitsOnTheClockAndKeepsTheInterfaceAlive) {
  pty_.Send("pending");  // input that is waiting must not cut the wait short
  const uint64_t start = clock_.NowMs();
  EXPECT_EQ(port_->Delay(250), 0);
  EXPECT_GE(clock_.NowMs() - start, 250u);
  EXPECT_LT(clock_.NowMs() - start, 260u);
  EXPECT_GE(ui_.Pumps(), 50);
  EXPECT_EQ(port_->SendBreak(20), 0);
}

}  // namespace
}  // namespace pelikon
