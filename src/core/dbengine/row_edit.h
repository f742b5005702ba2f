#pragma once
// One row being added or edited on a cursor: the fields are set one after the other, the first
// failure stops the rest, and an edit that was not stored is cancelled when the guard goes, so
// that no half-set row is left in the cursor's edit buffer whichever way the caller leaves.

#include <string_view>

#include "dbengine/engine.h"

namespace vantor {

class RowEdit {
  public:
    enum class Start { AddNew, Edit };

    RowEdit(TableCursor& cursor, Start start)
        : cursor_(cursor), error_(start == Start::AddNew ? cursor.AddNew() : cursor.Edit()) {}
    ~RowEdit() {
        if (!stored_) cursor_.CancelUpdate();
    }
    RowEdit(const RowEdit&) = delete;
    RowEdit& operator=(const RowEdit&) = delete;

    RowEdit& Set(std::string_view field, const DbValue& value) {
        if (error_.Ok()) error_ = cursor_.Set(field, value);
        return *this;
    }
    RowEdit& Set(int field, const DbValue& value) {
        if (error_.Ok()) error_ = cursor_.Set(field, value);
        return *this;
    }
    // Stores the row unless a step failed; the first failure of the edit, if any.
    DbError Store() {
        if (error_.Ok()) error_ = cursor_.Update();
        stored_ = error_.Ok();
        return error_;
    }
    const DbError& Error() const { return error_; }
    // Leaves the edit open for the caller, who sets the rest of the row and stores it.
    void HandOn() { stored_ = true; }

  private:
    TableCursor& cursor_;
    DbError error_;
    bool stored_ = false;
};

}  // namespace vantor
