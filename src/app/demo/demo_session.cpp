#include "app/demo/demo_session.h"

#include <unistd.h>

#include <cstdlib>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>
#include <vector>

#include "app/transfer_settings.h"
#include "coord/crd/crd_file.h"
#include "coord/crd/crd_point.h"
#include "platform/text.h"

namespace pelikon {

namespace {

bool WriteText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

// CR LF lines, as the collector's own text files are written.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

bool WriteSampleCrd(const std::filesystem::path& file, int first_point, int count, double north, double east) {
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  CrdFile crd;
  if (!crd.Open(file, 1, kCrdNumeric)) return false;
  crd.SetHeaderText("Sample job");
  std::vector<CrdPoint> points;
  static const char* const kDescriptions[] = {"CP", "IP", "EP", "TREE", "FH", "MH", "BC", "EC"};
  for (int i = 0; i < count; ++i) {
    const double angle = i * 0.37;
    points.emplace_back(std::to_string(first_point + i), north + 25.0 * i * std::cos(angle),
                        east + 25.0 * i * std::sin(angle), 100.0 + 0.25 * (i % 17), kDescriptions[i % 8]);
  }
  const bool stored = crd.StorePoints(points, true) == static_cast<int64_t>(points.size());
  crd.Close();
  return stored;
}

}  // namespace

bool WriteSampleCollectorStore(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder / "Jobs" / "Highway 12", error);
  std::filesystem::create_directories(folder / "Geoids", error);
  if (error) return false;
  bool ok = WriteSampleCrd(folder / "JOB1.CRD", 1, 60, 5000.0, 2000.0);
  ok = ok && WriteSampleCrd(folder / "Jobs" / "Highway 12" / "HWY12.CRD", 1000, 25, 7200.0, 3100.0);
  ok = ok && WriteText(folder / "JOB1.RW5", Lines({
                                                "JB,NMJOB1,DT12-08-2026,TM08:14:05",
                                                "MO,AD0,UN0,SF1.00000000,EC0,EO0.0,AU0",
                                                "SP,PN1,N 5000.0000,E 2000.0000,EL100.0000,--CP",
                                                "OC,OP1,N 5000.00000,E 2000.00000,EL100.000,--CP",
                                                "BK,OP1,BP2,BS0.0000,BC0.0000",
                                                "LS,HI1.600,HR1.800",
                                                "SS,OP1,FP3,AR45.3010,ZE90.0120,SD25.0120,--EP",
                                                "SS,OP1,FP4,AR88.1540,ZE89.5950,SD49.9870,--TREE",
                                            }));
  ok = ok && WriteText(folder / "JOB1.NOT", Lines({"PT_ID:1  GIS_FILE:", "Control point, brass cap in concrete",
                                                   "PT_ID:4  GIS_FILE:", "Oak, 0.6 m trunk"}));
  ok = ok && WriteText(folder / "CODES.FLD", Lines({
                                                 "# sample field code table",
                                                 "@|Boundaries|",
                                                 "EP|Edge of pavement|||Edge of pavement|1|||||0||||||||",
                                                 "FH|Fire hydrant|||Fire hydrant|0|||||0||||||||",
                                                 "TREE|Tree|||Tree|0|||||0||||||||",
                                             }));
  ok = ok && WriteText(folder / "README.TXT", Lines({"Sample collector store of the Pelikon demonstration.",
                                                     "Copy files to the PC pane and back."}));
  return ok;
}

bool WriteSamplePcFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder / "Archive", error);
  if (error) return false;
  bool ok = WriteSampleCrd(folder / "OFFICE.CRD", 500, 40, 6100.0, 2500.0);
  ok = ok && WriteText(folder / "Field notes.txt",
                       Lines({"Monday: control traverse, points 1-60.", "Tuesday: topo of the car park."}));
  ok = ok && WriteText(folder / "Archive" / "OLDJOB.RW5", Lines({"JB,NMOLDJOB,DT01-15-2026,TM07:30:00"}));
  return ok;
}

bool DemoSession::Start(const std::filesystem::path& work_folder, const std::filesystem::path& simulator,
                        std::string& error) {
  const std::filesystem::path demo = work_folder / "demo";
  line_ = demo / "collector-line";
  std::error_code ignored;
  std::filesystem::remove(line_, ignored);
  if (!WriteSamples(demo, error)) return false;
  // The simulator ends with this process, however it ends.
  if (!simulator_.Start({simulator.string(), "--root", store_folder_.string(), "--link", line_.string(), "--log",
                         (demo / "collector.log").string(), "--parent", std::to_string(::getpid())},
                        demo / "collector-errors.log")) {
    error = StrPrintf("cannot start %s", simulator.string().c_str());
    return false;
  }
  // The simulator makes its line within milliseconds; give it up to five seconds.
  for (int i = 0; i < 500 && !std::filesystem::exists(line_, ignored); ++i) {
    if (!simulator_.Running()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!std::filesystem::exists(line_, ignored)) {
    error = StrPrintf("the simulated collector did not start (see %s)", (demo / "collector-errors.log").c_str());
    simulator_.Stop();
    return false;
  }

  TransferSettings settings = FirstRunSettings(work_folder.string(), pc_folder_.string());
  settings.com = kComPort;
  settings.baud = 115200;
  SaveTransferSettings(*settings_, settings);
  settings_->SetValue(StrPrintf("port%d", kComPort), line_.string());
  return true;
}

bool DemoSession::WriteSamples(const std::filesystem::path& demo, std::string& error) {
  store_folder_ = demo / "collector";
  pc_folder_ = demo / "pc";
  std::error_code ignored;
  std::filesystem::remove_all(store_folder_, ignored);
  if (WriteSampleCollectorStore(store_folder_) && WriteSamplePcFolder(pc_folder_)) return true;
  error = StrPrintf("cannot write the sample folders under %s", demo.string().c_str());
  return false;
}

bool DemoSession::StartDocked(const std::filesystem::path& work_folder, std::string& error) {
  const std::filesystem::path demo = work_folder / "demo";
  if (!WriteSamples(demo, error)) return false;
  const std::filesystem::path config = demo / "settings";
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  auto store = std::make_unique<FileSettingsStore>(config);
  if (!store->CreateKey() || ::setenv("PELIKON_CONFIG_DIR", config.c_str(), 1) != 0) {
    error = StrPrintf("cannot make the demo's settings folder %s", config.string().c_str());
    return false;
  }
  TransferSettings settings = FirstRunSettings(work_folder.string(), pc_folder_.string());
  settings.com = kActiveSyncLink;
  SaveTransferSettings(*store, settings);
  store->SetValue("asyncroot", store_folder_.string());
  settings_ = std::move(store);
  return true;
}

}  // namespace pelikon
