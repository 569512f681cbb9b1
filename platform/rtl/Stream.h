// Stream.h - byte streams: the abstract TStream with the little-endian
// readers and writers binary formats use, a memory stream and a file stream.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/rtl/Component.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TStream"); }

    // Transfer up to Count bytes; return how many moved (0 at the end).
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    // Returns the new position, or -1 when the stream cannot seek.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    // Position and Size are not const: a stream learns them by seeking.
    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize);

    // All or nothing: EReadError / EWriteError when fewer bytes move.
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);

    // Copies Count bytes from Source's position; Count 0 copies the whole
    // of Source from its start. Returns the number of bytes copied.
    int64_t CopyFrom(TStream* Source, int64_t Count);

    // Little-endian on every host; each raises EReadError at the end.
    uint8_t ReadByte();
    uint16_t ReadWord();
    int16_t ReadSmallInt();
    uint32_t ReadDWord();
    int32_t ReadInteger();
    uint32_t ReadCardinal();
    int64_t ReadInt64();
    float ReadSingle();
    double ReadDouble();
    // The 10-byte x87 extended format, whatever the host's long double is.
    long double ReadExtended();
    // An int32 byte count, then the bytes.
    AnsiString ReadAnsiString();
    AnsiString ReadBytes(int64_t Count);
    // An int32 count of UTF-16 code units, then the units (little-endian).
    // A negative count or one beyond the data raises EReadError before
    // anything is allocated for it.
    String ReadWideString();

    void WriteByte(uint8_t Value);
    void WriteWord(uint16_t Value);
    void WriteSmallInt(int16_t Value);
    void WriteDWord(uint32_t Value);
    void WriteInteger(int32_t Value);
    void WriteCardinal(uint32_t Value);
    void WriteInt64(int64_t Value);
    void WriteSingle(float Value);
    void WriteDouble(double Value);
    // Rounds to the 64-bit mantissa; beyond the 80-bit range it stores an infinity.
    void WriteExtended(long double Value);
    void WriteAnsiString(const AnsiString& Value);
    void WriteBytes(const AnsiString& Value);
    void WriteWideString(const String& Value);
};

// The 80-bit extended layout, exposed for formats that embed it.
void ExtendedToBytes(long double Value, uint8_t (&Bytes)[10]);
long double BytesToExtended(const uint8_t (&Bytes)[10]);

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override = default;

    String ClassName() const override { return String::fromLatin1("TMemoryStream"); }

    int64_t Read(void* Buffer, int64_t Count) override;
    // Writing past the end grows the stream; any gap is zero-filled.
    int64_t Write(const void* Buffer, int64_t Count) override;
    // Any position may be set, even past the end.
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t Size() override { return static_cast<int64_t>(FMemory.size()); }
    // New bytes are zero; a position past the new end moves to the end.
    void SetSize(int64_t NewSize) override;

    // Valid until the size changes.
    void* Memory() { return FMemory.data(); }
    const void* Memory() const { return FMemory.data(); }

    void Clear();
    // Replaces the contents with the whole of Stream (read from its start).
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);

private:
    std::vector<uint8_t> FMemory;
    int64_t FPosition = 0;
};

// Open modes. The share flags are accepted for compatibility and ignored:
// files are not locked against other processes.
enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,  // create or truncate, open for reading and writing
};

class TFileStream : public TStream {
public:
    // FileName is UTF-8 on disk. Raises EFOpenError, or EFCreateError for
    // fmCreate, with the OS error text. A folder is refused even for reading.
    TFileStream(const String& AFileName, uint16_t Mode);
    ~TFileStream() override;

    String ClassName() const override { return String::fromLatin1("TFileStream"); }

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    // Truncates or extends the file and leaves the position at NewSize;
    // raises EOSError on failure.
    void SetSize(int64_t NewSize) override;

    const String& FileName() const { return FFileName; }
    int Handle() const { return FHandle; }

private:
    String FFileName;
    int FHandle = -1;
};
