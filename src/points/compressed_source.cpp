// gzip and xz decompression over byte sources, with zlib and liblzma.
#include "points/compressed_source.hpp"

#include <lzma.h>
#include <zlib.h>

#include <cassert>
#include <climits>
#include <utility>
#include <vector>

namespace dispersao {

namespace {

// Compressed bytes read per call of the underlying source.
constexpr std::size_t kCompressedBlock = std::size_t{1} << 16;

// The decoder of one stream: pulls compressed blocks and pushes out decompressed bytes.
class Decoder {
  public:
    Decoder(ByteSource compressed, Compression compression,
            std::shared_ptr<DecompressionState> state)
        : compressed_(std::move(compressed)),
          compression_(compression),
          state_(std::move(state)),
          input_(kCompressedBlock) {
        if (compression_ == Compression::gzip) {
            // 15 + 32: the largest window, with gzip or zlib headers told apart automatically.
            started_ = inflateInit2(&zlib_, 15 + 32) == Z_OK;
        } else {
            started_ = lzma_stream_decoder(&lzma_, UINT64_MAX, LZMA_CONCATENATED) == LZMA_OK;
        }
        if (!started_) {
            state_->no_memory = true;
        }
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder() {
        if (started_) {
            if (compression_ == Compression::gzip) {
                inflateEnd(&zlib_);
            } else {
                lzma_end(&lzma_);
            }
        }
    }

    // Fills destination[0, capacity) with decompressed bytes; returns how many, 0 at the end
    // of the data or after a fault.
    std::size_t read(char* destination, std::size_t capacity) {
        std::size_t written = 0;
        while (written == 0 && !finished_) {
            if (available_ == 0 && !input_ended_) {
                available_ = compressed_(input_.data(), input_.size());
                next_ = input_.data();
                input_ended_ = available_ == 0;
            }
            written = compression_ == Compression::gzip ? inflate_some(destination, capacity)
                                                        : unxz_some(destination, capacity);
        }
        return written;
    }

  private:
    std::size_t inflate_some(char* destination, std::size_t capacity) {
        const auto room = static_cast<uInt>(std::min<std::size_t>(capacity, UINT_MAX));
        zlib_.next_in = reinterpret_cast<Bytef*>(next_);
        zlib_.avail_in = static_cast<uInt>(available_);
        zlib_.next_out = reinterpret_cast<Bytef*>(destination);
        zlib_.avail_out = room;
        if (between_members_ && available_ == 0 && input_ended_) {
            finished_ = true;  // the last member ended with the data
            return 0;
        }
        const int result = inflate(&zlib_, Z_NO_FLUSH);
        const std::size_t used = available_ - zlib_.avail_in;
        consume(used);
        between_members_ = between_members_ && used == 0;
        const std::size_t written = room - zlib_.avail_out;
        if (result == Z_STREAM_END) {
            // Another gzip member may follow, as `cat a.gz b.gz` makes.
            inflateReset(&zlib_);
            between_members_ = true;
        } else if (result == Z_MEM_ERROR) {
            fail(true);
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
            fail(false);
        } else if (written == 0 && available_ == 0 && input_ended_) {
            fail(false);  // the data stops inside a member
        }
        return written;
    }

    std::size_t unxz_some(char* destination, std::size_t capacity) {
        lzma_.next_in = reinterpret_cast<const std::uint8_t*>(next_);
        lzma_.avail_in = available_;
        lzma_.next_out = reinterpret_cast<std::uint8_t*>(destination);
        lzma_.avail_out = capacity;
        const lzma_ret result = lzma_code(&lzma_, input_ended_ ? LZMA_FINISH : LZMA_RUN);
        consume(available_ - lzma_.avail_in);
        const std::size_t written = capacity - lzma_.avail_out;
        if (result == LZMA_STREAM_END) {
            finished_ = true;
        } else if (result == LZMA_MEM_ERROR) {
            fail(true);
        } else if (result != LZMA_OK && result != LZMA_BUF_ERROR) {
            fail(false);
        } else if (result == LZMA_BUF_ERROR && input_ended_) {
            fail(false);
        }
        return written;
    }

    void consume(std::size_t bytes) {
        next_ += bytes;
        available_ -= bytes;
    }

    void fail(bool memory) {
        (memory ? state_->no_memory : state_->damaged) = true;
        finished_ = true;
    }

    ByteSource compressed_;
    Compression compression_;
    std::shared_ptr<DecompressionState> state_;
    std::vector<char> input_;
    char* next_ = nullptr;
    std::size_t available_ = 0;
    bool input_ended_ = false;
    bool finished_ = false;
    bool started_ = false;
    bool between_members_ = false;  // a gzip member ended and no byte of another was read
    z_stream zlib_{};
    lzma_stream lzma_ = LZMA_STREAM_INIT;
};

}  // namespace

Compression compression_of(std::string_view start) {
    if (start.substr(0, 2) == "\x1F\x8B") {
        return Compression::gzip;
    }
    if (start.substr(0, 6) == std::string_view("\xFD"
                                               "7zXZ\0",
                                               6)) {
        return Compression::xz;
    }
    return Compression::none;
}

ByteSource decompressing_source(ByteSource compressed, Compression compression,
                                std::shared_ptr<DecompressionState> state) {
    assert(compression != Compression::none);
    auto decoder = std::make_shared<Decoder>(std::move(compressed), compression, std::move(state));
    return [decoder](char* destination, std::size_t capacity) {
        return decoder->read(destination, capacity);
    };
}

}  // namespace dispersao
