// Stand-in for the host's interface class of shapes kept in a document's data tree: it holds the
// tree node through which its operations reach the tree. Choice: the stand-in keeps the node
// only; a null node is the deriving class's to refuse.
#pragma once
#include <TDataStd_TreeNode.hxx>

class OCAF_IShape {
public:
    explicit OCAF_IShape(const Handle(TDataStd_TreeNode)& aTreeNode) : myTreeNode(aTreeNode) {}
    virtual ~OCAF_IShape() = default;
    const Handle(TDataStd_TreeNode)& GetEntry() const { return myTreeNode; }

protected:
    Handle(TDataStd_TreeNode) myTreeNode;
};
