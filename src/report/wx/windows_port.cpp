// The formatter on the host's display: its options window, the viewer,
// message boxes and file pickers over the host's top window.
#include "report/windows_port.h"

#include <wx/app.h>

#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "report/report_session.h"
#include "report/wx/file_picker.h"
#include "report/wx/formatter_dialog.h"
#include "report/wx/report_viewer.h"

namespace pelikon {

namespace {

class WxFormatterPort : public FormatterPort {
 public:
  void RunOptions(Formatter& formatter) override { RunFormatterDialog(wxTheApp->GetTopWindow(), formatter); }

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
    return PickFileOnDesktop(wxTheApp->GetTopWindow(), FilePick{title, start, "rpt", false});
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
