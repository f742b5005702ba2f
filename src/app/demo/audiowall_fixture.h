#pragma once
// Builds an Audiowall on disk for tests and demos: Audwall.ini and full-length cart lists in
// one directory shared by every part, with the given carts written at their record offsets
// and empty records everywhere else.
//
//   TempDir dir;
//   WriteAudiowall(dir.path(), 9999, {{1, "Jingle", 12.5f}, {2, "Silent bed", 30, false}});
//   WriteAudiowallLocations(configFile, dir.path(), 9999);  // FileLocations Carts1..Carts10
//   // or, without settings files:
//   PointAudiowallAt(state, dir.path(), 9999);

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "audiowall/cart_record.h"

namespace vantor::demo {

struct FixtureCart {
    FixtureCart() = default;
    FixtureCart(int32_t number, std::string title, float length, bool hasAudio = true)
        : number(number), title(std::move(title)), length(length), hasAudio(hasAudio) {}

    int32_t number = 0;
    std::string title;     // title line 1 (UTF-8, up to 50 characters)
    float length = 0;      // seconds: the cart's Length, and its AudioLength when it has audio
    bool hasAudio = true;  // false: AudioLength 0, a cart with titles but no audio
    std::string title2;
    std::string title3;
    float introStart = 0;  // Times[0]
    float introEnd = 0;    // Times[1]
};

// The record a FixtureCart stands for (markers from 0 to the length when it has audio).
CartRecord FixtureCartRecord(const FixtureCart& cart);

// The cart list file name of part n ("Carts3.lst").
std::string CartListName(int part);

// Writes Audwall.ini (NoCarts = maxCart, Version = version unless empty) and the lists of parts
// 1 to the last part in use into directory (created when missing); each list is as long as the
// part expects. Carts with a number outside 1 to maxCart are ignored.
void WriteAudiowall(const std::string& directory, int32_t maxCart,
                    const std::vector<FixtureCart>& carts, const std::string& version = "2.6");

// Writes one record into a list file at its offset (the file is extended when shorter).
void WriteCartListRecord(const std::string& listPath, int32_t recordNumber,
                         const CartListRecord& record);
void WriteCart(const std::string& listPath, int32_t recordNumber, const CartRecord& cart);

// Points every part in use at directory in a configuration file (section FileLocations,
// keys Carts1 ... CartsN).
void WriteAudiowallLocations(const std::string& configFile, const std::string& directory,
                             int32_t maxCart);

// Sets the part directories and MaxCart of a state directly, for tests that need no settings
// files; the lists are opened by OpenAudiowall or by the first lookup.
void PointAudiowallAt(AudiowallState& state, const std::string& directory, int32_t maxCart);

}  // namespace vantor::demo
