#pragma once
// The wave formats voice links can be recorded in: a catalogue of format tags with their names,
// the channel counts and sample rates each offers, and the text that describes a format.
// It stands in for the desktop's audio compression manager, so the same names and details show
// on every workstation whatever codecs it has installed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

// The first fields of a wave format description: what the voice-link settings store.
struct WaveFormat {
    uint16_t tag = 1;
    uint16_t channels = 2;
    uint32_t samplesPerSecond = 44100;

    friend bool operator==(const WaveFormat&, const WaveFormat&) = default;
};

namespace wave_tag {
inline constexpr uint16_t kPcm = 0x0001;
inline constexpr uint16_t kMicrosoftAdpcm = 0x0002;
inline constexpr uint16_t kIeeeFloat = 0x0003;
inline constexpr uint16_t kALaw = 0x0006;
inline constexpr uint16_t kMuLaw = 0x0007;
inline constexpr uint16_t kImaAdpcm = 0x0011;
inline constexpr uint16_t kGsm610 = 0x0031;
inline constexpr uint16_t kMpegLayer3 = 0x0055;
}  // namespace wave_tag

struct WaveFormatTag {
    uint16_t tag;
    std::string name;
    std::vector<uint16_t> channels;  // the counts offered, ascending
    std::vector<uint32_t> rates;     // samples per second offered, ascending
    // Bits per sample of this format when made from 16-bit PCM; 0 for formats without
    // a fixed sample size (GSM, MPEG).
    uint16_t bitsPerSample;
};

// Every format tag known, in the order a chooser lists them (PCM first).
const std::vector<WaveFormatTag>& WaveFormatTags();
// The catalogue entry of a tag; nullptr when the tag is not known.
const WaveFormatTag* FindWaveFormatTag(uint16_t tag);

// The complete format made from 16-bit PCM of the same channels and rate: its bits per sample.
struct SuggestedWaveFormat {
    WaveFormat format;
    uint16_t bitsPerSample = 0;
};
// nullopt when the tag is unknown or does not offer that channel count and rate.
std::optional<SuggestedWaveFormat> SuggestWaveFormat(const WaveFormat& wanted);

// The nearest format the catalogue offers: the same tag when known (PCM otherwise), the
// channel count and rate nearest the wanted ones. Where a format-choice dialog starts.
WaveFormat NearestOfferedWaveFormat(const WaveFormat& wanted);

// "44.100 kHz, 16 Bit, Stereo": rate, bits (when the format has a fixed size) and channels.
std::string WaveFormatDetailsText(const SuggestedWaveFormat& format);
// The tag's name, a space, and the details of the suggested format; a part that cannot be
// given (unknown tag, channels or rate the tag does not offer) stays empty.
std::string WaveFormatDescription(const WaveFormat& format);

}  // namespace vantor
