#include "analysis/series/core/mean_groups.h"

#include <algorithm>
#include <limits>

namespace series {
namespace {

// The question names the data sets it is about.
platform::Message duplicateQuestion(const char* text, const std::vector<std::string>& names)
{
    std::string listed;
    for (const std::string& name : names) listed += (listed.empty() ? "" : ", ") + name;
    return platform::withButtons(platform::information(text + std::string("\nAlready in the list: ") + listed, "Data arrangement"),
                                 platform::Buttons::YesNoCancel);
}

// Counters only ever grow; they stop at the largest value rather than wrap into reused names.
void raise(int& counter)
{
    if (counter < std::numeric_limits<int>::max()) ++counter;
}

}  // namespace

void MeanValueGroups::setDataSets(std::vector<std::string> names)
{
    names_ = std::move(names);
    checked_.assign(names_.size(), false);
    updateButtons();
}

bool MeanValueGroups::isChecked(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < checked_.size() && checked_[static_cast<std::size_t>(index)];
}

void MeanValueGroups::setChecked(int index, bool checked)
{
    if (index < 0 || static_cast<std::size_t>(index) >= checked_.size()) return;
    checked_[static_cast<std::size_t>(index)] = checked;
    updateButtons();
}

void MeanValueGroups::updateButtons()
{
    int count = 0;
    for (std::size_t i = 0; i < checked_.size(); ++i) {
        if (checked_[i]) {
            ++count;
            checkedIndex_ = static_cast<int>(i);
        }
    }
    connectEnabled_ = count >= 2;
    singleEnabled_ = count == 1;
}

void MeanValueGroups::uncheckAll()
{
    std::fill(checked_.begin(), checked_.end(), false);
    updateButtons();
}

bool MeanValueGroups::inTree(int dataSet) const
{
    for (const auto& node : nodes_) {
        if (node.single && node.dataSet == dataSet) return true;
        for (const auto& m : node.members)
            if (m.dataSet == dataSet) return true;
    }
    return false;
}

bool MeanValueGroups::connect(const Ask& ask)
{
    if (!connectEnabled_) return false;
    std::vector<std::string> duplicates;
    for (std::size_t i = 0; i < checked_.size(); ++i)
        if (checked_[i] && inTree(static_cast<int>(i) + 1)) duplicates.push_back(names_[i]);
    if (!duplicates.empty()) {
        const platform::Answer a =
            ask(duplicateQuestion("An entry is already part of the list, do you want to add it again?", duplicates));
        if (a == platform::Answer::Cancel) uncheckAll();
        if (a != platform::Answer::Yes) return false;
    }
    raise(groupCounter_);
    GroupNode g;
    g.id = nextId_++;
    g.key = g.text = "Group " + std::to_string(groupCounter_);
    for (std::size_t i = 0; i < checked_.size(); ++i) {
        if (!checked_[i]) continue;
        GroupMember m;
        m.id = nextId_++;
        m.dataSet = static_cast<int>(i) + 1;
        m.key = g.key + "_" + std::to_string(++g.memberCounter);
        m.text = names_[i];
        g.members.push_back(std::move(m));
    }
    lastAdded_ = g.members.back().id;
    nodes_.push_back(std::move(g));
    uncheckAll();
    eraseEnabled_ = true;
    return true;
}

bool MeanValueGroups::single(const Ask& ask)
{
    if (!singleEnabled_) return false;
    const int index = checkedIndex_;
    if (inTree(index + 1)) {
        const platform::Answer a = ask(duplicateQuestion("This entry is already part of the list, do you want to add it again?",
                                                         {names_[static_cast<std::size_t>(index)]}));
        if (a == platform::Answer::Cancel) setChecked(index, false);
        if (a != platform::Answer::Yes) return false;
    }
    raise(singleCounter_);
    GroupNode s;
    s.id = nextId_++;
    s.single = true;
    s.key = "Single " + std::to_string(singleCounter_);
    s.text = names_[static_cast<std::size_t>(index)];
    s.dataSet = index + 1;
    lastAdded_ = s.id;
    nodes_.push_back(std::move(s));
    setChecked(index, false);
    eraseEnabled_ = true;
    return true;
}

std::optional<platform::Message> MeanValueGroups::erase(int id)
{
    std::optional<platform::Message> refusal;
    for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
        if (it->id == id) {
            nodes_.erase(it);
            break;
        }
        auto m = std::find_if(it->members.begin(), it->members.end(), [id](const GroupMember& x) { return x.id == id; });
        if (m == it->members.end()) continue;
        if (it->members.size() >= 3) {
            it->members.erase(m);
        } else {
            refusal = platform::information("For a mean value at least two datasets are needed!", "Not enough datasets");
        }
        break;
    }
    if (nodes_.empty()) eraseEnabled_ = false;
    return refusal;
}

GroupSummary MeanValueGroups::summary(const Results& results) const
{
    GroupSummary s;
    s.groupSizes.push_back(0);
    auto row = [&](std::string first, const std::string& text, int dataSet) {
        const auto r = results ? results(dataSet) : std::array<std::string, 3>{};
        s.rows.push_back({std::move(first), text, r[0], r[1], r[2]});
    };
    for (const auto& node : nodes_) {
        ++s.groupCount;
        if (node.single) {
            s.groupSizes.push_back(1);
            row("Single", node.text, node.dataSet);
        } else {
            s.groupSizes.push_back(static_cast<int>(node.members.size()));
            for (std::size_t i = 0; i < node.members.size(); ++i)
                row(i == 0 ? node.text : std::string(), node.members[i].text, node.members[i].dataSet);
        }
        s.rows.push_back({});
    }
    return s;
}

}  // namespace series
