#include "common/inflate_stream.h"

#include <zlib.h>

#include <array>

namespace bcnk {

namespace {
// Adds 32 to the window bits: zlib then accepts a gzip or a zlib header alike.
constexpr int kAutoDetectWindow = 15 + 32;
constexpr size_t kOutChunk = 64 * 1024;
}  // namespace

struct InflateStream::State {
    z_stream stream{};
    bool open = false;
};

bool LooksGzipped(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
           static_cast<unsigned char>(bytes[1]) == 0x8B;
}

InflateStream::InflateStream(Output out) : state_(std::make_unique<State>()), out_(std::move(out)) {
    state_->open = inflateInit2(&state_->stream, kAutoDetectWindow) == Z_OK;
    failed_ = !state_->open;
}

InflateStream::~InflateStream() {
    if (state_->open) {
        inflateEnd(&state_->stream);
    }
}

bool InflateStream::Feed(std::string_view compressed) {
    if (failed_ || ended_) {
        return false;
    }
    z_stream& stream = state_->stream;
    // zlib takes a non-const pointer but only reads the input.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::array<char, kOutChunk> buffer;
    // A full output buffer may leave decoded bytes inside zlib even when all input is taken.
    bool outputFull = false;
    while (stream.avail_in > 0 || outputFull) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
        stream.avail_out = static_cast<uInt>(buffer.size());
        const int code = inflate(&stream, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR) {
            failed_ = true;
            return false;
        }
        const size_t produced = buffer.size() - stream.avail_out;
        outputFull = stream.avail_out == 0;
        if (produced > 0 && !out_(std::string_view(buffer.data(), produced))) {
            return false;
        }
        if (code == Z_STREAM_END) {
            ended_ = true;
            return false;
        }
        if (code == Z_BUF_ERROR && produced == 0) {
            break;  // needs more input than this piece holds
        }
    }
    return true;
}

}  // namespace bcnk
