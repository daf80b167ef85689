#pragma once

#include <mutex>
#include <ostream>
#include <streambuf>

namespace vortimax::cli {

// Passes what is written on to another stream's buffer, one write at a time under a lock,
// so that several threads may write one stream (the network threads' log lines beside the
// command's own messages) whatever stream it is.
class LockedStreamBuf : public std::streambuf {
public:
    explicit LockedStreamBuf(std::ostream& target) : target_(*target.rdbuf()) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        std::lock_guard lock(mutex_);
        return target_.sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        std::lock_guard lock(mutex_);
        return target_.sputn(text, count);
    }
    int sync() override {
        std::lock_guard lock(mutex_);
        return target_.pubsync();
    }

private:
    std::streambuf& target_;
    std::mutex mutex_;
};

} // namespace vortimax::cli
