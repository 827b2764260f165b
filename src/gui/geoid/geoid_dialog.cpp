#include "gui/geoid/geoid_dialog.h"

#include <wx/dirdlg.h>
#include <wx/sizer.h>

#include "dialogs/wx/wx_text.h"
#include "geoid/geoid_catalogue.h"
#include "platform/catalogue.h"

namespace pelikon {

namespace {

wxStaticText* Label(wxWindow* parent, const char* text) {
  return new wxStaticText(parent, wxID_ANY, ToWx(Tr(text)));
}

}  // namespace

Geoid::Geoid(wxWindow* parent, GeoidAreaFields& fields, Cut cut)
    : PelikonDialog(parent, ToWx(Tr("Set Geoid Area"))), fields_(fields), cut_(std::move(cut)) {
  const wxSize wide(FromDIP(260), -1), narrow(FromDIP(110), -1);
  folder_ = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wide);
  select_ = new wxButton(this, wxID_ANY, ToWx(Tr("&Select")));
  model_ = new wxChoice(this, wxID_ANY);
  for (GeoidModel code = 1; code <= kGeoidModelsOffered; ++code) model_->Append(ToWx(GeoidModelName(code)));
  latitude_ = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, narrow);
  north_ = new wxRadioButton(this, wxID_ANY, "N", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
  south_ = new wxRadioButton(this, wxID_ANY, "S");
  longitude_ = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, narrow);
  east_ = new wxRadioButton(this, wxID_ANY, "E", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
  west_ = new wxRadioButton(this, wxID_ANY, "W");
  size_ = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, narrow);
  estimate_ =
      new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(FromDIP(60), -1), wxST_NO_AUTORESIZE);
  miles_ = new wxRadioButton(this, wxID_ANY, ToWx(Tr("miles")), wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
  km_ = new wxRadioButton(this, wxID_ANY, ToWx(Tr("km")));
  degrees_ = new wxRadioButton(this, wxID_ANY, ToWx(Tr("deg")));
  name_ = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, narrow);
  ShowFields();

  auto* grid = new wxFlexGridSizer(3, FromDIP(6), FromDIP(8));
  grid->AddGrowableCol(1);
  const wxSizerFlags left = wxSizerFlags().CentreVertical();
  const auto row = [&](wxWindow* label, wxWindow* field, wxSizer* tail) {
    grid->Add(label, left);
    grid->Add(field, wxSizerFlags(1).Expand().CentreVertical());
    if (tail) {
      grid->Add(tail, left);
    } else {
      grid->AddSpacer(0);
    }
  };
  const auto pair = [&](std::initializer_list<wxWindow*> windows) {
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    for (wxWindow* window : windows) sizer->Add(window, wxSizerFlags().CentreVertical().Border(wxRIGHT, FromDIP(6)));
    return sizer;
  };
  row(Label(this, "Geoid Grid Files Dir"), folder_, pair({select_}));
  row(Label(this, "Geoid Type"), model_, nullptr);
  auto* content = new wxBoxSizer(wxVERTICAL);
  content->Add(grid, wxSizerFlags().Expand());
  content->Add(Label(this, "Enter Lat/Lon near center of job."), wxSizerFlags().Border(wxTOP | wxBOTTOM, FromDIP(8)));
  auto* position = new wxFlexGridSizer(3, FromDIP(6), FromDIP(8));
  position->Add(Label(this, "Latitude(dd.mmss)"), left);
  position->Add(latitude_, left);
  position->Add(pair({north_, south_}), left);
  position->Add(Label(this, "Longitude (dd.mmss)"), left);
  position->Add(longitude_, left);
  position->Add(pair({east_, west_}), left);
  auto* size_label = new wxBoxSizer(wxHORIZONTAL);
  size_label->Add(Label(this, "Grid size"), wxSizerFlags().CentreVertical().Border(wxRIGHT, FromDIP(6)));
  size_label->Add(estimate_, left);
  position->Add(size_label, left);
  position->Add(size_, left);
  position->Add(pair({miles_, km_, degrees_}), left);
  position->Add(Label(this, "Grid Name"), left);
  position->Add(name_, left);
  position->AddSpacer(0);
  content->Add(position);
  LayOut(content, MakeButtonRow(Buttons::kOkCancel));

  select_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSelect(); });
  size_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { ShowEstimate(); });
  for (wxRadioButton* unit : {miles_, km_, degrees_})
    unit->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ShowEstimate(); });
  latitude_->SetFocus();
}

wxRadioButton* Geoid::UnitButton(GridSizeUnit unit) const {
  switch (unit) {
    case GridSizeUnit::kMiles:
      return miles_;
    case GridSizeUnit::kKilometres:
      return km_;
    case GridSizeUnit::kDegrees:
      break;
  }
  return degrees_;
}

GridSizeUnit Geoid::ChosenUnit() const {
  if (miles_->GetValue()) return GridSizeUnit::kMiles;
  if (km_->GetValue()) return GridSizeUnit::kKilometres;
  return GridSizeUnit::kDegrees;
}

void Geoid::ShowEstimate() {
  estimate_->SetLabel(ToWx(SizeEstimate(FromWx(size_->GetValue()), ChosenUnit())));
}

void Geoid::ShowFields() {
  folder_->ChangeValue(ToWx(fields_.grid_folder));
  if (fields_.model >= 1 && fields_.model <= kGeoidModelsOffered) model_->SetSelection(fields_.model - 1);
  latitude_->ChangeValue(ToWx(fields_.latitude));
  (fields_.south ? south_ : north_)->SetValue(true);
  longitude_->ChangeValue(ToWx(fields_.longitude));
  (fields_.west ? west_ : east_)->SetValue(true);
  size_->ChangeValue(ToWx(fields_.size));
  UnitButton(fields_.unit)->SetValue(true);
  name_->ChangeValue(ToWx(fields_.name));
  ShowEstimate();
}

void Geoid::OnSelect() {
  wxDirDialog picker(this, ToWx(Tr("Select directory with Geoid99 grids")), folder_->GetValue(),
                     wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (picker.ShowModal() == wxID_OK) folder_->ChangeValue(picker.GetPath());
}

bool Geoid::TransferDataFromWindow() {
  fields_.grid_folder = FromWx(folder_->GetValue());
  if (model_->GetSelection() != wxNOT_FOUND) fields_.model = model_->GetSelection() + 1;
  fields_.latitude = FromWx(latitude_->GetValue());
  fields_.south = south_->GetValue();
  fields_.longitude = FromWx(longitude_->GetValue());
  fields_.west = west_->GetValue();
  fields_.size = FromWx(size_->GetValue());
  fields_.unit = ChosenUnit();
  fields_.name = FromWx(name_->GetValue());
  const std::optional<std::filesystem::path> written = cut_(fields_);
  ShowFields();  // the cut may have completed the folder and the name
  if (!written) return false;
  written_ = *written;
  return true;
}

bool WxGeoidAreaDialog::Ask(GeoidAreaFields& fields, std::filesystem::path& written) {
  Geoid dialog(parent_, fields, cut_);
  if (dialog.ShowModal() != wxID_OK) return false;
  written = dialog.Written();
  return true;
}

}  // namespace pelikon
