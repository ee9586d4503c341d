#pragma once
// gzip (or zlib) data decoded as it arrives, for files that come compressed whatever the
// server says about them: a sitemap.xml.gz is often sent as plain application/gzip.
#include <functional>
#include <memory>
#include <string_view>

namespace bcnk {

// True when `bytes` begin with the gzip magic number.
bool LooksGzipped(std::string_view bytes);

class InflateStream {
  public:
    // Decoded pieces go to `out`; returning false from it stops decoding.
    using Output = std::function<bool(std::string_view piece)>;

    explicit InflateStream(Output out);
    ~InflateStream();
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;

    // Decodes the next compressed piece. False once the data is corrupt, the output refused
    // more, or the stream has ended (bytes after the end are ignored).
    bool Feed(std::string_view compressed);
    bool Failed() const { return failed_; }
    bool Ended() const { return ended_; }

  private:
    struct State;
    std::unique_ptr<State> state_;
    Output out_;
    bool failed_ = false;
    bool ended_ = false;
};

}  // namespace bcnk
