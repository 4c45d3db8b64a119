#pragma once

// The stream through which the imaging layer decodes pictures held in memory
// (the pictures inside frame files): a read-only QIODevice over a memory
// stream, which it may own.

#include <QBuffer>
#include <QIODevice>

#include <cstdint>
#include <memory>

// A memory stream: bytes with a position.
using TMemoryStream = QBuffer;

// The stream statistics record.
struct STATSTG
{
    const char16_t* pwcsName = nullptr;
    uint32_t type = 0;
    uint64_t cbSize = 0;
    uint64_t mtime = 0; // 100-nanosecond units since 1601-01-01, local time
    uint64_t ctime = 0;
    uint64_t atime = 0;
    uint32_t grfMode = 0;
    uint32_t grfLocksSupported = 0;
    uint8_t clsid[16] = {};
    uint32_t grfStateBits = 0;
    uint32_t reserved = 0;
};

constexpr uint32_t STGTY_STREAM = 2;
constexpr uint32_t LOCK_WRITE = 1;
constexpr int32_t S_OK = 0;
constexpr int32_t E_UNEXPECTED = int32_t(0x8000FFFF);

class TMyStreamAdapter : public QIODevice
{
public:
    enum TStreamOwnership { soReference, soOwned };

    // Stream must be open for reading. With soOwned the adapter frees it.
    TMyStreamAdapter(TMemoryStream* Stream, TStreamOwnership Ownership);
    ~TMyStreamAdapter() override;

    // Fills the statistics record (nothing when Record is null).
    int32_t Stat(STATSTG* Record, uint32_t Flag) const;

    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    TMemoryStream* m_stream;
    std::unique_ptr<TMemoryStream> m_owned;
};
