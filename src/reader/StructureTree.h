// The structure tree of a loaded OPT file as plain data: nodes in pre-order (node k is the k-th
// node counted from the root), each with its parent, label and image index. The walk only ever
// appends a node as the last child of a node on its current path, so appending keeps pre-order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexlor {

// Image indices of the tree's four pictures.
enum TreeImage : int32_t { kImagePlain = 0, kImageJump = 1, kImageFace = 2, kImageHardpoint = 3 };

struct TreeNode {
    int32_t Parent = -1;  // -1 for the root
    int32_t Depth = 0;
    int32_t ImageIndex = kImagePlain;
    std::string Label;
    std::vector<int32_t> Children;
};

class StructureTree {
  public:
    StructureTree() { DeleteRootChildren(); }

    // Leaves only the root, "OPTfile".
    void DeleteRootChildren();
    // Adds a node as the last child of `parent` and returns its index, which is the node count
    // before the call.
    int32_t AddChild(int32_t parent, std::string label);
    void SetImage(int32_t node, int32_t image) {
        nodes_[static_cast<size_t>(node)].ImageIndex = image;
    }

    int32_t Count() const { return static_cast<int32_t>(nodes_.size()); }
    const TreeNode& Node(int32_t index) const { return nodes_[static_cast<size_t>(index)]; }
    // Position of a node among its parent's children.
    int32_t RowOf(int32_t index) const;

  private:
    std::vector<TreeNode> nodes_;
    std::vector<int32_t> rows_;
};

}  // namespace vexlor
