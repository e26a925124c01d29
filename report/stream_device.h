#pragma once
// An OutputStream as the write-only, sequential QIODevice that QPdfWriter writes to: the
// report's file or standard output.

#include "platform/sys/output_stream.h"

#include <QIODevice>

class StreamDevice final : public QIODevice {
public:
    explicit StreamDevice(OutputStream& stream) : stream_(stream) {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        return stream_.Write({data, static_cast<std::size_t>(size)}) ? size : -1;
    }

private:
    OutputStream& stream_;
};
