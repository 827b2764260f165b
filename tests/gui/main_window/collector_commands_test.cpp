// Send Pnts and F2F conv in the main window against the simulated
// collector: the Send Pnts dialog checks its fields, "Select" takes a PC
// coordinate file and fills the range from it, and the cut-out lands in
// the collector's folder; F2F conv sends the converted code table.
#include <gtest/gtest.h>

#include <wx/msgdlg.h>

#include <fstream>
#include <iterator>

#include "coord/crd/crd_file.h"
#include "gui/dialog_script.h"
#include "gui/send_range/send_range_dialog.h"
#include "main_window_fixture.h"

namespace pelikon {
namespace {

using testing::MainWindowTest;
using testing::RowOf;
using testing::RunUntil;

TEST_F(MainWindowTest, SendPntsUploadsTheChosenRangeOfAPcFile) {
  testing::DialogScript script;
  const std::filesystem::path office = demo_.PcFolder() / "OFFICE.CRD";
  std::vector<std::string> messages;
  script.Show<SendRange>([&](SendRange& dialog) {
    EXPECT_EQ(dialog.GetTitle(), "Send Range of Points");
    // OK with nothing chosen yet names what is missing, and the dialog stays.
    script.Answer<wxMessageDialog>([&](wxMessageDialog& box) {
      messages.push_back(box.GetMessage().utf8_string());
      return static_cast<int>(wxID_OK);
    });
    testing::Click(dialog.OkButton());
    ASSERT_TRUE(dialog.IsModal());
    testing::Click(dialog.SelectButton());
    EXPECT_EQ(dialog.RemoteNameField()->GetValue(), "OFFICE.CRD");
    // The sample office file is numeric: its records start at 1.
    EXPECT_EQ(dialog.RangeField()->GetValue(), "1-539");
    EXPECT_TRUE(dialog.LocalFileLabel()->GetLabel().StartsWith("Local File Name: "));
    dialog.RemoteNameField()->SetValue("PART.CRD");
    dialog.RangeField()->SetValue("500-504,530");
    testing::Click(dialog.OkButton());
  });
  std::string picked;
  window_->UserInterface().SetFilePicker([&](const std::string& caption, std::filesystem::path& chosen) {
    picked = caption;
    chosen = office;
    return true;
  });
  testing::Click(dynamic_cast<wxButton*>(Button(kIdSendPoints)));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_EQ(messages, std::vector<std::string>{"Please specify local file to upload"});
  EXPECT_EQ(picked, "Select a Local Coordinate File");
  ASSERT_TRUE(RunUntil([&] { return RowOf(Pane(PaneSide::kRemote), "PART.CRD") >= 0; }))
      << "the remote pane lists the new file";
  CrdFile sent;
  ASSERT_EQ(sent.Open(demo_.StoreFolder() / "PART.CRD"), 1);
  EXPECT_EQ(sent.PointCount("ALL"), 6);
  EXPECT_EQ(sent.Highest(), "530");
  CrdPoint point;
  EXPECT_EQ(sent.GetPoint("504", point, true), 1);
  EXPECT_EQ(sent.GetPoint("505", point, true), 0);
}

TEST_F(MainWindowTest, F2fConvSendsTheConvertedTable) {
  std::ofstream(demo_.PcFolder() / "Codes.fld") << "TR|Tree||x|Tree line|1|\n";
  window_->UserInterface().SetFilePicker([&](const std::string& caption, std::filesystem::path& chosen) {
    EXPECT_EQ(caption, "Select Existing Field Code Table");
    chosen = demo_.PcFolder() / "Codes.fld";
    return true;
  });
  ASSERT_TRUE(Button(kIdFieldToFinish)->IsEnabled());
  testing::Click(dynamic_cast<wxButton*>(Button(kIdFieldToFinish)));
  EXPECT_TRUE(RunUntil([&] { return !window_->Busy(); }));
  ASSERT_TRUE(RunUntil([&] { return RowOf(Pane(PaneSide::kRemote), "CODES.FCL") >= 0; }));
  std::ifstream sent(demo_.StoreFolder() / "CODES.FCL", std::ios::binary);
  const std::string table{std::istreambuf_iterator<char>(sent), std::istreambuf_iterator<char>()};
  EXPECT_EQ(table, "TR, Y, N, Tree line, Tree\r\n");
}

}  // namespace
}  // namespace pelikon
