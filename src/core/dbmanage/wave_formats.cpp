#include "dbmanage/wave_formats.h"

#include <algorithm>
#include <cstdio>

namespace vantor {

namespace {

const std::vector<uint32_t> kStudioRates = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 96000};
const std::vector<uint32_t> kCodecRates = {8000, 11025, 22050, 44100};
const std::vector<uint32_t> kMpegRates = {8000,  11025, 12000, 16000, 22050,
                                          24000, 32000, 44100, 48000};
const std::vector<uint16_t> kMonoStereo = {1, 2};

template <typename T>
T Nearest(const std::vector<T>& offered, T wanted) {
    T best = offered.front();
    for (T value : offered) {
        auto distance = [&](T v) { return v > wanted ? v - wanted : wanted - v; };
        if (distance(value) < distance(best)) best = value;
    }
    return best;
}

}  // namespace

const std::vector<WaveFormatTag>& WaveFormatTags() {
    static const std::vector<WaveFormatTag> tags = {
        {wave_tag::kPcm, "PCM", kMonoStereo, kStudioRates, 16},
        {wave_tag::kImaAdpcm, "IMA ADPCM", kMonoStereo, kCodecRates, 4},
        {wave_tag::kMicrosoftAdpcm, "Microsoft ADPCM", kMonoStereo, kCodecRates, 4},
        {wave_tag::kGsm610, "GSM 6.10", {1}, kCodecRates, 0},
        {wave_tag::kMpegLayer3, "MPEG Layer-3", kMonoStereo, kMpegRates, 0},
        {wave_tag::kALaw, "CCITT A-Law", kMonoStereo, kCodecRates, 8},
        {wave_tag::kMuLaw, "CCITT u-Law", kMonoStereo, kCodecRates, 8},
        {wave_tag::kIeeeFloat, "IEEE Float", kMonoStereo, kStudioRates, 32},
    };
    return tags;
}

const WaveFormatTag* FindWaveFormatTag(uint16_t tag) {
    for (const WaveFormatTag& entry : WaveFormatTags()) {
        if (entry.tag == tag) return &entry;
    }
    return nullptr;
}

std::optional<SuggestedWaveFormat> SuggestWaveFormat(const WaveFormat& wanted) {
    const WaveFormatTag* entry = FindWaveFormatTag(wanted.tag);
    if (!entry) return std::nullopt;
    auto offers = [](const auto& list, auto value) {
        return std::find(list.begin(), list.end(), value) != list.end();
    };
    if (!offers(entry->channels, wanted.channels) || !offers(entry->rates, wanted.samplesPerSecond))
        return std::nullopt;
    return SuggestedWaveFormat{wanted, entry->bitsPerSample};
}

WaveFormat NearestOfferedWaveFormat(const WaveFormat& wanted) {
    const WaveFormatTag* entry = FindWaveFormatTag(wanted.tag);
    if (!entry) entry = &WaveFormatTags().front();
    return {entry->tag, Nearest(entry->channels, wanted.channels),
            Nearest(entry->rates, wanted.samplesPerSecond)};
}

std::string WaveFormatDetailsText(const SuggestedWaveFormat& suggested) {
    const WaveFormat& format = suggested.format;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%u.%03u kHz", format.samplesPerSecond / 1000,
                  format.samplesPerSecond % 1000);
    std::string text = rate;
    if (suggested.bitsPerSample > 0)
        text += ", " + std::to_string(suggested.bitsPerSample) + " Bit";
    switch (format.channels) {
        case 1:
            text += ", Mono";
            break;
        case 2:
            text += ", Stereo";
            break;
        default:
            text += ", " + std::to_string(format.channels) + " Channels";
            break;
    }
    return text;
}

std::string WaveFormatDescription(const WaveFormat& format) {
    const WaveFormatTag* entry = FindWaveFormatTag(format.tag);
    std::string name = entry ? entry->name : "";
    auto suggested = SuggestWaveFormat(format);
    return name + " " + (suggested ? WaveFormatDetailsText(*suggested) : "");
}

}  // namespace vantor
