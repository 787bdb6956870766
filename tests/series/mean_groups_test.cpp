// The mean value groups: check list, Connect, Single, Delete and the listing.
#include "analysis/series/core/mean_groups.h"

#include <gtest/gtest.h>

namespace {

using platform::Answer;
using series::MeanValueGroups;

// The tree as one line: "Group 1[a,b] Single 1(c)".
std::string render(const MeanValueGroups& g)
{
    std::string s;
    for (const auto& n : g.nodes()) {
        if (!s.empty()) s += ' ';
        if (n.single) {
            s += n.key + "(" + n.text + ")";
            continue;
        }
        s += n.key + "[";
        for (std::size_t i = 0; i < n.members.size(); ++i) s += (i ? "," : "") + n.members[i].text;
        s += "]";
    }
    return s;
}

// Buttons as letters: C connect, S single, E erase.
std::string buttons(const MeanValueGroups& g)
{
    return std::string(g.connectEnabled() ? "C" : "") + (g.singleEnabled() ? "S" : "") + (g.eraseEnabled() ? "E" : "");
}

std::string checks(const MeanValueGroups& g)
{
    std::string s;
    for (std::size_t i = 0; i < g.names().size(); ++i) s += g.isChecked(static_cast<int>(i)) ? 'x' : '.';
    return s;
}

int idOf(const MeanValueGroups& g, const std::string& key)
{
    for (const auto& n : g.nodes()) {
        if (n.key == key) return n.id;
        for (const auto& m : n.members)
            if (m.key == key) return m.id;
    }
    return -1;
}

enum class Op { Check, Uncheck, Connect, Single, Erase };
struct Step {
    Op op;
    int index = 0;            // list index for Check/Uncheck
    Answer answer = Answer::None;  // the answer to the duplicate question; None: no question expected
    std::string key;          // node to erase
    std::string tree, buttons, checks, message;
};

TEST(MeanValueGroups, CommandSequence)
{
    MeanValueGroups g;
    g.setDataSets({"a.ctd", "b.ctd", "c.ctd", "d.ctd"});
    const std::vector<Step> steps = {
        {Op::Check, 0, {}, {}, "", "S", "x...", ""},
        {Op::Check, 2, {}, {}, "", "C", "x.x.", ""},
        {Op::Connect, 0, {}, {}, "Group 1[a.ctd,c.ctd]", "E", "....", ""},
        // The same two again: asked; Cancel clears the checks and adds nothing.
        {Op::Check, 0, {}, {}, "Group 1[a.ctd,c.ctd]", "SE", "x...", ""},
        {Op::Check, 2, {}, {}, "Group 1[a.ctd,c.ctd]", "CE", "x.x.", ""},
        {Op::Connect, 0, Answer::Cancel, {}, "Group 1[a.ctd,c.ctd]", "E", "....", ""},
        // No keeps the checks.
        {Op::Check, 0, {}, {}, "Group 1[a.ctd,c.ctd]", "SE", "x...", ""},
        {Op::Check, 2, {}, {}, "Group 1[a.ctd,c.ctd]", "CE", "x.x.", ""},
        {Op::Connect, 0, Answer::No, {}, "Group 1[a.ctd,c.ctd]", "CE", "x.x.", ""},
        {Op::Connect, 0, Answer::Yes, {}, "Group 1[a.ctd,c.ctd] Group 2[a.ctd,c.ctd]", "E", "....", ""},
        // A member of a two-member group cannot go.
        {Op::Erase, 0, {}, "Group 2_1", "Group 1[a.ctd,c.ctd] Group 2[a.ctd,c.ctd]", "E", "....",
         "For a mean value at least two datasets are needed!"},
        {Op::Erase, 0, {}, "Group 1", "Group 2[a.ctd,c.ctd]", "E", "....", ""},
        // Numbers keep counting after deletions.
        {Op::Check, 1, {}, {}, "Group 2[a.ctd,c.ctd]", "SE", ".x..", ""},
        {Op::Check, 2, {}, {}, "Group 2[a.ctd,c.ctd]", "CE", ".xx.", ""},
        {Op::Check, 3, {}, {}, "Group 2[a.ctd,c.ctd]", "CE", ".xxx", ""},
        {Op::Connect, 0, Answer::Yes, {}, "Group 2[a.ctd,c.ctd] Group 3[b.ctd,c.ctd,d.ctd]", "E", "....", ""},
        // A member of a three-member group can go.
        {Op::Erase, 0, {}, "Group 3_2", "Group 2[a.ctd,c.ctd] Group 3[b.ctd,d.ctd]", "E", "....", ""},
        // Singles: no question for a data set not yet in the tree.
        {Op::Check, 3, {}, {}, "Group 2[a.ctd,c.ctd] Group 3[b.ctd,d.ctd]", "SE", "...x", ""},
        {Op::Uncheck, 3, {}, {}, "Group 2[a.ctd,c.ctd] Group 3[b.ctd,d.ctd]", "E", "....", ""},
        {Op::Erase, 0, {}, "Group 3", "Group 2[a.ctd,c.ctd]", "E", "....", ""},
        {Op::Check, 3, {}, {}, "Group 2[a.ctd,c.ctd]", "SE", "...x", ""},
        {Op::Single, 0, {}, {}, "Group 2[a.ctd,c.ctd] Single 1(d.ctd)", "E", "....", ""},
        {Op::Check, 3, {}, {}, "Group 2[a.ctd,c.ctd] Single 1(d.ctd)", "SE", "...x", ""},
        {Op::Single, 0, Answer::No, {}, "Group 2[a.ctd,c.ctd] Single 1(d.ctd)", "SE", "...x", ""},
        {Op::Single, 0, Answer::Cancel, {}, "Group 2[a.ctd,c.ctd] Single 1(d.ctd)", "E", "....", ""},
        {Op::Check, 0, {}, {}, "Group 2[a.ctd,c.ctd] Single 1(d.ctd)", "SE", "x...", ""},
        {Op::Single, 0, Answer::Yes, {}, "Group 2[a.ctd,c.ctd] Single 1(d.ctd) Single 2(a.ctd)", "E", "....", ""},
        // Deleting everything disables Delete.
        {Op::Erase, 0, {}, "Single 1", "Group 2[a.ctd,c.ctd] Single 2(a.ctd)", "E", "....", ""},
        {Op::Erase, 0, {}, "Group 2", "Single 2(a.ctd)", "E", "....", ""},
        {Op::Erase, 0, {}, "Single 2", "", "", "....", ""},
        {Op::Check, 1, {}, {}, "", "S", ".x..", ""},
        {Op::Check, 0, {}, {}, "", "C", "xx..", ""},
        {Op::Connect, 0, {}, {}, "Group 4[a.ctd,b.ctd]", "E", "....", ""},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        int asked = 0;
        std::string question;
        auto ask = [&](const platform::Message& m) {
            ++asked;
            question = m.text;
            EXPECT_EQ(m.title, "Data arrangement");
            EXPECT_EQ(m.buttons, platform::Buttons::YesNoCancel);
            EXPECT_EQ(m.icon, platform::Icon::Information);
            return s.answer;
        };
        std::string message;
        switch (s.op) {
        case Op::Check: g.setChecked(s.index, true); break;
        case Op::Uncheck: g.setChecked(s.index, false); break;
        case Op::Connect: g.connect(ask); break;
        case Op::Single: g.single(ask); break;
        case Op::Erase: {
            const int id = idOf(g, s.key);
            ASSERT_NE(id, -1) << "step " << i << " " << s.key;
            if (auto m = g.erase(id)) {
                message = m->text;
                EXPECT_EQ(m->title, "Not enough datasets");
                EXPECT_EQ(m->icon, platform::Icon::Information);
            }
            break;
        }
        }
        EXPECT_EQ(asked, s.answer == Answer::None ? 0 : 1) << "step " << i;
        if (asked) {
            EXPECT_EQ(question.substr(0, question.find('\n')), s.op == Op::Connect ? "An entry is already part of the list, do you want to add it again?"
                                                    : "This entry is already part of the list, do you want to add it again?")
                << "step " << i;
        }
        EXPECT_EQ(render(g), s.tree) << "step " << i;
        EXPECT_EQ(buttons(g), s.buttons) << "step " << i;
        EXPECT_EQ(checks(g), s.checks) << "step " << i;
        EXPECT_EQ(message, s.message) << "step " << i;
    }
}

TEST(MeanValueGroups, SummaryRowsSizesAndCountFindResultsByDataSet)
{
    MeanValueGroups g;
    // The same file twice in a series: each data set keeps its own results.
    g.setDataSets({"a.ctd", "b.ctd", "a.ctd"});
    auto noQuestion = [](const platform::Message&) { ADD_FAILURE() << "unexpected question"; return Answer::Cancel; };
    g.setChecked(0, true);
    g.setChecked(1, true);
    ASSERT_TRUE(g.connect(noQuestion));
    g.setChecked(2, true);  // a.ctd again, but another data set: no question
    ASSERT_TRUE(g.single(noQuestion));

    const auto s = g.summary([](int set) {
        const std::string n = std::to_string(set);
        return std::array<std::string, 3>{"cd" + n, "fr" + n, "q" + n};
    });
    using Row = std::array<std::string, 5>;
    const std::vector<Row> expected = {
        {"Group 1", "a.ctd", "cd1", "fr1", "q1"},
        {"", "b.ctd", "cd2", "fr2", "q2"},
        {},
        {"Single", "a.ctd", "cd3", "fr3", "q3"},
        {},
    };
    EXPECT_EQ(s.rows, expected);
    EXPECT_EQ(s.groupSizes, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(s.groupCount, 2);

    const auto empty = MeanValueGroups().summary(nullptr);
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_EQ(empty.groupSizes, std::vector<int>{0});
    EXPECT_EQ(empty.groupCount, 0);
}

}  // namespace

// The duplicate question names the data sets already in the list, and only those.
TEST(MeanValueGroups, TheDuplicateQuestionNamesTheDataSets)
{
    MeanValueGroups g;
    g.setDataSets({"a.ctd", "b.ctd", "c.ctd"});
    std::vector<std::string> asked;
    auto ask = [&](const platform::Message& m) {
        asked.push_back(m.text);
        return Answer::Yes;
    };
    g.setChecked(0, true);
    g.setChecked(1, true);
    ASSERT_TRUE(g.connect(ask));  // nothing in the list yet
    g.setChecked(1, true);
    g.setChecked(2, true);
    ASSERT_TRUE(g.connect(ask));
    g.setChecked(0, true);
    ASSERT_TRUE(g.single(ask));
    for (int i = 0; i < 3; ++i) g.setChecked(i, true);
    ASSERT_TRUE(g.connect(ask));
    const std::vector<std::string> expected = {
        "An entry is already part of the list, do you want to add it again?\nAlready in the list: b.ctd",
        "This entry is already part of the list, do you want to add it again?\nAlready in the list: a.ctd",
        "An entry is already part of the list, do you want to add it again?\nAlready in the list: a.ctd, b.ctd, c.ctd"};
    EXPECT_EQ(asked, expected);
}
