// The program's own icon on its windows: every size drawn, and the picture
// that was drawn rather than a theme's stand-in.
#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/image.h>

#include "dialogs/wx/app_icons.h"

namespace pelikon {
namespace {

TEST(AppIcons, EveryWindowGetsPelikonsOwnIconAtEverySize) {
  const wxIconBundle icons = DialogIcons();
  ASSERT_EQ(icons.GetIconCount(), 6u);
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const wxIcon icon = icons.GetIconOfExactSize(wxSize(size, size));
    ASSERT_TRUE(icon.IsOk()) << size;
    EXPECT_EQ(icon.GetWidth(), size);
  }
  // The drawing: a teal rounded square with transparent corners, the PC's
  // pale screen frame on the left.
  wxBitmap bitmap;
  bitmap.CopyFromIcon(icons.GetIconOfExactSize(wxSize(256, 256)));
  const wxImage image = bitmap.ConvertToImage();
  ASSERT_TRUE(image.HasAlpha());
  EXPECT_EQ(image.GetAlpha(1, 1), 0) << "a corner outside the rounded square";
  EXPECT_LT(image.GetRed(128, 20), 80);
  EXPECT_GT(image.GetGreen(128, 20), 100);
  EXPECT_GT(image.GetRed(28, 96), 230) << "the screen's frame";

  wxDialog dialog(nullptr, wxID_ANY, "icon");
  dialog.SetIcons(DialogIcons());
  EXPECT_EQ(dialog.GetIcons().GetIconCount(), 6u);
}

}  // namespace
}  // namespace pelikon
