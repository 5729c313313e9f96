#include "recordwriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

void RecordWriter::send(const char *data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) // the program stopped reading: nobody is left to tell
            _exit(3);
        data += written;
        length -= std::size_t(written);
    }
}

void RecordWriter::flush()
{
    std::lock_guard lock(sending);
    send(buffer, size);
    flushed += size;
    size = 0;
    committed.store(0, std::memory_order_release);
}

void RecordWriter::putText(std::string_view text)
{
    char *out = record::putNumber(reserve(record::maxNumberBytes), std::uint32_t(text.size()));
    size = std::size_t(out - buffer);
    while (!text.empty()) {
        const std::size_t part = std::min(text.size(), capacity - size);
        std::memcpy(buffer + size, text.data(), part);
        size += part;
        text.remove_prefix(part);
        if (!text.empty())
            flush();
    }
}

void RecordWriter::putTaggedText(record::Tag tag, std::string_view text)
{
    *reserve(1) = tag;
    ++size;
    putText(text);
    commit(buffer + size);
}

void RecordWriter::endFromOutside(std::string_view failure)
{
    sending.lock(); // never unlocked: the process ends next
    send(buffer, committed.load(std::memory_order_acquire));
    send(failure.data(), failure.size());
}

std::string failureEvent(int line, std::string_view function, std::string_view message)
{
    std::string event(1, record::Failure);
    char number[record::maxNumberBytes];
    event.append(number, record::putNumber(number, std::uint32_t(std::max(line, 0))));
    for (std::string_view text : {function, message}) {
        event.append(number, record::putNumber(number, std::uint32_t(text.size())));
        event += text;
    }
    return event;
}
