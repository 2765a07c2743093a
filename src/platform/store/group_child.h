#pragma once
// One child of an organisation unit in the local directory store. A unit's children come as
// a std::vector in sibling order: the element after a child is its next sibling.

#include <string>
#include <utility>
#include <vector>

class CGroupChild {
  public:
    static constexpr int kUnit = 0;    // a sub-unit
    static constexpr int kPerson = 1;  // any other type value is a person as well

    CGroupChild() = default;
    CGroupChild(int type, std::string id, std::string name, std::string parentId)
        : type_(type), id_(std::move(id)), name_(std::move(name)), parentId_(std::move(parentId)) {}

    int GetType() const { return type_; }
    bool IsUnit() const { return type_ == kUnit; }
    const std::string& GetId() const { return id_; }
    const std::string& GetName() const { return name_; }
    const std::string& GetPId() const { return parentId_; }

    bool operator==(const CGroupChild&) const = default;

  private:
    int type_ = kUnit;
    std::string id_;  // unit id, or the person's JID
    std::string name_;
    std::string parentId_;  // id of the unit this child belongs to
};

using CGroupChildList = std::vector<CGroupChild>;
