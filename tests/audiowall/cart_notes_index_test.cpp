#include <gtest/gtest.h>

#include "audiowall/audiowall_store.h"
#include "audiowall/cart_notes_index.h"
#include "support/audiowall_fixture.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

TEST(CartNotesIndex, FindsTheNotesCartNotesFileFinds) {
    testing::TempDir dir;
    AudiowallState state;
    testing::WriteAudiowall(dir.path(), 2500, {});
    testing::PointAudiowallAt(state, dir.path(), 2500);
    dir.WriteFile("VNT00001.RTF", "rich");
    dir.WriteFile("VNT00002.TXT", "plain");
    dir.WriteFile("VNT00003.RTF", "rich wins");
    dir.WriteFile("VNT00003.TXT", "plain loses");
    dir.WriteFile("vnt01500.rtf", "written by a program that likes small letters");
    dir.WriteFile("VNT00004.WAV", "audio is not notes");

    CartNotesIndex index(state);
    for (int32_t cart : {1, 2, 3, 4, 5, 1500, 0, 2501, -3}) {
        bool exists = false;
        std::string expected = CartNotesFile(state, cart, exists);
        EXPECT_EQ(index.NotesFile(cart), exists ? expected : "") << cart;
    }
    EXPECT_EQ(index.NotesFile(1500), dir / "vnt01500.rtf");
    EXPECT_EQ(index.NotesFile(3), dir / "VNT00003.RTF");
}

}  // namespace
}  // namespace vantor
