// Recipes for the audio files the media tests make with Debian's ffmpeg tool:
// what podcast feeds serve.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/MediaFiles.hpp"

namespace orvane::testing {

struct EncodedMedia {
    const char* name;
    std::string input;
    std::string output;
    std::string extension;
    double seconds;  // what the file holds

    platform::core::Data make() const { return encodeWithFfmpeg(input, output, extension); }
};

inline const std::string kTone5s = "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=5";
// Two seconds of noise, then silence: a VBR encoder spends far more bits on
// the start, so a duration estimated from the first frame's bit rate is wrong.
inline const std::string kNoiseThenSilence10s =
    "-f lavfi -i \"aevalsrc=if(lt(t\\,2)\\,random(0)*2-1\\,0):s=48000:d=10\"";

inline const EncodedMedia kCbrMp3{"CbrMp3", kTone5s, "-c:a libmp3lame -b:a 128k", "mp3", 5.0};
inline const EncodedMedia kVbrMp3Xing{"VbrMp3WithXing", kNoiseThenSilence10s, "-c:a libmp3lame -q:a 0", "mp3", 10.0};
inline const EncodedMedia kVbrMp3NoXing{"VbrMp3WithoutXing", kNoiseThenSilence10s,
                                        "-c:a libmp3lame -q:a 0 -write_xing 0", "mp3", 10.0};
inline const EncodedMedia kM4aMovieFirst{"M4aMovieAtStart", kTone5s, "-c:a aac -b:a 96k -movflags +faststart", "m4a",
                                         5.0};
inline const EncodedMedia kM4aMovieLast{"M4aMovieAtEnd", kTone5s, "-c:a aac -b:a 96k", "m4a", 5.0};
inline const EncodedMedia kM4aWithoutEditList{"M4aWithoutEditList", kTone5s, "-c:a aac -b:a 96k -use_editlist 0",
                                             "m4a", 5.0};
inline const EncodedMedia kOggOpus{"OggOpus", kTone5s, "-c:a libopus -b:a 64k", "ogg", 5.0};
inline const EncodedMedia kWav{"Wav", kTone5s, "-c:a pcm_s16le", "wav", 5.0};
inline const EncodedMedia kAdtsAac{"AdtsAac", kTone5s, "-c:a aac -b:a 96k", "aac", 5.0};
inline const EncodedMedia kFlac{"Flac", kTone5s, "-c:a flac", "flac", 5.0};

// Pink noise at a steady level: a VBR encoder spends about the same bits on
// every second of it.
inline const std::string kSteadyNoise30s = "-f lavfi -i anoisesrc=d=30:c=pink:r=44100:a=0.2";
inline const EncodedMedia kSteadyVbrMp3NoXing{"SteadyVbrMp3WithoutXing", kSteadyNoise30s,
                                              "-c:a libmp3lame -q:a 2 -write_xing 0", "mp3", 30.0};
// A minute whose first seconds are a quiet tone and the rest noise that
// fades: the first frame's bit rate makes it three times too long, and the
// seconds per byte of any stretch differ from those of the whole.
inline const EncodedMedia kToneThenNoiseVbrMp3NoXing{
    "ToneThenNoiseVbrMp3WithoutXing",
    "-f lavfi -i \"aevalsrc=if(lt(t\\,6)\\,0.3*sin(2*PI*440*t)\\,(random(0)*2-1)*0.5/(1+t/6)):s=44100:d=60\"",
    "-c:a libmp3lame -q:a 0 -write_xing 0", "mp3", 60.0};
// Six seconds never silent: loud noise, then a quiet tone. A VBR encoder
// spends most of its bits on the first half, so the bytes of its first
// seconds play far less time than the file's mean rate says.
inline const std::string kNoiseThenTone6s =
    "-f lavfi -i \"aevalsrc=if(lt(t\\,3)\\,(random(0)*2-1)*0.5\\,0.3*sin(2*PI*440*t)):s=44100:d=6\"";
inline const EncodedMedia kNoiseThenToneVbrMp3Xing{"NoiseThenToneVbrMp3WithXing", kNoiseThenTone6s,
                                                   "-c:a libmp3lame -q:a 0", "mp3", 6.0};
inline const EncodedMedia kNoiseThenToneVbrMp3NoXing{"NoiseThenToneVbrMp3WithoutXing", kNoiseThenTone6s,
                                                     "-c:a libmp3lame -q:a 0 -write_xing 0", "mp3", 6.0};
// Ten seconds of noise in an M4A whose movie header comes last, beyond the
// distance a loader reads on to reach it: the item asks for the end first.
inline const EncodedMedia kNoiseM4aMovieLast{"NoiseM4aMovieAtEnd", "-f lavfi -i anoisesrc=d=10:c=pink:r=48000:a=0.2",
                                             "-ac 2 -c:a aac -b:a 384k", "m4a", 10.0};
// Longer than what a reading looks through for the last Ogg page: the
// stream opens without waiting for its end.
inline const EncodedMedia kOggOpus12s{"OggOpus12s", "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=12",
                                      "-c:a libopus -b:a 64k", "ogg", 12.0};
inline const EncodedMedia kOggOpus60s{"OggOpus60s", "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=60",
                                      "-c:a libopus -b:a 64k", "ogg", 60.0};

// `bytes` behind an ID3v2 tag of `tagBytes` bytes of padding (cover art and
// chapters make tags of hundreds of kilobytes).
platform::core::Data withLargeId3(const platform::core::Data& bytes, std::size_t tagBytes);
// An M4A whose movie header is its last box, with the gapless information
// that iTunes writes ("----" com.apple.iTunes iTunSMPB: priming, remainder and
// the samples of audio) added to it. Empty when the movie header is not last.
platform::core::Data withItunesGaplessInfo(const platform::core::Data& m4a, std::uint32_t priming,
                                           std::uint32_t remainder, std::uint64_t samples);
// Seconds of audio the decoder plays from the whole file, counted by decoding
// it: what a listener hears. Negative when it does not decode.
double decodedSeconds(const platform::core::Data& bytes);
// The whole file decoded: interleaved output samples (kOutputChannels at
// kOutputSampleRate). Empty when it does not decode.
std::vector<std::int16_t> decodedSamples(const platform::core::Data& bytes);

}  // namespace orvane::testing
