// The byte interfaces of the link: the blocking read source and the raw writer.
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
