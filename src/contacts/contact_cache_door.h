#pragma once
// The seam where the contact cache files meet the loading of the main panel's trees. While
// nothing is plugged in, no tree is read from a cache (every list comes from the server) and
// nothing is saved; the start-up log names the door as waiting for the contact caches.

namespace contacts {

class CIMTree;

enum class TreeRole { Roster, PhoneBook, Directory };

class ContactCacheStore {
  public:
    virtual ~ContactCacheStore() = default;
    // Fills `tree` (empty) from its cache file; true when it did. A false answer leaves the
    // tree empty, and the caller fetches the whole list.
    virtual bool LoadCachedTree(CIMTree& /*tree*/, TreeRole /*role*/) { return false; }
    // Writes the caches of the trees that changed (before they are emptied at log-out).
    virtual void SaveContactCaches(CIMTree& /*tree*/, TreeRole /*role*/) {}
};

}  // namespace contacts
