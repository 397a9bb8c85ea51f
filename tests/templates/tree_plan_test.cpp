// SPDX-License-Identifier: MIT
// The template tree's plan over rows as values: which rows become nodes, where and how
// deep, and how a row that cannot be shown is refused.
#include <gtest/gtest.h>

#include "templates/tree_plan.h"

namespace {

using templates::LoadErrors;
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

TEST(TreePlan, PlacesEachRowBelowAParentPlacedBeforeItAndRefusesTheRest) {
    const std::string head = "template library: entry ";
    const struct {
        const char* what;
        templates::TreeRows rows;
        std::string placed;  // by the browser; the wizard stops at the "|"
        std::vector<std::string> refusals;
    } cases[] = {
        {"folders, then fields; another kind is left out without a word",
         {{row("3", "0"), row("7", "3"), row("8", "3", "x", "f")},
          {row("9", "7", "x", "A"), row("10", "3", "x", "a"), row("11", "9", "x", "A")}},
         "3<0:1 7<3:2 9<7:3 11<9:4 ",
         {}},
        {"a child before its parent, and its subtree",
         {{row("20", "0"), row("2", "9", "子"), row("9", "20")},
          {row("4", "2", "x", "A"), row("5", "9", "x", "A")}},
         "20<0:1 |9<20:2 5<9:3 ",
         {"2 (子) under 9: no node has the key '9'", "4 (x) under 2: no node has the key '2'"}},
        {"a taken key",
         {{row("3", "0"), row("3", "0", "二")}, {row("6", "3", "x", "A")}},
         "3<0:1 |6<3:2 ",
         {"3 (二) under 0: a node already has the key '3'"}},
        {"no number or no parent",
         {{row(nullptr, "0", "無"), row("4", nullptr, "空"), row("5", "0")}, {}},
         "|5<0:1 ",
         {" (無) under 0: an entry without a number or parent number",
          "4 (空) under : an entry without a number or parent number"}},
    };
    for (const auto& c : cases) {
        const templates::TreePlan skip = templates::planTree(c.rows, LoadErrors::kSkip);
        const std::string stopped = c.placed.substr(0, c.placed.find('|'));
        std::string all = c.placed;
        std::erase(all, '|');
        EXPECT_EQ(placed(skip), all) << c.what;
        std::vector<std::string> refusals;
        for (const std::string& r : c.refusals) {
            refusals.push_back(head + r);
        }
        EXPECT_EQ(skip.refusals, refusals) << c.what;
        const templates::TreePlan stop = templates::planTree(c.rows, LoadErrors::kStop);
        EXPECT_EQ(placed(stop), stopped) << c.what;
        EXPECT_EQ(stop.refusals,
                  std::vector(refusals.begin(), refusals.begin() + (refusals.empty() ? 0 : 1)))
            << c.what;
    }
}

// A chain of folders, each inside the one before: 1,000 levels below the root are shown.
TEST(TreePlan, RefusesARowMoreThanAThousandLevelsBelowTheRoot) {
    templates::TreeRows rows;
    for (int i = 1; i <= 1001; ++i) {
        const std::string n = std::to_string(i);
        rows.folders.push_back(row(n.c_str(), std::to_string(i - 1).c_str(), ("深" + n).c_str()));
    }
    const templates::TreePlan plan = templates::planTree(rows, LoadErrors::kSkip);
    EXPECT_EQ(plan.entries.size(), 1000u);
    EXPECT_EQ(plan.refusals,
              std::vector<std::string>{"template library: entry 1001 (深1001) under 1000: "
                                       "more than 1000 levels below the root"});
}

}  // namespace
