// The structure tree.
#include "reader/StructureTree.h"

namespace vexlor {

void StructureTree::DeleteRootChildren() {
    nodes_.clear();
    rows_.clear();
    TreeNode root;
    root.Label = "OPTfile";
    nodes_.push_back(std::move(root));
    rows_.push_back(0);
}

int32_t StructureTree::AddChild(int32_t parent, std::string label) {
    const auto index = static_cast<int32_t>(nodes_.size());
    TreeNode node;
    node.Parent = parent;
    node.Depth = nodes_[static_cast<size_t>(parent)].Depth + 1;
    node.Label = std::move(label);
    auto& siblings = nodes_[static_cast<size_t>(parent)].Children;
    rows_.push_back(static_cast<int32_t>(siblings.size()));
    siblings.push_back(index);
    nodes_.push_back(std::move(node));
    return index;
}

int32_t StructureTree::RowOf(int32_t index) const {
    return rows_[static_cast<size_t>(index)];
}

}  // namespace vexlor
