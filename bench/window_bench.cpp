// The main window under load, in a real wx event loop (run it under
// xvfb-run when there is no screen):
//
//   window_bench fill [FILES] [ROUNDS]
//     Fills the local pane from a folder of FILES files (listing written,
//     read, sorted, shown) and compares with `ls -l` of the same folder.
//   window_bench merge [POINTS] [ROUNDS]
//     Opens the "Merge Points Manager" on a merge of POINTS incoming points
//     into POINTS points (half the identifiers shared, a tenth of those
//     moved) and times it until the grid's first rows are drawn.
//   window_bench gap [BYTES] [kermit|zmodem]
//     Receives a file of BYTES random bytes from the simulated collector
//     over an emulated 9600 bit/s line (960 bytes/s each way, 5 ms one-way
//     latency) through the window's link, while a 10 ms timer measures the
//     longest gap between two turns of the event loop.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/timer.h>

#include "app/transfer_settings.h"
#include "bench_support.h"
#include "coord/merge/merge_session.h"
#include "gui/merge/merge_points_dialog.h"
#include "gui/transfer_dlg.h"
#include "platform/catalogue.h"
#include "platform/child_process.h"
#include "platform/text.h"
#include "support/no_sound.h"
#include "support/pty_relay.h"

namespace {

using pelikon::bench::Clock;
using pelikon::bench::Median;
using pelikon::bench::Seconds;

class BenchApp final : public wxApp {
 public:
  bool OnInit() override { return true; }
};

using pelikon::testing::NoSound;

// What the window starts with: a first run's settings with the local pane
// on `folder` and COM1 on `device`, silent, working in `root`.
struct WindowSettings {
  WindowSettings(const std::filesystem::path& root, const std::filesystem::path& folder, const std::string& device,
                 bool kermit) {
    pelikon::TransferSettings settings = pelikon::FirstRunSettings(folder.string(), folder.string());
    settings.baud = 9600;
    settings.use_kermit = kermit;
    pelikon::SaveTransferSettings(store, settings);
    store.SetValue("port1", device);
    setup.settings = &store;
    setup.program_folder = root;
    setup.temp_folder = root;
    setup.sound_output = &silence;
  }
  pelikon::MemorySettingsStore store;
  NoSound silence;
  pelikon::CTransferDlg::Setup setup;
};

bool RunUntil(const std::function<bool()>& done, double seconds) {
  const auto until = Clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (Clock::now() > until) return false;
    wxTheApp->Yield(true);
    wxMilliSleep(2);
  }
  return true;
}

int MergeManager(int points, int rounds) {
  std::vector<pelikon::CrdPoint> source;
  std::vector<pelikon::CrdPoint> target;
  for (int n = 1; n <= points; ++n) {
    target.emplace_back(std::to_string(n), 1000.0 + n, 2000.0 + n, 10, "OFFICE");
    // The incoming file shares the upper half of the office's identifiers.
    const int id = n + points / 2;
    const double moved = id <= points && id % 10 == 0 ? 0.5 : 0.0;
    source.emplace_back(std::to_string(id), 1000.0 + id + moved, 2000.0 + id, 10, "OFFICE");
  }
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    pelikon::MergeSession session(source, target, false, true);
    double shown = 0;
    wxTheApp->CallAfter([&] {
      // The modal loop runs: draw the window now and stop the clock.
      for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal()) {
          dialog->Update();
          shown = Seconds(start);
          dialog->EndModal(wxID_CANCEL);
        }
    });
    pelikon::RunMergePointsDialog(nullptr, session, "FIELD.CRD", "OFFICE.CRD", {});
    if (shown <= 0) {
      std::fprintf(stderr, "window_bench: the merge window did not open\n");
      return 1;
    }
    times.push_back(shown);
  }
  const double median = Median(times);
  std::printf("merge manager on %d + %d points: first rows drawn after %.3f s (median of %d)\n", points, points, median,
              rounds);
  std::printf("goal < 1 s: %s\n", median < 1.0 ? "PASS" : "MISS");
  return 0;
}

int Fill(const std::filesystem::path& root, int files, int rounds) {
  const std::filesystem::path folder = root / "folder";
  const auto made = Clock::now();
  pelikon::bench::MakeFiles(folder, files);
  std::printf("made %d files in %.2f s\n", files, Seconds(made));

  WindowSettings settings(root, folder, "/nonexistent", true);
  auto* window = new pelikon::CTransferDlg(settings.setup);
  window->Show();
  RunUntil([] { return false; }, 0.3);

  std::vector<double> ours, ls;
  for (int r = 0; r < rounds; ++r) {
    ls.push_back(pelikon::bench::TimeLs(folder));
    const auto start = Clock::now();
    window->Panes().FillLocal();
    window->Update();  // the visible rows are drawn
    ours.push_back(Seconds(start));
  }
  const size_t rows = static_cast<size_t>(window->Pane(pelikon::PaneSide::kLocal).GetItemCount());
  window->Destroy();
  wxTheApp->Yield(true);

  const double ours_s = Median(ours), ls_s = Median(ls);
  std::printf("rows shown: %zu\n", rows);
  std::printf("fill local pane: %.3f s  ls -l: %.3f s  (median of %d)\n", ours_s, ls_s, rounds);
  std::printf("ratio pane fill / ls -l: %.2f (goal <= 3.00)\n", ours_s / ls_s);
  return rows == static_cast<size_t>(files) + 1 ? 0 : 1;
}

int Gap(const std::filesystem::path& root, size_t bytes, bool kermit, const std::filesystem::path& simulator) {
  const std::filesystem::path store_folder = root / "collector";
  const std::filesystem::path local = root / "pc";
  std::filesystem::create_directories(store_folder);
  std::filesystem::create_directories(local);
  {
    std::mt19937 random(7);
    std::string data(bytes, '\0');
    for (char& c : data) c = static_cast<char>(random());
    std::ofstream(store_folder / "BIG.BIN", std::ios::binary) << data;
  }
  pelikon::testing::LineModel line;
  line.bytes_per_second = 960;
  line.latency_ms = 5;
  pelikon::testing::PtyRelay relay(line);
  pelikon::ChildProcess collector;
  if (!collector.Start({simulator.string(), "--root", store_folder.string(), "--device", relay.EndB()},
                       root / "collector-errors.log")) {
    std::fprintf(stderr, "cannot start %s\n", simulator.c_str());
    return 1;
  }

  WindowSettings settings(root, local, relay.EndA(), kermit);
  // As in the program: the window runs modally; once it has connected,
  // the file is fetched inside that loop.
  pelikon::CTransferDlg window(settings.setup);
  std::vector<Clock::time_point> ticks;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ticks.push_back(Clock::now()); });
  int result = 0;
  double seconds = 0;
  window.SetAfterStart([&] {
    if (window.StatusLine() != pelikon::Tr("Status: Connected to remote machine")) {
      std::fprintf(stderr, "did not connect: %s\n", window.StatusLine().c_str());
      window.EndModal(0);
      return;
    }
    timer.Start(10);
    const auto start = Clock::now();
    window.Panes().Progress().SetTotal(static_cast<int64_t>(bytes));
    result = window.Link().GetFile("BIG.BIN");
    seconds = Seconds(start);
    timer.Stop();
    window.EndModal(0);
  });
  window.Start();
  window.ShowModal();

  double longest = 0;
  std::vector<double> gaps;
  for (size_t i = 1; i < ticks.size(); ++i)
    gaps.push_back(std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
  for (const double gap : gaps) longest = std::max(longest, gap);
  std::sort(gaps.begin(), gaps.end());
  const double p99 = gaps.empty() ? 0 : gaps[gaps.size() * 99 / 100];

  std::error_code error;
  const bool intact = result == 1 && std::filesystem::file_size(local / "BIG.BIN", error) == bytes;
  collector.Stop();

  std::printf("%s, %zu bytes in %.1f s (%.0f bytes/s of 960), %s\n", kermit ? "Kermit" : "Zmodem", bytes, seconds,
              bytes / seconds, intact ? "received intact" : "FAILED");
  std::printf(
      "event loop turns: %zu, longest gap %.1f ms, 99th percentile %.1f ms (timer period 10 ms; goal: "
      "longest < 100 ms)\n",
      ticks.size(), longest, p99);
  return intact ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode != "fill" && mode != "gap" && mode != "merge") {
    std::fprintf(stderr,
                 "usage: window_bench fill [FILES] [ROUNDS] | merge [POINTS] [ROUNDS] | gap [BYTES] [kermit|zmodem]\n");
    return 2;
  }
  wxApp::SetInstance(new BenchApp);
  int wx_argc = 1;
  if (!wxEntryStart(wx_argc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "window_bench: no display (run it under xvfb-run)\n");
    return 1;
  }
  char pattern[] = "/tmp/pelikon-window-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::filesystem::path root = pattern;
  int status = 0;
  if (mode == "fill") {
    status = Fill(root, argc > 2 ? std::atoi(argv[2]) : 100000, argc > 3 ? std::atoi(argv[3]) : 5);
  } else if (mode == "merge") {
    status = MergeManager(argc > 2 ? std::atoi(argv[2]) : 100000, argc > 3 ? std::atoi(argv[3]) : 3);
  } else {
    const bool kermit = !(argc > 3 && std::string(argv[3]) == "zmodem");
    status = Gap(root, argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1u << 20, kermit,
                 std::filesystem::path(argv[0]).parent_path() / "collector-sim");
  }
  std::filesystem::remove_all(root);
  wxTheApp->OnExit();
  wxEntryCleanup();
  return status;
}
