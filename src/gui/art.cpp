#include "gui/art.h"

#include <algorithm>
#include <memory>

#include <wx/artprov.h>
#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/pen.h>

namespace pelikon {

namespace {

constexpr int kButtonPixels = 24;

wxArtID ArtIdFor(ButtonArt art) {
  switch (art) {
    case ButtonArt::kConnect:
    case ButtonArt::kTransfer:
      break;  // drawn here
    case ButtonArt::kSetPath:
      return wxART_FOLDER_OPEN;
    case ButtonArt::kMakeDir:
      return wxART_NEW_DIR;
    case ButtonArt::kDelete:
      return wxART_DELETE;
    case ButtonArt::kRename:
      return wxART_EDIT;
    case ButtonArt::kOptions:
      return wxART_HELP_SETTINGS;
    case ButtonArt::kGeoid:
      return wxART_HARDDISK;
    case ButtonArt::kFieldToFinish:
      return wxART_REDO;
    case ButtonArt::kSendPoints:
      return wxART_GO_UP;
    case ButtonArt::kExit:
      return wxART_QUIT;
  }
  return wxART_MISSING_IMAGE;
}

// A transparent square to draw on.
wxImage BlankImage() {
  wxImage image(kButtonPixels, kButtonPixels);
  image.InitAlpha();
  std::fill_n(image.GetAlpha(), kButtonPixels * kButtonPixels, 0);
  return image;
}

// An arrow along y from x0 to x1 (pointing towards x1), in `colour`.
void DrawArrow(wxGraphicsContext& gc, double x0, double x1, double y, const wxColour& colour) {
  const double direction = x1 > x0 ? 1 : -1;
  wxGraphicsPath path = gc.CreatePath();
  path.MoveToPoint(x0, y - 2.5);
  path.AddLineToPoint(x1 - direction * 6, y - 2.5);
  path.AddLineToPoint(x1 - direction * 6, y - 6);
  path.AddLineToPoint(x1, y);
  path.AddLineToPoint(x1 - direction * 6, y + 6);
  path.AddLineToPoint(x1 - direction * 6, y + 2.5);
  path.AddLineToPoint(x0, y + 2.5);
  path.CloseSubpath();
  gc.SetBrush(wxBrush(colour));
  gc.SetPen(wxPen(colour.ChangeLightness(60), 1));
  gc.DrawPath(path);
}

// Transfer: a file going out (green, to the right) and one coming in (blue).
void DrawTransfer(wxGraphicsContext& gc) {
  DrawArrow(gc, 2, 22, 7, wxColour(46, 160, 67));
  DrawArrow(gc, 22, 2, 17, wxColour(37, 99, 235));
}

// Connect: a plug on its cable meeting a socket.
void DrawConnect(wxGraphicsContext& gc) {
  const wxColour cable(55, 65, 81);
  const wxColour plug(37, 99, 235);
  const wxColour socket(46, 160, 67);
  gc.SetPen(wxPen(cable, 2));
  gc.StrokeLine(1, 12, 6, 12);
  gc.SetPen(wxPen(plug.ChangeLightness(60), 1));
  gc.SetBrush(wxBrush(plug));
  gc.DrawRoundedRectangle(6, 6.5, 7, 11, 2);
  gc.SetPen(wxPen(cable, 2));
  gc.StrokeLine(13, 9, 16, 9);
  gc.StrokeLine(13, 15, 16, 15);
  gc.SetPen(wxPen(socket.ChangeLightness(60), 1));
  gc.SetBrush(wxBrush(socket));
  gc.DrawRoundedRectangle(17, 4.5, 6, 15, 2);
}

wxBitmap DrawnBitmap(void (*draw)(wxGraphicsContext&)) {
  wxImage image = BlankImage();
  {
    const std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (gc) {
      gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
      draw(*gc);
    }
  }
  return wxBitmap(image);
}

}  // namespace

wxBitmap ButtonBitmap(ButtonArt art) {
  if (art == ButtonArt::kConnect) return DrawnBitmap(DrawConnect);
  if (art == ButtonArt::kTransfer) return DrawnBitmap(DrawTransfer);
  return wxArtProvider::GetBitmap(ArtIdFor(art), wxART_BUTTON, wxSize(kButtonPixels, kButtonPixels));
}

wxBitmap DisabledButtonBitmap(ButtonArt art) {
  wxImage image = ButtonBitmap(art).ConvertToImage();
  if (!image.IsOk()) return wxBitmap();
  // Grey, then faded towards the button's face.
  image = image.ConvertToGreyscale().ConvertToDisabled(255);
  if (!image.HasAlpha()) image.InitAlpha();
  unsigned char* alpha = image.GetAlpha();
  for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i)
    alpha[i] = static_cast<unsigned char>(alpha[i] * 2 / 5);
  return wxBitmap(image);
}

wxImageList* NewPaneImageList() {
  auto* images = new wxImageList(16, 16, true, 3);
  for (const wxArtID id : {wxART_FOLDER, wxART_NORMAL_FILE, wxART_GO_DIR_UP})
    images->Add(wxArtProvider::GetBitmap(id, wxART_LIST, wxSize(16, 16)));
  return images;
}

}  // namespace pelikon
