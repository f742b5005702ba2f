#include "support/held_open_elsewhere.h"

#include <sys/wait.h>
#include <unistd.h>

#include "common/files.h"
#include "common/paths.h"
#include "dbengine/engine.h"

namespace vantor::testing {

HeldOpenElsewhere::HeldOpenElsewhere(const std::string& path)
    : HeldOpenElsewhere(*MakeFileStore(ParentDirectoryOf(path, false)), FileNameOf(path)) {}

HeldOpenElsewhere::HeldOpenElsewhere(const DatabaseStore& store, const std::string& name) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0) return;
    if (::pipe(release) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    child_ = ::fork();
    if (child_ == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        Database db;
        char opened = store.Open(name, db).Ok() ? '1' : '0';
        (void)!::write(ready[1], &opened, 1);
        char ignored;
        while (::read(release[0], &ignored, 1) > 0) {
        }
        db.Close();
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char opened = '0';
    if (child_ > 0 && ::read(ready[0], &opened, 1) == 1) opened_ = opened == '1';
    ::close(ready[0]);
}

void HeldOpenElsewhere::Release() {
    if (release_ >= 0) {
        ::close(release_);
        release_ = -1;
    }
    if (child_ > 0) {
        int status = 0;
        ::waitpid(child_, &status, 0);
        child_ = -1;
    }
}

HeldOpenElsewhere::~HeldOpenElsewhere() {
    Release();
}

}  // namespace vantor::testing
