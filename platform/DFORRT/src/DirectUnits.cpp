#include "DFORRT/DirectUnits.h"

#include <atomic>
#include <chrono>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dforrt {
namespace {

constexpr std::int64_t WINDOW_BYTES = 8 * 1024;
constexpr std::size_t WINDOWS = 4;

struct Window {
    std::vector<unsigned char> bytes;
    std::int64_t offset = 0;
    std::int64_t length = 0;
    std::uint64_t used = 0;
};

struct Unit {
    bool open = false;
    int fd = -1;
    // The file's name: an opening of the same name while the unit holds it keeps the
    // descriptor and the window instead of opening again.
    std::string path;
    std::int64_t size = 0;
    std::int64_t record_bytes = 0;
    // Read-ahead windows: small records are copied out of them, so that a run of them costs
    // one read of the file. Several windows, the least recently used replaced, so that a
    // lookup's directory and the data sets read between lookups (an element's record, the
    // material table) each keep theirs. Records larger than a quarter window go straight to
    // the caller.
    std::array<Window, WINDOWS> windows;
    std::uint64_t clock = 0;
    // Bytes of a run of records read at once (ReadFirstDoubles); kept across calls.
    std::vector<unsigned char> run;
};

constexpr std::int64_t RUN_BYTES = 64 * 1024;

std::array<Unit, MAX_UNIT + 1>& units()
{
    static std::array<Unit, MAX_UNIT + 1> table;
    return table;
}

bool valid_unit(int unit) { return unit >= 0 && unit <= MAX_UNIT; }

void forget_windows(Unit& u)
{
    for (Window& w : u.windows) {
        w.offset = 0;
        w.length = 0;
        w.used = 0;
    }
}

void release(Unit& u)
{
    if (u.fd >= 0)
        ::close(u.fd);
    u.open = false;
    u.fd = -1;
    u.path.clear();
    u.size = 0;
    u.record_bytes = 0;
    forget_windows(u);
}

bool read_exact(int fd, unsigned char* out, std::int64_t bytes, std::int64_t offset)
{
    std::int64_t got = 0;
    while (got < bytes) {
        const ssize_t r = ::pread(fd, out + got, static_cast<std::size_t>(bytes - got), offset + got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        got += r;
    }
    return true;
}

// Copies bytes [skip, bytes) of the record to out when the record's first `bytes` bytes are
// all there; a status otherwise.
int copy_bytes(Unit& u, std::int64_t record, std::int64_t bytes, unsigned char* out, std::int64_t skip = 0)
{
    if (record < 1)
        return IO_BAD_RECORD;
    if (bytes <= 0)
        return IO_OK;
    if (bytes > u.record_bytes)
        return IO_PAST_RECORD;
    // (record - 1) * record_bytes cannot overflow once record - 1 <= size / record_bytes.
    if (record - 1 > u.size / u.record_bytes)
        return IO_PAST_END;
    const std::int64_t record_offset = (record - 1) * u.record_bytes;
    if (record_offset > u.size || bytes > u.size - record_offset)
        return IO_PAST_END;
    const std::int64_t offset = record_offset + skip;
    bytes -= skip;
    if (bytes > WINDOW_BYTES / 4)
        return read_exact(u.fd, out, bytes, offset) ? IO_OK : IO_PAST_END;
    Window* hit = nullptr;
    Window* oldest = &u.windows[0];
    for (Window& w : u.windows) {
        if (w.length > 0 && offset >= w.offset && offset + bytes <= w.offset + w.length) {
            hit = &w;
            break;
        }
        if (w.used < oldest->used)
            oldest = &w;
    }
    if (!hit) {
        hit = oldest;
        if (hit->bytes.empty())
            hit->bytes.resize(static_cast<std::size_t>(WINDOW_BYTES));
        const std::int64_t length = std::min(WINDOW_BYTES, u.size - offset);
        hit->length = 0;
        if (!read_exact(u.fd, hit->bytes.data(), length, offset))
            return IO_PAST_END;
        hit->offset = offset;
        hit->length = length;
    }
    hit->used = ++u.clock;
    std::memcpy(out, hit->bytes.data() + (offset - hit->offset), static_cast<std::size_t>(bytes));
    return IO_OK;
}

template <class T>
int read_values(int unit, std::int64_t record, T* out, std::int64_t count)
{
    static_assert(sizeof(T) == 1 || sizeof(T) == 4 || sizeof(T) == 8);
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    Unit& u = units()[static_cast<std::size_t>(unit)];
    if (!u.open)
        return IO_NOT_OPEN;
    if (count <= 0)
        return record < 1 ? IO_BAD_RECORD : IO_OK;
    // Checked before multiplying: a record length never exceeds what an int64 holds.
    if (count > u.record_bytes / static_cast<std::int64_t>(sizeof(T)))
        return IO_PAST_RECORD;
    const int status =
        copy_bytes(u, record, count * static_cast<std::int64_t>(sizeof(T)), reinterpret_cast<unsigned char*>(out));
    if (status != IO_OK)
        return status;
    if constexpr (sizeof(T) > 1 && std::endian::native == std::endian::big) {
        for (std::int64_t i = 0; i < count; ++i) {
            unsigned char* p = reinterpret_cast<unsigned char*>(out + i);
            for (std::size_t a = 0, b = sizeof(T) - 1; a < b; ++a, --b)
                std::swap(p[a], p[b]);
        }
    }
    return IO_OK;
}

double little_endian_double(const unsigned char* p)
{
    unsigned char b[8];
    std::memcpy(b, p, 8);
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(b, b + 8);
    double v = 0.0;
    std::memcpy(&v, b, 8);
    return v;
}

} // namespace

namespace {
// Time spent in opening and closing units, for measurements of readers that reopen files.
std::atomic<std::int64_t> g_open_close_ns{0};
struct OpenCloseClock {
    std::chrono::steady_clock::time_point t0 = std::chrono::steady_clock::now();
    OpenCloseClock() = default;
    OpenCloseClock(const OpenCloseClock&) = delete;
    OpenCloseClock& operator=(const OpenCloseClock&) = delete;
    ~OpenCloseClock()
    {
        g_open_close_ns += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t0).count();
    }
};
} // namespace

double DirectUnits::OpenCloseSeconds() { return static_cast<double>(g_open_close_ns.load()) * 1e-9; }
void DirectUnits::ResetOpenCloseSeconds() { g_open_close_ns = 0; }

int DirectUnits::Open(int unit, const char* name, std::size_t name_length, std::int64_t record_bytes)
{
    const OpenCloseClock clock;
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    Unit& u = units()[static_cast<std::size_t>(unit)];
    if (!name || name_length == 0 || record_bytes <= 0) {
        release(u);
        return IO_OPEN_FAILED;
    }
    std::string path(name, name_length);
    // A Fortran file name ends at its trailing blanks.
    while (!path.empty() && path.back() == ' ')
        path.pop_back();
    if (path.empty() || path.find('\0') != std::string::npos) {
        release(u);
        return IO_OPEN_FAILED;
    }
    if (u.open && u.path == path) {
        // Reopening the file the unit holds: only the record length changes; the window holds
        // bytes of this very file and stays valid. The file is not looked at again: its users
        // hold it unchanged while they read it (the result files between the host's release
        // and the end of one library call) and close the unit when done, which ends this.
        u.record_bytes = record_bytes;
        return IO_OK;
    }
    release(u);
    // Non-blocking, so that a named pipe or a device in place of the file cannot hold the
    // caller before the check below refuses it; a regular file ignores the flag.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return IO_OPEN_FAILED;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return IO_OPEN_FAILED;
    }
    u.open = true;
    u.fd = fd;
    u.path = std::move(path);
    u.size = static_cast<std::int64_t>(st.st_size);
    u.record_bytes = record_bytes;
    forget_windows(u);
    return IO_OK;
}

int DirectUnits::SetRecordLength(int unit, std::int64_t record_bytes)
{
    const OpenCloseClock clock;
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    Unit& u = units()[static_cast<std::size_t>(unit)];
    if (!u.open)
        return IO_NOT_OPEN;
    if (record_bytes <= 0) {
        release(u);
        return IO_OPEN_FAILED;
    }
    u.record_bytes = record_bytes;
    return IO_OK;
}

int DirectUnits::Close(int unit)
{
    const OpenCloseClock clock;
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    release(units()[static_cast<std::size_t>(unit)]);
    return IO_OK;
}

bool DirectUnits::IsOpen(int unit) { return valid_unit(unit) && units()[static_cast<std::size_t>(unit)].open; }

std::int64_t DirectUnits::RecordBytes(int unit)
{
    return IsOpen(unit) ? units()[static_cast<std::size_t>(unit)].record_bytes : 0;
}

std::int64_t DirectUnits::FileBytes(int unit)
{
    return IsOpen(unit) ? units()[static_cast<std::size_t>(unit)].size : 0;
}

int DirectUnits::ReadInts(int unit, std::int64_t record, std::int32_t* out, std::int64_t count)
{
    return read_values(unit, record, out, count);
}

int DirectUnits::ReadReals(int unit, std::int64_t record, float* out, std::int64_t count)
{
    return read_values(unit, record, out, count);
}

int DirectUnits::ReadDoubles(int unit, std::int64_t record, double* out, std::int64_t count)
{
    return read_values(unit, record, out, count);
}

int DirectUnits::ReadBytes(int unit, std::int64_t record, char* out, std::int64_t count)
{
    return read_values(unit, record, out, count);
}

int DirectUnits::ReadDoubleAt(int unit, std::int64_t record, std::int64_t position, double& out)
{
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    Unit& u = units()[static_cast<std::size_t>(unit)];
    if (!u.open)
        return IO_NOT_OPEN;
    if (position < 1)
        return record < 1 ? IO_BAD_RECORD : IO_OK;
    if (position > u.record_bytes / 8)
        return IO_PAST_RECORD;
    unsigned char bytes[8];
    const int status = copy_bytes(u, record, position * 8, bytes, (position - 1) * 8);
    if (status == IO_OK)
        out = little_endian_double(bytes);
    return status;
}

int DirectUnits::ReadFirstDoubles(int unit, std::int64_t first_record, std::int64_t records, std::int64_t count,
                                  double* out, std::int64_t& delivered)
{
    delivered = 0;
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    Unit& u = units()[static_cast<std::size_t>(unit)];
    if (!u.open)
        return IO_NOT_OPEN;
    if (records <= 0)
        return IO_OK;
    if (first_record < 1)
        return IO_BAD_RECORD;
    count = std::max<std::int64_t>(count, 1);
    if (count > u.record_bytes / 8)
        return IO_PAST_RECORD;
    const std::int64_t rb = u.record_bytes;
    const std::int64_t need = count * 8;
    // Records k = 0.. whose `count` values lie in the file: (first - 1 + k) * rb + need <= size,
    // worked out in divisions so that nothing overflows.
    if (u.size < need || first_record - 1 > (u.size - need) / rb)
        return IO_PAST_END;
    const std::int64_t fitting = std::min(records, (u.size - need) / rb - (first_record - 1) + 1);
    if (u.run.empty())
        u.run.resize(static_cast<std::size_t>(RUN_BYTES));
    // Records per read: as many as the run buffer holds whole, at least one (then its first
    // value alone is read).
    const std::int64_t per_read = std::max<std::int64_t>(1, (RUN_BYTES - 8) / rb + 1);
    for (std::int64_t k0 = 0; k0 < fitting; k0 += per_read) {
        const std::int64_t k1 = std::min(fitting, k0 + per_read);
        const std::int64_t offset = (first_record - 1 + k0) * rb;
        const std::int64_t bytes = (k1 - 1 - k0) * rb + 8;
        // A file cut while the unit holds it: what was read stands.
        if (!read_exact(u.fd, u.run.data(), bytes, offset))
            return IO_PAST_END;
        for (std::int64_t k = k0; k < k1; ++k)
            out[k] = little_endian_double(u.run.data() + (k - k0) * rb);
        delivered = k1;
    }
    return delivered == records ? IO_OK : IO_PAST_END;
}

} // namespace dforrt
