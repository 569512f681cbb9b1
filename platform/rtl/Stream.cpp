#include "platform/rtl/Stream.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>

#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResString.h"

namespace {
VORLANE_RESOURCESTRING(SMemoryStreamError, "Out of memory while expanding memory stream");
VORLANE_RESOURCESTRING(SOSError, "System Error.  Code: %d.\n%s");

// Copies are done in pieces so that a bogus length read from a damaged file
// fails at the end of the data instead of allocating the whole length first.
constexpr int64_t copyChunk = 1 << 20;

template <class T>
T readLittleEndian(TStream& stream)
{
    uint8_t bytes[sizeof(T)];
    stream.ReadBuffer(bytes, sizeof(T));
    std::make_unsigned_t<T> value = 0;
    for (size_t i = sizeof(T); i-- > 0;)
        value = static_cast<std::make_unsigned_t<T>>((value << 8) | bytes[i]);
    return static_cast<T>(value);
}

template <class T>
void writeLittleEndian(TStream& stream, T value)
{
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    uint8_t bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<uint8_t>(bits & 0xFF);
        bits = static_cast<std::make_unsigned_t<T>>(bits >> 8);
    }
    stream.WriteBuffer(bytes, sizeof(T));
}

String osErrorText(int error)
{
    return String::fromLocal8Bit(std::generic_category().message(error));
}

// Rounds x (0 <= x < 2^64) to nearest, ties to even; sets carry when the
// result would be 2^64.
uint64_t roundMantissa(long double x, bool& carry)
{
    const long double whole = std::floor(x);
    const long double fraction = x - whole;
    auto result = static_cast<uint64_t>(whole);
    carry = false;
    if (fraction > 0.5L || (fraction == 0.5L && (result & 1) != 0)) {
        if (result == std::numeric_limits<uint64_t>::max())
            carry = true;
        ++result;
    }
    return result;
}
}  // namespace

void ExtendedToBytes(long double Value, uint8_t (&Bytes)[10])
{
    constexpr uint64_t integerBit = uint64_t{1} << 63;
    const bool negative = std::signbit(Value);
    uint64_t mantissa = 0;
    int exponent = 0;  // the biased 15-bit field
    if (std::isnan(Value)) {
        exponent = 0x7FFF;
        mantissa = integerBit | (integerBit >> 1);
    } else if (std::isinf(Value)) {
        exponent = 0x7FFF;
        mantissa = integerBit;
    } else if (Value != 0) {
        int e = 0;
        const long double fraction = std::frexp(std::fabs(Value), &e);  // [0.5, 1)
        exponent = e - 1 + 16383;
        bool carry = false;
        if (exponent <= 0) {
            // Below the normal range: the stored exponent is 0 and the
            // mantissa scale is fixed at 2^-16445.
            mantissa = roundMantissa(std::ldexp(std::fabs(Value), 16382 + 63), carry);
            exponent = (mantissa & integerBit) != 0 ? 1 : 0;
        } else {
            mantissa = roundMantissa(std::ldexp(fraction, 64), carry);
            if (carry) {
                mantissa = integerBit;
                ++exponent;
            }
        }
        if (exponent >= 0x7FFF) {
            exponent = 0x7FFF;
            mantissa = integerBit;
        }
    }
    for (int i = 0; i < 8; ++i)
        Bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    const unsigned top = (negative ? 0x8000u : 0u) | static_cast<unsigned>(exponent);
    Bytes[8] = static_cast<uint8_t>(top & 0xFF);
    Bytes[9] = static_cast<uint8_t>(top >> 8);
}

long double BytesToExtended(const uint8_t (&Bytes)[10])
{
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | Bytes[i];
    const unsigned top = Bytes[8] | (unsigned{Bytes[9]} << 8);
    const bool negative = (top & 0x8000u) != 0;
    const int exponent = static_cast<int>(top & 0x7FFFu);
    long double result;
    if (exponent == 0x7FFF) {
        result = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                      : std::numeric_limits<long double>::quiet_NaN();
    } else {
        result = std::ldexp(static_cast<long double>(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
    }
    return negative ? -result : result;
}

// TStream ---------------------------------------------------------------

int64_t TStream::Size()
{
    const int64_t position = Seek(0, soCurrent);
    const int64_t result = Seek(0, soEnd);
    Seek(position, soBeginning);
    return result;
}

void TStream::SetSize(int64_t)
{
}

void TStream::ReadBuffer(void* Buffer, int64_t Count)
{
    auto* out = static_cast<uint8_t*>(Buffer);
    while (Count > 0) {
        const int64_t n = Read(out, Count);
        if (n <= 0)
            throw EReadError(LoadResString(RtlConsts::SReadError));
        out += n;
        Count -= n;
    }
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count)
{
    const auto* in = static_cast<const uint8_t*>(Buffer);
    while (Count > 0) {
        const int64_t n = Write(in, Count);
        if (n <= 0)
            throw EWriteError(LoadResString(RtlConsts::SWriteError));
        in += n;
        Count -= n;
    }
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    if (Count <= 0)
        return 0;
    const int64_t result = Count;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min(Count, copyChunk)));
    while (Count > 0) {
        const int64_t n = std::min(Count, static_cast<int64_t>(buffer.size()));
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        Count -= n;
    }
    return result;
}

uint8_t TStream::ReadByte() { return readLittleEndian<uint8_t>(*this); }
uint16_t TStream::ReadWord() { return readLittleEndian<uint16_t>(*this); }
int16_t TStream::ReadSmallInt() { return readLittleEndian<int16_t>(*this); }
uint32_t TStream::ReadDWord() { return readLittleEndian<uint32_t>(*this); }
int32_t TStream::ReadInteger() { return readLittleEndian<int32_t>(*this); }
uint32_t TStream::ReadCardinal() { return readLittleEndian<uint32_t>(*this); }
int64_t TStream::ReadInt64() { return readLittleEndian<int64_t>(*this); }
float TStream::ReadSingle() { return std::bit_cast<float>(readLittleEndian<uint32_t>(*this)); }
double TStream::ReadDouble() { return std::bit_cast<double>(readLittleEndian<uint64_t>(*this)); }

long double TStream::ReadExtended()
{
    uint8_t bytes[10];
    ReadBuffer(bytes, sizeof bytes);
    return BytesToExtended(bytes);
}

AnsiString TStream::ReadAnsiString()
{
    const int32_t length = ReadInteger();
    if (length < 0)
        throw EReadError(LoadResString(RtlConsts::SReadError));
    return ReadBytes(length);
}

AnsiString TStream::ReadBytes(int64_t Count)
{
    AnsiString result;
    if (Count <= 0)
        return result;
    if (Count > static_cast<int64_t>(INT_MAX))
        throw EReadError(LoadResString(RtlConsts::SReadError));
    while (result.size() < Count) {
        const qsizetype done = result.size();
        const int64_t piece = std::min<int64_t>(Count - done, copyChunk);
        result.resize(done + static_cast<qsizetype>(piece));
        ReadBuffer(result.data() + done, piece);
    }
    return result;
}

String TStream::ReadWideString()
{
    const int32_t count = ReadInteger();
    if (count < 0)
        throw EReadError(LoadResString(RtlConsts::SReadError));
    // A seekable stream tells how much is left; a length beyond it is a
    // damaged file, not a reason to allocate gigabytes.
    const int64_t position = Seek(0, soCurrent);
    const int64_t size = position < 0 ? -1 : Size();
    if (size >= 0 && 2 * int64_t(count) > size - position)
        throw EReadError(LoadResString(RtlConsts::SReadError));
    const AnsiString bytes = ReadBytes(2 * int64_t(count));
    String result(count, Qt::Uninitialized);
    for (int32_t i = 0; i < count; ++i)
        result[i] = QChar(char16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8)));
    return result;
}

void TStream::WriteWideString(const String& Value)
{
    WriteInteger(static_cast<int32_t>(Value.size()));
    AnsiString bytes(Value.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < Value.size(); ++i) {
        const char16_t unit = Value[i].unicode();
        bytes[2 * i] = char(unit & 0xFF);
        bytes[2 * i + 1] = char(unit >> 8);
    }
    WriteBytes(bytes);
}

void TStream::WriteByte(uint8_t Value) { writeLittleEndian(*this, Value); }
void TStream::WriteWord(uint16_t Value) { writeLittleEndian(*this, Value); }
void TStream::WriteSmallInt(int16_t Value) { writeLittleEndian(*this, Value); }
void TStream::WriteDWord(uint32_t Value) { writeLittleEndian(*this, Value); }
void TStream::WriteInteger(int32_t Value) { writeLittleEndian(*this, Value); }
void TStream::WriteCardinal(uint32_t Value) { writeLittleEndian(*this, Value); }
void TStream::WriteInt64(int64_t Value) { writeLittleEndian(*this, Value); }
void TStream::WriteSingle(float Value) { writeLittleEndian(*this, std::bit_cast<uint32_t>(Value)); }
void TStream::WriteDouble(double Value) { writeLittleEndian(*this, std::bit_cast<uint64_t>(Value)); }

void TStream::WriteExtended(long double Value)
{
    uint8_t bytes[10];
    ExtendedToBytes(Value, bytes);
    WriteBuffer(bytes, sizeof bytes);
}

void TStream::WriteAnsiString(const AnsiString& Value)
{
    WriteInteger(static_cast<int32_t>(Value.size()));
    WriteBytes(Value);
}

void TStream::WriteBytes(const AnsiString& Value)
{
    WriteBuffer(Value.constData(), Value.size());
}

// TMemoryStream ---------------------------------------------------------

int64_t TMemoryStream::Read(void* Buffer, int64_t Count)
{
    if (FPosition < 0 || Count <= 0 || FPosition >= Size())
        return 0;
    const int64_t n = std::min(Count, Size() - FPosition);
    std::memcpy(Buffer, FMemory.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count)
{
    if (FPosition < 0 || Count <= 0)
        return 0;
    int64_t end = 0;
    if (__builtin_add_overflow(FPosition, Count, &end))
        throw EStreamError(LoadResString(SMemoryStreamError));
    if (end > Size())
        SetSize(end);
    std::memcpy(FMemory.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    const int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : Size();
    int64_t target = 0;
    if (__builtin_add_overflow(base, Offset, &target))
        return -1;
    FPosition = target;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    NewSize = std::max<int64_t>(NewSize, 0);
    try {
        if (static_cast<uint64_t>(NewSize) > FMemory.max_size())
            throw std::length_error("memory stream");
        FMemory.resize(static_cast<size_t>(NewSize), 0);
    } catch (const std::bad_alloc&) {
        throw EStreamError(LoadResString(SMemoryStreamError));
    } catch (const std::length_error&) {
        throw EStreamError(LoadResString(SMemoryStreamError));
    }
    if (FPosition > NewSize)
        FPosition = NewSize;
}

void TMemoryStream::Clear()
{
    std::vector<uint8_t>().swap(FMemory);
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    const int64_t count = Stream->Size();
    SetSize(count);
    if (count != 0)
        Stream->ReadBuffer(FMemory.data(), count);
}

void TMemoryStream::SaveToStream(TStream* Stream)
{
    if (!FMemory.empty())
        Stream->WriteBuffer(FMemory.data(), Size());
}

void TMemoryStream::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

void TMemoryStream::SaveToFile(const String& FileName)
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}

// TFileStream -----------------------------------------------------------

TFileStream::TFileStream(const String& AFileName, uint16_t Mode)
    : FFileName(AFileName)
{
    const bool create = (Mode & fmCreate) == fmCreate;
    int flags = O_CLOEXEC;
    int error = 0;
    if (create) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    } else {
        switch (Mode & 3) {
        case fmOpenRead: flags |= O_RDONLY; break;
        case fmOpenWrite: flags |= O_WRONLY; break;
        case fmOpenReadWrite: flags |= O_RDWR; break;
        default: error = EINVAL; break;
        }
    }
    if (error == 0) {
        const AnsiString path = Utf8FileName(AFileName);
        do
            FHandle = ::open(path.constData(), flags, 0666);
        while (FHandle < 0 && errno == EINTR);
        if (FHandle < 0) {
            error = errno;
        } else {
            // Opening a folder read-only succeeds on this system; it is
            // still not a file that can be streamed.
            struct stat info {};
            if (::fstat(FHandle, &info) == 0 && S_ISDIR(info.st_mode))
                error = EISDIR;
            if (error != 0) {
                ::close(FHandle);
                FHandle = -1;
            }
        }
    }
    if (error != 0) {
        const String shown = AFileName.isEmpty() ? AFileName : QFileInfo(AFileName).absoluteFilePath();
        if (create)
            throw EFCreateError(LoadResString(RtlConsts::SFCreateError), {shown, osErrorText(error)});
        throw EFOpenError(LoadResString(RtlConsts::SFOpenError), {shown, osErrorText(error)});
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count)
{
    auto* out = static_cast<uint8_t*>(Buffer);
    int64_t done = 0;
    while (done < Count) {
        const size_t piece = static_cast<size_t>(std::min<int64_t>(Count - done, SSIZE_MAX));
        const ssize_t n = ::read(FHandle, out + done, piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return done > 0 ? done : -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count)
{
    const auto* in = static_cast<const uint8_t*>(Buffer);
    int64_t done = 0;
    while (done < Count) {
        const size_t piece = static_cast<size_t>(std::min<int64_t>(Count - done, SSIZE_MAX));
        const ssize_t n = ::write(FHandle, in + done, piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return done > 0 ? done : -1;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    static_assert(sizeof(off_t) == sizeof(int64_t), "large-file offsets are required");
    const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
    return ::lseek(FHandle, static_cast<off_t>(Offset), whence);
}

void TFileStream::SetSize(int64_t NewSize)
{
    int result;
    do
        result = ::ftruncate(FHandle, static_cast<off_t>(NewSize));
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        throw EOSError(LoadResString(SOSError), {error, osErrorText(error)});
    }
    Seek(NewSize, soBeginning);
}
