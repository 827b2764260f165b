#include "gui/dialogs/progress_dialog.h"

#include <algorithm>

#include <wx/activityindicator.h>
#include <wx/artprov.h>
#include <wx/weakref.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

CAviDlg::CAviDlg(wxWindow* main_window, std::function<void()> on_cancel)
    : PelikonDialog(main_window, ToWx(Tr("Transfer in progress, Please Wait..."))),
      main_window_(main_window),
      on_cancel_(std::move(on_cancel)),
      subject_(new wxStaticText(this, wxID_ANY, wxString())),
      bar_(new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, FromDIP(wxSize(300, -1)))),
      status_(new wxStaticText(this, wxID_ANY, wxString())) {
  auto* animation = new wxActivityIndicator(this);
  animation->Start();

  // Wide enough from the start for the longest status the window is
  // known to show, so that Cancel does not make it jump.
  const wxString longest =
      ToWx(std::string(Tr("Status: ")) + Tr("Function cancelled at user request...Please wait..."));
  status_->SetMinSize(wxSize(std::max(FromDIP(360), status_->GetTextExtent(longest).x), -1));

  const int gap = FromDIP(10);
  auto* content = new wxBoxSizer(wxVERTICAL);
  content->Add(subject_, wxSizerFlags().Expand().Border(wxBOTTOM, gap));
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(animation, wxSizerFlags().CentreVertical().Border(wxRIGHT, gap));
  top->Add(bar_, wxSizerFlags(1).CentreVertical());
  content->Add(top, wxSizerFlags().Expand().Border(wxBOTTOM, gap));
  content->Add(status_, wxSizerFlags().Expand());

  wxSizer* buttons = MakeButtonRow(Buttons::kCancelOnly);
  CancelButton()->SetBitmap(wxArtProvider::GetBitmap(wxART_CROSS_MARK, wxART_BUTTON));
  CancelButton()->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); });
  Bind(wxEVT_CLOSE_WINDOW, &CAviDlg::OnClose, this);
  LayOut(content, buttons);

  if (main_window_ != nullptr && main_window_->IsEnabled()) {
    main_window_->Disable();
    disabled_main_window_ = true;
  }
  Show();
}

void CAviDlg::Dismiss(CAviDlg*& window) {
  if (window == nullptr) return;
  CAviDlg* closing = window;
  window = nullptr;
  closing->ReleaseMainWindow();
  closing->Destroy();
}

void CAviDlg::SetStatus(const std::string& text) {
  ShowWhole(status_, text);
}

void CAviDlg::SetSubject(const std::string& text) {
  ShowWhole(subject_, text);
}

void CAviDlg::ShowWhole(wxStaticText* line, const std::string& text) {
  const wxString shown = ToWx(text);
  if (line->GetLabelText() == shown) return;
  line->SetLabelText(shown);
  // A text wider than the window widens it; the window never shrinks
  // while it shows, which would make it jitter.
  const int needed = line->GetBestSize().x;
  if (needed > line->GetSize().x) {
    line->SetMinSize(wxSize(needed, -1));
    GetSizer()->SetSizeHints(this);
    Layout();
  }
  line->Refresh();
  Update();
}

void CAviDlg::SetBar(int percent) {
  bar_->SetValue(std::clamp(percent, 0, bar_->GetRange()));
}

void CAviDlg::OnCancel() {
  if (cancelling_ || !on_cancel_) return;
  cancelling_ = true;
  // The owner may dismiss the window from inside the callback; keep the
  // callback alive while it runs and touch nothing of ours afterwards
  // unless we still exist.
  wxWeakRef<CAviDlg> alive(this);
  const std::function<void()> on_cancel = on_cancel_;
  on_cancel();
  if (alive) cancelling_ = false;
}

void CAviDlg::OnClose(wxCloseEvent& event) {
  if (event.CanVeto()) {
    // The transfer still writes into this window: closing it means Cancel.
    event.Veto();
    OnCancel();
    return;
  }
  ReleaseMainWindow();
  Destroy();
}

void CAviDlg::ReleaseMainWindow() {
  if (!disabled_main_window_) return;
  disabled_main_window_ = false;
  main_window_->Enable();
}

}  // namespace pelikon
