// SPDX-License-Identifier: MIT
// The template tree's plan over rows as values: which rows become nodes, where and how
// deep, and which rows can never be placed.
#include <gtest/gtest.h>

#include <algorithm>

#include "templates/tree_plan.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using templates::TreeRow;

// A row numbered `number` below `parent`; nullptr is a null.
TreeRow row(const char* number, const char* parent, const char* name = "x",
            const char* kind = "F") {
    auto key = [](const char* text) {
        return text ? std::optional(QString::fromUtf8(text)) : std::nullopt;
    };
    return {key(number), key(parent), kind, name, std::nullopt, false};
}

// The placed entries as "number<parent:depth ".
std::string placed(const templates::TreePlan& plan) {
    std::string out;
    for (const templates::TreeEntry& e : plan.entries) {
        out += e.row->number->toStdString() + "<" + e.row->parent->toStdString() + ":" +
               std::to_string(e.depth) + " ";
    }
    return out;
}

// The refusals as "number:reason " (N no number, P no parent, K key taken, D too deep).
std::string refused(const templates::TreePlan& plan) {
    std::string out;
    for (const templates::TreeRefusal& r : plan.refusals) {
        out += r.row->number.value_or(u"-"_s).toStdString() + ":" + "NPKD"[int(r.reason)] + " ";
    }
    return out;
}

TEST(TreePlan, PlacesEachRowBelowItsParentOnceThatIsPlacedAndRefusesRowsThatNeverCanBe) {
    const struct {
        const char* what;
        templates::TreeRows rows;
        std::string placed;
        std::string refused;
    } cases[] = {
        {"folders, then fields; another kind is left out without a word",
         {{row("3", "0"), row("7", "3"), row("8", "3", "x", "f")},
          {row("9", "7", "x", "A"), row("10", "3", "x", "a"), row("11", "9", "x", "A")}},
         "3<0:1 7<3:2 9<7:3 11<9:4 ",
         ""},
        // Folder 960 moved into the newer 961, then 971 and 972 added below it: the folders'
        // query gives them before 960. All of them show, each below its parent.
        {"a folder moved into a newer folder keeps everything below it",
         {{row("20", "0"), row("961", "20"), row("962", "20"), row("971", "960", "G"),
           row("972", "960"), row("960", "961"), row("980", "961")},
          {row("4", "971", "x", "A"), row("5", "960", "x", "A")}},
         "20<0:1 961<20:2 962<20:2 960<961:3 971<960:4 972<960:4 980<961:3 4<971:5 5<960:4 ",
         ""},
        {"a field whose parent field comes later",
         {{}, {row("6", "0", "x", "A"), row("8", "9", "x", "A"), row("9", "6", "x", "A")}},
         "6<0:1 9<6:2 8<9:3 ",
         ""},
        {"no parent anywhere, and what is below it; a folder below a field",
         {{row("2", "9"), row("3", "2"), row("4", "6")}, {row("6", "0", "x", "A")}},
         "6<0:1 ",
         "2:P 3:P 4:P "},
        {"a cycle, and a row that is its own parent",
         {{row("5", "0"), row("12", "13"), row("13", "12"), row("14", "14")}, {}},
         "5<0:1 ",
         "12:P 13:P 14:P "},
        {"a number twice, also once placed late; the root's number",
         {{row("3", "0"), row("3", "0", "二"), row("4", "9"), row("9", "0"), row("0", "3")},
          {row("4", "3", "x", "A")}},
         "3<0:1 9<0:1 4<9:2 ",
         "3:K 0:K 4:K "},
        {"no number or no parent; the field below a folder without a parent number",
         {{row(nullptr, "0", "無"), row("4", nullptr, "空"), row("5", "0")},
          {row("7", "4", "x", "A")}},
         "5<0:1 ",
         "-:N 4:N 7:P "},
    };
    for (const auto& c : cases) {
        const templates::TreePlan plan = templates::planTree(c.rows);
        EXPECT_EQ(placed(plan), c.placed) << c.what;
        EXPECT_EQ(refused(plan), c.refused) << c.what;
    }
}

TEST(TreePlan, TellsHowManyRowsWereLeftOutAndTheFirst) {
    const templates::TreeRows rows{{row("2", "9", "孤"), row("3", "0"), row("3", "0")}, {}};
    EXPECT_EQ(templates::leftOut(templates::planTree(rows)),
              (templates::LeftOut{2, u"3"_s, u"x"_s}));
    EXPECT_EQ(templates::leftOut(templates::planTree({})), templates::LeftOut{});
}

// A chain of folders, each inside the one before: 1,000 levels below the root are shown.
TEST(TreePlan, RefusesARowMoreThanAThousandLevelsBelowTheRoot) {
    templates::TreeRows rows;
    for (int i = 1; i <= 1001; ++i) {
        const std::string n = std::to_string(i);
        rows.folders.push_back(row(n.c_str(), std::to_string(i - 1).c_str(), ("深" + n).c_str()));
    }
    const templates::TreePlan plan = templates::planTree(rows);
    EXPECT_EQ(plan.entries.size(), 1000u);
    EXPECT_EQ(refused(plan), "1001:D ");
    // The same chain listed from its deepest folder up: placed as each parent comes.
    std::reverse(rows.folders.begin(), rows.folders.end());
    const templates::TreePlan reversed = templates::planTree(rows);
    EXPECT_EQ(reversed.entries.size(), 1000u);
    EXPECT_EQ(refused(reversed), "1001:D ");
}

}  // namespace
