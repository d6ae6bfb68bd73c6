// The walk over RIFF/WAVE chunks: where it finds the format and the
// samples, what it skips, and that no image's sizes take it outside the
// image.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "WaveImages.h"
#include "platform/Resources.h"
#include "resources/ResourceIds.h"
#include "sound/RiffWave.h"

namespace {

using wave::Bytes;
using wave::Chunk;
using wave::Header;
using wave::PcmFormat;
using wave::Riff;
using wave::Samples;

// The image on the heap at exactly its own size, so AddressSanitizer sees
// any read beyond it.
class Exact {
public:
    explicit Exact(const Bytes& bytes) : size_(bytes.size()), data_(new unsigned char[size_]) {
        if (size_ > 0) std::memcpy(data_.get(), bytes.data(), size_);
    }
    Exact(const unsigned char* bytes, std::size_t size)
        : size_(size), data_(new unsigned char[size]) {
        std::memcpy(data_.get(), bytes, size);
    }
    const unsigned char* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    bool Walk(WaveChunks* chunks) const { return WalkRiffWave(data(), size(), chunks); }
    std::ptrdiff_t OffsetOf(const unsigned char* p) const { return p - data(); }

private:
    std::size_t size_;
    std::unique_ptr<unsigned char[]> data_;
};

TEST(RiffWave, ClickFormatAt20SamplesAt44) {
    const ResourceBytes click = FindResourceBytes(kClickSoundId, kWaveResource);
    ASSERT_NE(click.data, nullptr);
    const Exact image(click.data, click.size);
    WaveChunks chunks;
    ASSERT_TRUE(image.Walk(&chunks));
    EXPECT_EQ(image.OffsetOf(chunks.format.bytes), 20);
    EXPECT_EQ(chunks.format.size, 16u);
    EXPECT_EQ(chunks.format.readable, click.size - 20);
    EXPECT_EQ(image.OffsetOf(chunks.sampleData), 44);
    EXPECT_EQ(chunks.sampleLength, 8784u);
}

TEST(RiffWave, ChunkOrderAndSkipping) {
    const Bytes samples = Samples(10);
    {
        SCOPED_TRACE("data before fmt; the walk ends once both are known");
        Bytes bytes = Riff({Chunk("data", samples), Chunk("fmt ", PcmFormat())});
        wave::Append(bytes, Header("junk", 0xFFFFFFF0u));  // would fail if it were read
        wave::PutU32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8));
        const Exact image(bytes);
        WaveChunks chunks;
        ASSERT_TRUE(image.Walk(&chunks));
        EXPECT_EQ(image.OffsetOf(chunks.sampleData), 20);
        EXPECT_EQ(chunks.sampleLength, 10u);
        EXPECT_EQ(image.OffsetOf(chunks.format.bytes), 38);
    }
    {
        SCOPED_TRACE("other chunks before and between are skipped");
        const Exact image(Riff({Chunk("LIST", Samples(6)), Chunk("fmt ", PcmFormat()),
                                Chunk("fact", Samples(4)), Chunk("data", samples)}));
        WaveChunks chunks;
        ASSERT_TRUE(image.Walk(&chunks));
        EXPECT_EQ(image.OffsetOf(chunks.format.bytes), 12 + 14 + 8);
        EXPECT_EQ(image.OffsetOf(chunks.sampleData), 12 + 14 + 24 + 12 + 8);
        EXPECT_EQ(0, std::memcmp(chunks.sampleData, samples.data(), samples.size()));
    }
    {
        SCOPED_TRACE("a later fmt is skipped; a later data replaces one found before the format");
        const Exact image(Riff({Chunk("data", Samples(4, 50)), Chunk("data", samples),
                                Chunk("fmt ", PcmFormat(2)), Chunk("fmt ", PcmFormat(1))}));
        WaveChunks chunks;
        ASSERT_TRUE(image.Walk(&chunks));
        EXPECT_EQ(image.OffsetOf(chunks.sampleData), 12 + 12 + 8);
        EXPECT_EQ(chunks.sampleLength, 10u);
        EXPECT_EQ(chunks.format.bytes[2], 2) << "the first format's channels";
    }
    {
        SCOPED_TRACE("empty data before the format does not count as known");
        const Exact image(
            Riff({Chunk("data", {}), Chunk("fmt ", PcmFormat()), Chunk("data", samples)}));
        WaveChunks chunks;
        ASSERT_TRUE(image.Walk(&chunks));
        EXPECT_EQ(image.OffsetOf(chunks.sampleData), 12 + 8 + 24 + 8);
    }
}

TEST(RiffWave, OddChunkSizeIsFollowedByAPadByte) {
    const Exact padded(
        Riff({Chunk("LIST", Samples(3)), Chunk("fmt ", PcmFormat()), Chunk("data", Samples(5))}));
    WaveChunks chunks;
    ASSERT_TRUE(padded.Walk(&chunks));
    EXPECT_EQ(padded.OffsetOf(chunks.format.bytes), 12 + 12 + 8);
    EXPECT_EQ(chunks.sampleLength, 5u);

    // The same chunks without the pad byte: the next header is read one
    // byte late and is not a format chunk, so the format is never found.
    Bytes unpadded =
        Riff({Chunk("LIST", Samples(3)), Chunk("fmt ", PcmFormat()), Chunk("data", Samples(5))});
    unpadded.erase(unpadded.begin() + 12 + 8 + 3);
    wave::PutU32(unpadded, 4, static_cast<std::uint32_t>(unpadded.size() - 8));
    EXPECT_FALSE(Exact(unpadded).Walk(&chunks));
}

TEST(RiffWave, FirstFormatShorterThanTheBasicRecordFails) {
    WaveChunks chunks;
    EXPECT_FALSE(Exact(Riff({Chunk("fmt ", PcmFormat(1, 44100, 16, 12)), Chunk("fmt ", PcmFormat()),
                             Chunk("data", Samples(8))}))
                     .Walk(&chunks))
        << "a valid format after the short one does not help";
    EXPECT_FALSE(
        Exact(Riff({Chunk("data", Samples(8)), Chunk("fmt ", PcmFormat(1, 44100, 16, 13))}))
            .Walk(&chunks));
    EXPECT_EQ(chunks.format.bytes, nullptr);
    EXPECT_TRUE(Exact(Riff({Chunk("fmt ", PcmFormat(1, 44100, 16, 14)), Chunk("data", Samples(8))}))
                    .Walk(&chunks));
    EXPECT_EQ(chunks.format.size, 14u);
}

TEST(RiffWave, WrongTagOrFormOrMissingChunkFails) {
    const Bytes good = Riff({Chunk("fmt ", PcmFormat()), Chunk("data", Samples(8))});
    WaveChunks chunks;
    ASSERT_TRUE(Exact(good).Walk(&chunks));

    Bytes wrongTag = good;
    std::memcpy(wrongTag.data(), "RIFX", 4);
    EXPECT_FALSE(Exact(wrongTag).Walk(&chunks));
    EXPECT_FALSE(
        Exact(Riff({Chunk("fmt ", PcmFormat()), Chunk("data", Samples(8))}, "AVI ")).Walk(&chunks));

    // The samples found stay known when the format is missing.
    const Exact noFormat(Riff({Chunk("data", Samples(8))}));
    EXPECT_FALSE(noFormat.Walk(&chunks));
    EXPECT_EQ(noFormat.OffsetOf(chunks.sampleData), 20);
    EXPECT_EQ(chunks.sampleLength, 8u);
    EXPECT_EQ(chunks.format.bytes, nullptr);

    EXPECT_FALSE(Exact(Riff({Chunk("fmt ", PcmFormat())})).Walk(&chunks));
    EXPECT_EQ(chunks.sampleData, nullptr);
    EXPECT_FALSE(Exact(Riff({})).Walk(&chunks));
    EXPECT_FALSE(WalkRiffWave(nullptr, 100, &chunks));
    EXPECT_FALSE(Exact(Bytes(good.begin(), good.begin() + 11)).Walk(&chunks));
}

TEST(RiffWave, SizesInTheImageNeverTakeTheWalkOutside) {
    const Bytes good = Riff({Chunk("fmt ", PcmFormat()), Chunk("data", Samples(100))});
    WaveChunks chunks;
    {
        SCOPED_TRACE("a RIFF size larger than the image ends the walk at the image's end");
        Bytes bytes = Riff({Chunk("LIST", Samples(4))});
        wave::PutU32(bytes, 4, 0xFFFFFFFFu);
        EXPECT_FALSE(Exact(bytes).Walk(&chunks));
    }
    {
        SCOPED_TRACE("a RIFF size smaller than the chunks ends the walk at that size");
        Bytes bytes = good;
        wave::PutU32(bytes, 4, 4 + 24);  // ends after the format chunk
        EXPECT_FALSE(Exact(bytes).Walk(&chunks));
        ASSERT_NE(chunks.format.bytes, nullptr);
        EXPECT_EQ(chunks.sampleData, nullptr);
    }
    {
        SCOPED_TRACE("a skipped chunk running past the image, or far enough to wrap around");
        Bytes bytes = Riff(
            {Chunk("LIST", Samples(20)), Chunk("fmt ", PcmFormat()), Chunk("data", Samples(8))});
        const auto onePastTheEnd = static_cast<std::uint32_t>(bytes.size() - 20 + 1);
        for (std::uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF8u, 0x80000000u, onePastTheEnd}) {
            wave::PutU32(bytes, 16, size);
            EXPECT_FALSE(Exact(bytes).Walk(&chunks)) << size;
        }
    }
    {
        SCOPED_TRACE("a format chunk running past the image");
        Bytes bytes = Riff({Chunk("data", Samples(8)), Chunk("fmt ", PcmFormat())});
        wave::PutU32(bytes, 12 + 16 + 4, 17);
        EXPECT_FALSE(Exact(bytes).Walk(&chunks));
    }
    {
        SCOPED_TRACE("a data chunk longer than the image is held to what the image has");
        Bytes bytes = good;
        wave::PutU32(bytes, 12 + 24 + 4, 0xFFFFFFFFu);
        const Exact image(bytes);
        ASSERT_TRUE(image.Walk(&chunks));
        EXPECT_EQ(chunks.sampleLength, 100u);
    }
    {
        SCOPED_TRACE("a header cut short");
        Bytes bytes = Riff({Chunk("fmt ", PcmFormat())});
        wave::Append(bytes, {'d', 'a', 't', 'a', 8});
        wave::PutU32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8));
        EXPECT_FALSE(Exact(bytes).Walk(&chunks));
    }
}

// The click image cut at every length: the walk succeeds exactly when the
// data chunk's header is whole, with the samples held to what is left.
TEST(RiffWave, EveryTruncationOfTheClickStaysInside) {
    const ResourceBytes click = FindResourceBytes(kClickSoundId, kWaveResource);
    ASSERT_NE(click.data, nullptr);
    const std::size_t dataHeaderEnd = 44;
    for (std::size_t size = 0; size < click.size; ++size) {
        const Exact image(click.data, size);
        WaveChunks chunks;
        const bool found = image.Walk(&chunks);
        ASSERT_EQ(found, size >= dataHeaderEnd) << size;
        if (!found) continue;
        ASSERT_EQ(chunks.sampleLength, size - dataHeaderEnd) << size;
        ASSERT_EQ(chunks.format.readable, size - 20) << size;
    }
}

}  // namespace
