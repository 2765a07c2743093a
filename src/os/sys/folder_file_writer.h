#pragma once
// The one way a file whose name came from outside is written: inside one folder, under a
// temporary name of our own first, and under its leaf name only when it is complete. The
// folder is opened once and every step is relative to it (openat), so neither a link waiting
// under the leaf name nor one put there meanwhile leads the bytes elsewhere: the temporary
// file is created new (O_EXCL, O_NOFOLLOW) and the last step renames it, which replaces a
// link itself, never its target. Nothing is overwritten silently: Commit replaces an entry
// only when told to.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace os {

// What Commit does with an entry that holds the leaf name already.
enum class ExistingEntry { kKeep, kReplace };

class FolderFileWriter {
  public:
    // Starts a file named `leaf` (one path component: no '/' or '\\', not "." or "..") in
    // `folder` (GBK). Null when the folder cannot be opened, the leaf is no single
    // component or the temporary file cannot be made.
    static std::unique_ptr<FolderFileWriter> Begin(std::string_view folder, std::string_view leaf);
    // Unless committed, the temporary file is removed: no partial file is ever left.
    ~FolderFileWriter();
    FolderFileWriter(const FolderFileWriter&) = delete;
    FolderFileWriter& operator=(const FolderFileWriter&) = delete;

    // Appends bytes; false on a write error (the file is then abandoned at Commit).
    bool Write(std::string_view bytes);
    std::uint64_t Written() const { return written_; }

    // Flushes the file and gives it its name. With kKeep an existing entry of that name stays
    // and the commit fails (the temporary file is removed). False on any failure.
    bool Commit(ExistingEntry existing);
    // Removes the temporary file now.
    void Abandon();

    // The name the file gets (folder + '/' + leaf, GBK).
    const std::string& FinalPath() const { return finalPath_; }

  private:
    FolderFileWriter(int folderFd, int fileFd, std::string tempName, std::string leafNative,
                     std::string finalPath);

    int folderFd_ = -1;
    int fileFd_ = -1;
    std::string tempName_;
    std::string leafNative_;
    std::string finalPath_;
    std::uint64_t written_ = 0;
    bool failed_ = false;
    bool done_ = false;
};

// Whether a received file may take `leaf` in `folder`: nothing holds the name, or a regular
// file we may write does (a link, a folder or a read-only file under that name is no file to
// replace).
enum class LeafState { kFree, kReplaceableFile, kNotReplaceable };
LeafState InspectLeaf(std::string_view folder, std::string_view leaf);

}  // namespace os
