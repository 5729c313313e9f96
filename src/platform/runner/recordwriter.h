#pragma once

#include "recordformat.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

// The record on its way out through a pipe, in writes of 64 KiB. The running code's
// thread appends events; when that thread stands still in a long computation the
// watchdog can still end the record after the last whole event.
class RecordWriter
{
public:
    explicit RecordWriter(int fd) : fd(fd) { }

    // Room for an event of at most this many bytes, written from the pointer returned
    // and closed with commit().
    char *reserve(std::size_t bytes)
    {
        if (size + bytes > capacity)
            flush();
        return buffer + size;
    }
    void commit(char *end)
    {
        size = std::size_t(end - buffer);
        committed.store(size, std::memory_order_release);
    }
    void putText(std::string_view text);
    // An event of any length: its tag, a text, then commit().
    void putTaggedText(record::Tag tag, std::string_view text);
    void flush();
    // The bytes written so far, those waiting in the buffer included.
    std::uint64_t bytes() const { return flushed + size; }

    // From the watchdog: sends the whole events, then this failure, and holds the
    // writer so that nothing follows it.
    void endFromOutside(std::string_view failure);

private:
    void send(const char *data, std::size_t length);

    static constexpr std::size_t capacity = 64 * 1024;
    int fd;
    char buffer[capacity];
    std::size_t size = 0;
    std::atomic<std::size_t> committed = 0;
    std::uint64_t flushed = 0;
    std::mutex sending; // a flush against the watchdog's last words
};

// The failure event: the line (0 for none), the function (empty at the top level), the message.
std::string failureEvent(int line, std::string_view function, std::string_view message);
