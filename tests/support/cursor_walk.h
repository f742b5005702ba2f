#pragma once
// Walking a table or query result in a test: a failed step fails the test and ends the walk
// (a cursor that cannot move would otherwise stay on its row for ever).

#include <gtest/gtest.h>

#include "dbengine/engine.h"

namespace vantor::testing {

// To the first row; true when the walk may go on (an empty table is no failure: it is at Eof).
template <typename Cursor>
bool First(Cursor& cursor) {
    DbError e = cursor.MoveFirst();
    if (!e.Ok() && e.number != 3021)
        ADD_FAILURE() << "MoveFirst: " << e.number << " " << e.description;
    return e.Ok() || e.number == 3021;
}

template <typename Cursor>
bool Next(Cursor& cursor) {
    DbError e = cursor.MoveNext();
    if (!e.Ok()) ADD_FAILURE() << "MoveNext: " << e.number << " " << e.description;
    return e.Ok();
}

}  // namespace vantor::testing
