#pragma once
// Another program holding a database open: a child process opens the file through the engine
// and keeps it open until the test lets it go, so that the file's in-use lock is held by a
// different process, as on a second workstation.

#include <sys/types.h>

#include <string>

#include "dbengine/database_store.h"

namespace vantor::testing {

class HeldOpenElsewhere {
  public:
    // Returns once the child has the database open (or failed to open it: see Opened()).
    explicit HeldOpenElsewhere(const std::string& path);
    // The same for a database of a store: on a server, another connection holds it.
    HeldOpenElsewhere(const DatabaseStore& store, const std::string& name);
    ~HeldOpenElsewhere();  // lets the child close the database and waits for it
    HeldOpenElsewhere(const HeldOpenElsewhere&) = delete;
    HeldOpenElsewhere& operator=(const HeldOpenElsewhere&) = delete;

    bool Opened() const { return opened_; }
    // Lets the child close the database and end, and waits for it.
    void Release();

  private:
    pid_t child_ = -1;
    int release_ = -1;  // the child ends when this pipe closes
    bool opened_ = false;
};

}  // namespace vantor::testing
