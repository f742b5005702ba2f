#include "demo/audiowall_fixture.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "audiowall/audiowall_settings.h"
#include "audiowall/cart_numbers.h"
#include "common/profile.h"

namespace fs = std::filesystem;

namespace vantor::demo {

CartRecord FixtureCartRecord(const FixtureCart& cart) {
    CartRecord r = MakeEmptyCart(0x00FFFFFF, 0);
    r.TitleLine1 = cart.title;
    r.TitleLine2 = cart.title2;
    r.TitleLine3 = cart.title3;
    r.IntroStart() = cart.introStart;
    r.IntroEnd() = cart.introEnd;
    r.Length() = cart.length;
    r.AudioLength() = cart.hasAudio ? cart.length : 0;
    r.StartMarker() = 0;
    r.EndMarker() = r.AudioLength();
    r.MarkedLength() = r.AudioLength();
    // Stored and read back, so the titles come out padded the way a lookup returns them.
    CartRecordBytes bytes = EncodeCartListRecord(CartListRecordFrom(r));
    return CartRecordFromList(DecodeCartListRecord(bytes.data()));
}

std::string CartListName(int part) {
    return "Carts" + std::to_string(part) + ".lst";
}

void WriteAudiowall(const std::string& directory, int32_t maxCart,
                    const std::vector<FixtureCart>& carts, const std::string& version) {
    fs::create_directories(directory);
    std::string ini = AudwallIniPath(directory);
    WriteProfileString(ini, "Audiowall", "NoCarts", std::to_string(maxCart));
    if (!version.empty()) WriteProfileString(ini, "Audiowall", "Version", version);

    CartRecordBytes empty = EncodeCartListRecord(
        CartListRecordFrom(MakeEmptyCart(kDefaultEmptyCartBackColor, kDefaultEmptyCartForeColor)));
    int lastPart = LastPartInUse(maxCart);
    std::vector<std::string> lists(lastPart + 1);
    for (int part = 1; part <= lastPart; ++part)
        for (int32_t i = 0; i < ExpectedRecordCount(part, maxCart); ++i)
            lists[part].append(empty.data(), empty.size());
    for (const FixtureCart& cart : carts) {
        if (cart.number < 1 || cart.number > maxCart) continue;
        CartRecordBytes bytes = EncodeCartListRecord(CartListRecordFrom(FixtureCartRecord(cart)));
        lists[PartOfCart(cart.number)].replace(
            static_cast<size_t>(RecordOfCart(cart.number) - 1) * kCartRecordSize, kCartRecordSize,
            bytes.data(), bytes.size());
    }
    for (int part = 1; part <= lastPart; ++part) {
        std::ofstream out(fs::path(directory) / CartListName(part),
                          std::ios::binary | std::ios::trunc);
        out.write(lists[part].data(), static_cast<std::streamsize>(lists[part].size()));
        if (!out)
            throw std::runtime_error("cannot write the cart list of part " + std::to_string(part));
    }
}

void WriteCartListRecord(const std::string& listPath, int32_t recordNumber,
                         const CartListRecord& record) {
    if (!fs::exists(listPath)) std::ofstream(listPath, std::ios::binary);
    std::fstream file(listPath, std::ios::binary | std::ios::in | std::ios::out);
    CartRecordBytes bytes = EncodeCartListRecord(record);
    file.seekp(static_cast<std::streamoff>(recordNumber - 1) * kCartRecordSize);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + listPath);
}

void WriteCart(const std::string& listPath, int32_t recordNumber, const CartRecord& cart) {
    WriteCartListRecord(listPath, recordNumber, CartListRecordFrom(cart));
}

void WriteAudiowallLocations(const std::string& configFile, const std::string& directory,
                             int32_t maxCart) {
    for (int part = 1; part <= LastPartInUse(maxCart); ++part)
        WriteProfileString(configFile, "FileLocations", "Carts" + std::to_string(part), directory);
}

void PointAudiowallAt(AudiowallState& state, const std::string& directory, int32_t maxCart) {
    state.MaxCart = maxCart;
    for (int part = 1; part <= kAudiowallPartCount; ++part)
        state.Parts[part].Directory = part <= LastPartInUse(maxCart) ? directory : "";
}

}  // namespace vantor::demo
