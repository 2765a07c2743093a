#pragma once
// What the import and export entries of the contact door do: the export asks for a file and
// writes the tree to it; the import asks for a file and opens the import dialog on it. The
// flag picks the tree: set, the private phone book; clear, the buddy list. UI thread only.

#include <functional>
#include <memory>

namespace os {
class Window;
}

namespace contacts {

class CDlgImportContacts;
class CIMTree;
class ContactTrees;

inline constexpr const char* kExportDefaultName = "联系人.csv";
inline constexpr const char* kExportFailed = "创建文件失败!";
inline constexpr const char* kExportDone = "导出成功!";

class ContactTransferFlows {
  public:
    ContactTransferFlows(ContactTrees& trees, std::function<os::Window*()> panel);
    ~ContactTransferFlows();

    void ShowExport(bool phoneBook);
    void ShowImport(bool phoneBook);
    // The open import dialog, or null.
    CDlgImportContacts* importDialog() const;

  private:
    CIMTree* Target(bool phoneBook) const;
    std::string TitleOf(std::string_view topKind) const;

    ContactTrees& trees_;
    std::function<os::Window*()> panel_;
    std::unique_ptr<CDlgImportContacts> importDialog_;
};

}  // namespace contacts
