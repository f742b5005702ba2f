#pragma once
// The importer's settings as the session holds them for the run: the purge age, the under-run
// threshold, the cart ranges that decide what kind of entry an item becomes, and whether users
// must log in. Plain values, so that the session (and whatever takes one, the database manager
// among them) needs nothing of the importer; the importer reads and writes them
// (importer/import_settings.h).

#include <cstdint>

namespace vantor {

// Five inclusive ranges of cart numbers. Nothing keeps them apart: where they overlap, the
// importer tests jingles, sweepers, adverts, cart groups and songs in that order.
struct CartRanges {
    int32_t JinglesStart = 1;
    int32_t JinglesEnd = 500;
    int32_t SweepersStart = 501;
    int32_t SweepersEnd = 999;
    int32_t CartGroupsStart = 80001;
    int32_t CartGroupsEnd = 80099;
    int32_t AdvertsStart = 1001;
    int32_t AdvertsEnd = 1999;
    int32_t SongsStart = 3000;
    int32_t SongsEnd = 6999;

    bool operator==(const CartRanges&) const = default;
};

struct ImportSettings {
    int32_t AutoPurgeDatabaseDays = 3;    // days of entries the automatic purge keeps
    int32_t UnderrunningDuration = 3600;  // seconds an hour must hold not to be reported
    CartRanges Ranges;
    // -1 not yet decided (the main window asks at start-up), 0 no, 1 yes.
    int16_t UsersMustLogin = -1;

    bool operator==(const ImportSettings&) const = default;
};

}  // namespace vantor
