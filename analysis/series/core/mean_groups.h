#pragma once
// The mean value groups of a series window: the check list of data sets, the groups and
// singles built from it, and the listing the report averages. Standard library only.
#include "platform/message.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace series {

struct GroupMember {
    int id = 0;
    int dataSet = 0;     // 1-based data set of the window
    std::string key;     // "Group k_m"
    std::string text;    // the data-file name as the list shows it
};

// A child of the root: a group (with members) or a single (one data set, no children).
struct GroupNode {
    int id = 0;
    bool single = false;
    std::string key;     // "Group k" or "Single s"
    std::string text;    // "Group k", or the data-file name of a single
    int dataSet = 0;     // a single's data set
    std::vector<GroupMember> members;
    int memberCounter = 0;
};

struct GroupSummary {
    std::vector<std::array<std::string, 5>> rows;  // grid rows from row 2 on
    std::vector<int> groupSizes;                   // 0..groupCount, entry 0 unused
    int groupCount = 0;
};

class MeanValueGroups {
public:
    static constexpr const char* kRootText = "Mean value groups";
    static constexpr int kRootId = 0;

    using Ask = std::function<platform::Answer(const platform::Message&)>;
    // cd, fr0 and fit quality of a data set as the result grid shows them.
    using Results = std::function<std::array<std::string, 3>(int dataSet)>;

    // The window's data sets in series order (the entries of the check list, all unchecked).
    void setDataSets(std::vector<std::string> names);
    const std::vector<std::string>& names() const { return names_; }

    // A check changed: recounts, moves checkedIndex to the last checked entry, sets the buttons.
    void setChecked(int index, bool checked);
    bool isChecked(int index) const;
    int checkedIndex() const { return checkedIndex_; }
    bool connectEnabled() const { return connectEnabled_; }
    bool singleEnabled() const { return singleEnabled_; }
    bool eraseEnabled() const { return eraseEnabled_; }

    // "Create mean value group": a group of the checked entries. A checked data set already in
    // the tree brings up the question; Yes adds anyway, No keeps the checks, Cancel clears them.
    // True when a group was added.
    bool connect(const Ask& ask);
    // "Analyse separately": the one checked entry as a single.
    bool single(const Ask& ask);
    // "Delete" of the node `id`; the message when it is refused. The root stays.
    std::optional<platform::Message> erase(int id);

    const std::vector<GroupNode>& nodes() const { return nodes_; }
    int groupCounter() const { return groupCounter_; }
    int singleCounter() const { return singleCounter_; }
    // The id of the node added last (for scrolling it into view); -1 before any.
    int lastAddedId() const { return lastAdded_; }

    GroupSummary summary(const Results& results) const;

private:
    bool inTree(int dataSet) const;
    void uncheckAll();
    void updateButtons();

    std::vector<std::string> names_;
    std::vector<bool> checked_;
    std::vector<GroupNode> nodes_;
    int checkedIndex_ = 0;
    bool connectEnabled_ = false;
    bool singleEnabled_ = false;
    bool eraseEnabled_ = false;
    int groupCounter_ = 0;
    int singleCounter_ = 0;
    int nextId_ = 1;
    int lastAdded_ = -1;
};

}  // namespace series
