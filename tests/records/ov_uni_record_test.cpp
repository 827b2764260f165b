#include "records/ov_uni_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/ov_uni_table.h"

namespace pelikon {
namespace {

std::vector<std::string> Names(const OvUniRecord* chain) {
  std::vector<std::string> names;
  for (; chain; chain = chain->Next())
    names.push_back(chain->Name() + (chain->Type().empty() ? "" : "/" + chain->Type()));
  return names;
}

std::unique_ptr<OvUniRecord> Chain(const std::vector<std::pair<std::string, std::string>>& names_and_types) {
  std::unique_ptr<OvUniRecord> head;
  for (const auto& [name, type] : names_and_types) {
    auto r = std::make_unique<OvUniRecord>(name, type);
    if (head) {
      head->Append(std::move(r));
    } else {
      head = std::move(r);
    }
  }
  return head;
}

TEST(OvUniRecord, SetDoubleDropsTrailingZerosOfTheFraction) {
  OvUniRecord r("P1");
  r.SetDouble("a", 3.0);
  r.SetDouble("b", 0.125);
  r.SetDouble("c", -2.5, true, "double");
  std::string text;
  r.GetText("a", text);
  EXPECT_EQ(text, "3.");
  r.GetText("b", text);
  EXPECT_EQ(text, "0.125");
  r.GetText("C", text);  // names without regard to case
  EXPECT_EQ(text, "-2.5");
  r.SetShort("s", 70000);
  r.GetText("s", text);
  EXPECT_EQ(text, "4464");  // taken as 16 bits
}

TEST(OvUniRecord, TypedGettersFollowTheType) {
  OvUniRecord r("P1");
  r.SetText("n", "1e3", true, "double");
  r.SetText("count", "42", true, "long");
  r.SetText("plain", "7.5");
  r.SetText("empty", "");
  double d = 0;
  int64_t i = -1;
  EXPECT_EQ(r.GetDouble("n", d), 1);
  EXPECT_EQ(d, 1000.0);
  EXPECT_EQ(r.GetInt("n", i), 0);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(r.GetInt("count", i), 1);
  EXPECT_EQ(i, 42);
  EXPECT_EQ(r.GetDouble("count", d), 0);
  EXPECT_EQ(d, kNoDoubleValue);
  EXPECT_EQ(r.GetDouble("plain", d), 1);
  EXPECT_EQ(d, 7.5);
  EXPECT_EQ(r.GetDouble("empty", d), 0);
  EXPECT_EQ(r.GetDouble("missing", d), 0);
  char small[4];
  EXPECT_EQ(r.GetTextInto("plain", small, sizeof small), 1);
  EXPECT_STREQ(small, "7.5");
  EXPECT_EQ(r.GetTextInto("count", small, 2), 1);
  EXPECT_STREQ(small, "4");
}

TEST(OvUniRecord, SetTextReplacesOrAppendsAndPrepends) {
  OvUniRecord r;
  r.SetText("a", "1", true, "text");
  r.SetText("A", "2", true, "double");  // replaces the text only
  r.SetText("b", "3", false);
  r.SetText("b", "4", false);  // a second value of the same name
  r.PrependText("z", "0", true);
  std::vector<std::string> seen;
  for (const OvUniValue* v = r.FirstValue(); v; v = v->Next())
    seen.push_back(v->Name() + "=" + v->Value().value_or("-") + ":" + v->Type().value_or("-"));
  EXPECT_EQ(seen, (std::vector<std::string>{"z=0:-", "a=2:text", "b=3:-", "b=4:-"}));

  EXPECT_TRUE(r.RemoveValue(r.FindValue("b")));
  r.SetText("last", "5", false);  // the tail is still right after removals
  OvUniRecord copy;
  copy.SetText("keep", "k");
  r.CopyValuesTo(copy, true);
  seen.clear();
  for (const OvUniValue* v = copy.FirstValue(); v; v = v->Next())
    seen.push_back(v->Name() + ":" + v->Type().value_or("-"));
  EXPECT_EQ(seen, (std::vector<std::string>{"z:-", "a:-", "b:-", "last:-"}));
}

TEST(OvUniRecord, EqualsWithIgnoreAndTolerance) {
  auto point = [](const char* status, const char* north, const char* desc) {
    auto r = std::make_unique<OvUniRecord>("7");
    r->SetText("north", north, true, "double");
    r->SetText("desc", desc, true, "text");
    r->SetText("_status", status);
    return r;
  };
  auto a = point("new", "100.0", "IP");
  auto b = point("old", "100.0000004", "IP");
  OvUniRecord ignore;
  ignore.SetText("_STATUS", "");
  EXPECT_FALSE(a->Equals(b.get()));
  EXPECT_FALSE(a->Equals(b.get(), &ignore, 0));
  EXPECT_TRUE(a->Equals(b.get(), &ignore, 1e-6));
  EXPECT_FALSE(a->Equals(nullptr));

  // Untyped texts that are not numbers must match exactly: both read as 0.
  auto c = point("x", "1", "IP");
  auto d = point("y", "1", "IP");
  EXPECT_TRUE(c->Equals(d.get(), &ignore));
  c->SetText("note", "fence");
  d->SetText("note", "hedge");
  EXPECT_FALSE(c->Equals(d.get(), &ignore));
  // Values with different names never match, whatever their numbers.
  OvUniRecord e("1"), f("1");
  e.SetText("north", "5", true, "double");
  f.SetText("east", "5", true, "double");
  EXPECT_FALSE(e.Equals(&f));

  // Children are compared too, with a tolerance of 1e-6.
  c->SetText("note", "same");
  d->SetText("note", "same");
  c->AppendChild(point("s", "2.0", "child"));
  EXPECT_FALSE(c->Equals(d.get(), &ignore));
  d->AppendChild(point("t", "2.0000000001", "child"));
  EXPECT_TRUE(c->Equals(d.get(), &ignore));
}

TEST(SortRecords, StableNaturalOrderByNameOrValue) {
  auto chain = Chain({{"10", "a"}, {"A1", ""}, {"2", "a"}, {"1", ""}, {"2", "b"}, {"a2", ""}, {"2", "c"}});
  chain = SortRecords(std::move(chain));
  EXPECT_EQ(Names(chain.get()), (std::vector<std::string>{"1", "2/a", "2/b", "2/c", "10/a", "A1", "a2"}));
  chain = SortRecords(std::move(chain), {}, true);
  EXPECT_EQ(Names(chain.get()), (std::vector<std::string>{"a2", "A1", "10/a", "2/a", "2/b", "2/c", "1"}));
  // Appending after a sort goes to the real end.
  chain->Append(std::make_unique<OvUniRecord>("last"));
  EXPECT_EQ(Names(chain.get()).back(), "last");

  auto by_value = Chain({{"x", ""}, {"y", ""}, {"z", ""}});
  by_value->SetText("h", "30");
  by_value->Next()->SetText("h", "4");
  by_value = SortRecords(std::move(by_value), "h");  // "z" has none: an empty text sorts first
  EXPECT_EQ(Names(by_value.get()), (std::vector<std::string>{"z", "y", "x"}));
}

TEST(SortRecords, LongChainsSortAndDieWithoutDeepRecursion) {
  std::unique_ptr<OvUniRecord> head;
  constexpr int kCount = 200000;
  for (int i = kCount; i > 0; --i) {
    auto r = std::make_unique<OvUniRecord>(std::to_string(i % 1000) + "P" + std::to_string(i));
    if (head) {
      head->Append(std::move(r));
    } else {
      head = std::move(r);
    }
  }
  EXPECT_EQ(head->Count(), static_cast<size_t>(kCount));
  head = SortRecords(std::move(head));
  size_t n = 1;
  for (const OvUniRecord* r = head.get(); r->Next(); r = r->Next(), ++n) ASSERT_LE(r->Compare(r->Next()), 0);
  EXPECT_EQ(n, static_cast<size_t>(kCount));
  head.reset();  // deleting the chain must not recurse once per record
}

TEST(OvUniRecord, ChainOperations) {
  auto chain = Chain({{"A", "pt"}, {"B", "pt"}, {"C", "ln"}, {"D", "pt"}});
  EXPECT_EQ(chain->Find("c"), chain->Skip(2));
  EXPECT_EQ(chain->Find("", "ln"), chain->Skip(2));
  EXPECT_EQ(chain->Find("C", "pt"), nullptr);
  EXPECT_EQ(chain->Skip(9), nullptr);
  EXPECT_TRUE(chain->RemoveFromChain(chain->Skip(3)));  // the last one: the append cursor moves back
  EXPECT_FALSE(chain->RemoveFromChain(chain.get()));
  chain->Append(std::make_unique<OvUniRecord>("E"));
  EXPECT_EQ(Names(chain.get()), (std::vector<std::string>{"A/pt", "B/pt", "C/ln", "E"}));

  chain->AppendChild(std::make_unique<OvUniRecord>("child"));
  chain->SetText("v", "1", true, "integer");
  auto clone = chain->Clone();
  EXPECT_EQ(clone->Next(), nullptr);  // the record alone
  EXPECT_TRUE(clone->Equals(chain.get()));

  OvUniTable table;
  table.SetId("points");
  table.AppendRecord(std::move(chain));
  table.AppendRecord(std::make_unique<OvUniRecord>("F"));
  EXPECT_EQ(table.FirstRecord()->Count(), 5u);
  EXPECT_NE(table.FindRecord("f"), nullptr);
  auto second = std::make_unique<OvUniTable>();
  second->SetId("Widths");
  second->SetType("grid");
  OvUniTable* second_raw = second.get();
  table.AppendTable(std::move(second));
  EXPECT_EQ(table.FindTable("WIDTHS", "GRID"), second_raw);
  auto table_copy = table.Clone();
  EXPECT_EQ(table_copy->Next(), nullptr);
  EXPECT_EQ(table_copy->FirstRecord()->Count(), 5u);
  EXPECT_TRUE(table.RemoveTable(second_raw));
  EXPECT_EQ(table.Next(), nullptr);
}

}  // namespace
}  // namespace pelikon
