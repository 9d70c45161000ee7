// The byte interfaces of the link: the blocking read source, the raw writer and the pipe writer.
#pragma once
#include <cstdint>

class ReadSource {
public:
    // Blocks until at least one byte, end of data or failure; false means the read failed.
    virtual bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) = 0;

protected:
    ~ReadSource() = default;
};

class ByteWriter {
public:
    // One write call of exactly these bytes, no flush, outcome ignored; returns 1.
    virtual int WriteBytes(const char* bytes, int32_t count) = 0;

protected:
    ~ByteWriter() = default;
};

class PipeWriter {
public:
    // PipeGone: the platform said the other end is gone (not merely that the write failed).
    enum class WriteStatus { Ok, Failed, PipeGone };
    virtual WriteStatus Write(const char* bytes, uint32_t count, uint32_t* written) = 0;
    virtual bool Flush() = 0;

protected:
    ~PipeWriter() = default;
};
