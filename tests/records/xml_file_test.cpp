#include "records/xml_file.h"

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "records/xml_text.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::TempDir;

TEST(XmlText, EscapingOrder) {
  EXPECT_EQ(EscapeXml("a<b & \"c\" 'd'>\r\ne"), "a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;&#13;e");
  EXPECT_EQ(EscapeXml("&#13;"), "&amp;#13;");
  // "&amp;" is undone before "&#13;", so a literal "&#13;" comes back as a line end.
  EXPECT_EQ(UnescapeXml(EscapeXml("&#13;")), "\r\n");
  EXPECT_EQ(UnescapeXml("&amp;lt;"), "&lt;");
  EXPECT_EQ(UnescapeXml("&GT;"), "&GT;");  // case-sensitive
  EXPECT_EQ(ExpandEntities("&deg;&tab;&amp;per;&trade;"), "\xB0\t%\x99");
}

TEST(XmlFile, WritesTheExactLinesChildrenFirst) {
  OvUniRecord r("P<1>", "point");
  r.SetText("north", "5.5", true, "double");
  r.SetText("desc", "a \"b\" & c");
  r.SetText("none", std::nullopt);
  r.AppendChild(std::make_unique<OvUniRecord>("kid"));
  auto second = std::make_unique<OvUniRecord>();
  r.Append(std::move(second));
  EXPECT_EQ(XmlText(&r),
            "<?xml version=\"1.0\" encoding=\"us-ascii\" ?>\r\n"
            "<veldra_xml version=\"1.0\">\r\n"
            "<table>\r\n"
            "<record id=\"P&lt;1&gt;\" type=\"point\" >\r\n"
            "<record id=\"kid\" >\r\n"
            "</record>\r\n"
            "<value name=\"north\" type=\"double\" value=\"5.5\"></value>\r\n"
            "<value name=\"desc\" value=\"a &quot;b&quot; &amp; c\"></value>\r\n"
            "<value name=\"none\" ></value>\r\n"
            "</record>\r\n"
            "<record >\r\n"
            "</record>\r\n"
            "</table>\r\n"
            "</veldra_xml>\r\n");
}

TEST(XmlFile, RoundTripThroughAFile) {
  TempDir dir;
  auto r = std::make_unique<OvUniRecord>("mytype=1 id=2", "pt");  // attribute-like text inside a text
  r->SetText("text", "<&\"'> &#13; line\r\nnext\nlast", true, "text");
  r->SetText("value=x", "v");
  auto child = std::make_unique<OvUniRecord>("c1");
  child->SetDouble("h", 1.25, true, "double");
  child->AppendChild(std::make_unique<OvUniRecord>("grandchild"));
  r->AppendChild(std::move(child));
  r->Append(std::make_unique<OvUniRecord>("second"));
  ASSERT_EQ(WriteXmlFile(dir / "merge_coord.xml", r.get()), 1);

  std::unique_ptr<OvUniTable> table = ReadXmlFile(dir / "merge_coord.xml");
  ASSERT_TRUE(table);
  const OvUniRecord* back = table->FirstRecord();
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Name(), "mytype=1 id=2");
  EXPECT_EQ(back->Type(), "pt");
  std::string text;
  back->GetText("text", text);
  EXPECT_EQ(text, "<&\"'> \r\n line\r\nnext\nlast");  // the literal "&#13;" turns into a line end
  back->GetText("value=x", text);
  EXPECT_EQ(text, "v");
  ASSERT_TRUE(back->FirstChild());
  double h = 0;
  EXPECT_EQ(back->FirstChild()->GetDouble("h", h), 1);
  EXPECT_EQ(h, 1.25);
  ASSERT_TRUE(back->FirstChild()->FirstChild());
  EXPECT_EQ(back->FirstChild()->FirstChild()->Name(), "grandchild");
  ASSERT_TRUE(back->Next());
  EXPECT_EQ(back->Next()->Name(), "second");

  EXPECT_EQ(WriteXmlFile(dir / "missing-folder" / "x.xml", r.get()), 0);
  EXPECT_EQ(ReadXmlFile(dir / "absent.xml"), nullptr);
}

TEST(XmlFile, TablesAndOtherTags) {
  const auto table = ReadXmlText(
      "<?xml version=\"1.0\"?>\n<veldra_xml version=\"1.0\">\n"
      "<table id=\"widths\" desc=\"Grid &amp; more\" type=\"grid\">\n"
      "<record id=\"A\" ><value name=\"w\" value=\"80\" type=\"integer\"/></record>\n"
      "<record>ignored: no blank</record>\n"
      "<table id=\"second\" >\n"
      "<record id=\"B\" ><value name=\"\" value=\"dropped\"></value></record>\n");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->Id(), "widths");
  EXPECT_EQ(table->Desc(), "Grid & more");
  ASSERT_TRUE(table->FirstRecord());
  int64_t w = 0;
  EXPECT_EQ(table->FirstRecord()->GetInt("W", w), 1);
  EXPECT_EQ(w, 80);
  EXPECT_EQ(table->FirstRecord()->Next(), nullptr);
  ASSERT_TRUE(table->Next());
  EXPECT_EQ(table->Next()->Id(), "second");
  EXPECT_EQ(table->Next()->FirstRecord()->FirstValue(), nullptr);
}

TEST(XmlFile, MalformedTextEndsTheReadKeepingWhatWasBuilt) {
  auto table = ReadXmlText(
      "<record id=\"1\" ><value name=\"a\" value=\"x\"></value></record>\n"
      "<record id=\"2\" > oops > <value name=\"b\" value=\"y\"></value>");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->FirstRecord()->Count(), 2u);
  EXPECT_EQ(table->FirstRecord()->Next()->FirstValue(), nullptr);

  EXPECT_EQ(ReadXmlText("<record id=\"unterminated"), nullptr);

  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<record id=\"n\" >";
  table = ReadXmlText(deep);  // nesting is bounded, not followed down the stack
  ASSERT_TRUE(table);
  int depth = 0;
  for (const OvUniRecord* r = table->FirstRecord(); r; r = r->FirstChild()) ++depth;
  EXPECT_EQ(depth, kMaxRecordNesting);
}

TEST(XmlFile, OlderLayout) {
  const auto table = ReadXmlText(
      "<OvUniRecord\r\n"
      "  id = \"17\"\r\n"
      "  desc = \"fence &amp; gate\"\r\n"
      "  north=100.5\r\n"
      "/>\r\n"
      "<OvUniRecord\r\n"
      "id=18\r\n"
      "/>\r\n");
  ASSERT_TRUE(table);
  const OvUniRecord* r = table->FirstRecord();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Name(), "17");
  std::string text;
  r->GetText("desc", text);
  EXPECT_EQ(text, "fence & gate");
  r->GetText("north", text);
  EXPECT_EQ(text, "100.5");
  ASSERT_TRUE(r->Next());
  EXPECT_EQ(r->Next()->Name(), "18");
}

}  // namespace
}  // namespace pelikon
