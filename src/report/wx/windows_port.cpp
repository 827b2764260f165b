// The formatter on the host's display. Until the options window comes,
// the formatter shows the report with the format last used (every field
// the first time) straight away.
#include "report/windows_port.h"

#include <wx/app.h>
#include <wx/filedlg.h>

#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "report/report_session.h"
#include "report/wx/report_viewer.h"

namespace pelikon {

namespace {

class WxFormatterPort : public FormatterPort {
 public:
  void RunOptions(Formatter& formatter) override {
    formatter.UseEveryFieldIfNone();
    formatter.Display();
  }

  void ShowMessage(const std::string& text) override {
    // "%s Message" with the library's application name, which it has none of.
    ShowMessageBox(wxTheApp->GetTopWindow(), text, Tr(" Message"), false);
  }

  bool ShowTextReport(const std::filesystem::path& file, const std::string&) override {
    ReportSession& session = ReportSession::Instance();
    auto* viewer = new ReportViewer(wxTheApp->GetTopWindow(), {session.DataFolder(), session.StartFolder(), file});
    const int result = viewer->Run();
    viewer->Destroy();
    return result == ReportViewer::kSentToHost;
  }

  std::filesystem::path AskReportFile(const std::string& title, const std::filesystem::path& start) override {
    wxFileDialog picker(wxTheApp->GetTopWindow(), ToWx(title), ToWx(start.string()), wxString(),
                        ToWx(Tr("Saved reports (*.rpt)|*.rpt")), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (picker.ShowModal() != wxID_OK) return {};
    return std::filesystem::path(FromWx(picker.GetPath()));
  }
};

}  // namespace

FormatterPort* WindowsFormatterPort() {
  // A host without a windowed application running (a tool, a batch run)
  // gets no windows.
  if (wxTheApp == nullptr || !wxTheApp->IsGUI() || wxTheApp->GetTopWindow() == nullptr) return nullptr;
  static WxFormatterPort port;
  return &port;
}

}  // namespace pelikon
