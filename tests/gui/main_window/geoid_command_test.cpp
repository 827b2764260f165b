// Make geoid grid in the main window against the simulated collector: the
// "Set Geoid Area" dialog refuses a size outside its unit's range, then
// cuts the sub-grid from the EGM96 model in the chosen folder (imported
// from PROJ's data) and the sub-grid lands in the collector program's
// folder.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <wx/msgdlg.h>

#include "geoid/import/grid_import.h"
#include "geoid/proj_data.h"
#include "gui/dialog_script.h"
#include "gui/geoid/geoid_dialog.h"
#include "main_window_fixture.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::MainWindowTest;
using testing::RunUntil;

// A 15' model from 40 N to 50 N, 260 E to 275 E.
void WriteModel(const std::filesystem::path& path) {
  std::ofstream out(path);
  out << "40\n260\n50\n275\n60\n40\n";
  for (int row = 0; row <= 40; ++row)
    for (int column = 0; column <= 60; ++column) out << row * 0.01 + column * 0.001 << "\n";
}

void Choose(wxRadioButton* button) {
  button->SetValue(true);
  wxCommandEvent chosen(wxEVT_RADIOBUTTON, button->GetId());
  chosen.SetEventObject(button);
  chosen.SetInt(1);
  button->ProcessWindowEvent(chosen);
}

TEST_F(MainWindowTest, GeoidCutsTheSubGridAndSendsItToTheProgramFolder) {
  testing::TempDir models;
  // Debian's own EGM96 when the system has it, else a small model of the same spacing.
  const std::filesystem::path egm96 = FindProjEgm96();
  if (egm96.empty() || !ImportGridModel(egm96, models / "egm96.grd").ok) WriteModel(models / "egm96.grd");
  std::filesystem::create_directories(demo_.StoreFolder() / "Ostrel");
  testing::DialogScript script;
  std::vector<std::string> messages;
  const auto answer = [&](wxMessageDialog& box) {
    messages.push_back(box.GetMessage().utf8_string());
    return static_cast<int>(wxID_OK);
  };
  script.Show<Geoid>([&](Geoid& dialog) {
    EXPECT_EQ(dialog.GetTitle(), "Set Geoid Area");
    EXPECT_EQ(dialog.ModelChoice()->GetCount(), 38u);
    EXPECT_EQ(dialog.ModelChoice()->GetStringSelection(), "GEOID99");
    EXPECT_EQ(dialog.EstimateLabel()->GetLabel(), "(140K)") << "2.0 deg is the default";
    dialog.FolderField()->SetValue(models.Path().string());
    dialog.ModelChoice()->SetSelection(4);  // EGM96
    dialog.LatitudeField()->SetValue("45.0000");
    dialog.LongitudeField()->SetValue("93.0000");
    // 8 degrees is the most; 400 miles is 8 degrees and shows no estimate.
    Choose(dialog.UnitButton(GridSizeUnit::kMiles));
    dialog.SizeField()->SetValue("401");
    script.Answer<wxMessageDialog>(answer);
    testing::Click(dialog.OkButton());
    ASSERT_TRUE(dialog.IsModal());
    dialog.SizeField()->SetValue("400");
    EXPECT_EQ(dialog.EstimateLabel()->GetLabel(), "");
    Choose(dialog.UnitButton(GridSizeUnit::kDegrees));
    dialog.SizeField()->SetValue("2.0");
    dialog.NameField()->SetValue("site.1");
    script.Answer<wxMessageDialog>(answer);  // "Geoid Grid Created. Ready to upload."
    testing::Click(dialog.OkButton());
  });
  testing::Click(dynamic_cast<wxButton*>(Button(kIdGeoid)));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_EQ(messages, (std::vector<std::string>{"Error: Supported size in miles is 50 to 400.",
                                                "Geoid Grid Created. Ready to upload."}));
  ASSERT_TRUE(std::filesystem::exists(models / "site.gsf"));
  std::ifstream sent(demo_.StoreFolder() / "Ostrel" / "site.gsf", std::ios::binary);
  std::ostringstream text;
  text << sent.rdbuf();
  const std::string head = "44.2500\r\n266.2500\r\n45.7500\r\n267.7500\r\n6.0\r\n6.0\r\n";
  EXPECT_EQ(text.str().substr(0, head.size()), head);
  EXPECT_EQ(window_->Panes().Settings().geoid_folder, models.Path().string()) << "the folder is kept";
}

}  // namespace
}  // namespace pelikon
